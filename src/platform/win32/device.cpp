// The card's driver device: open by name, one buffered request, close.
#include "win32_handle.h"

namespace quvex::plat {

Handle device_open(const char* name) {
    if (name == nullptr) return kNoHandle;
    // Read and write, no sharing, the device must already exist.
    return win32::from_os(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool device_request(Handle device, std::uint32_t code, std::uint32_t (&words)[kRequestWords]) {
    // The same 128-byte buffer carries the request in and the reply words out.
    DWORD returned = 0;
    return DeviceIoControl(win32::to_os(device), code, words, sizeof words, words, sizeof words, &returned,
                           nullptr) != FALSE;
}

void handle_close(Handle h) {
    if (h != kNoHandle) CloseHandle(win32::to_os(h));
}

}  // namespace quvex::plat
