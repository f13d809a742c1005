// Entry point of the library's DLL: process attach counts the process and may refuse the load;
// thread attach and detach do nothing.
#include "frame/library_entry.h"
#include "win32_handle.h"

namespace {

// A refused attach is followed by a detach from the runtime's start-up code; the system may
// send one as well. Only the first detach after an attach gives the process count back.
bool g_attached = false;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            g_attached = true;
            return quvex::frame::library_attach() ? TRUE : FALSE;
        case DLL_PROCESS_DETACH:
            if (g_attached) {
                g_attached = false;
                quvex::frame::library_detach();
            }
            return TRUE;
        default:
            return TRUE;
    }
}
