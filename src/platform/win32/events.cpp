// Named and anonymous events and the waits on them.
#include "win32_handle.h"

namespace quvex::plat {
namespace {

// The driver's events are opened for waiting and for resetting, never inherited.
constexpr DWORD kDriverEventAccess = SYNCHRONIZE | EVENT_MODIFY_STATE;
static_assert(kDriverEventAccess == 0x00100002u);

WaitResult outcome_of(DWORD r, DWORD count, std::size_t* index) {
    if (r == WAIT_TIMEOUT) return WaitResult::timeout;
    if (r >= WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + count) {
        if (index != nullptr) *index = r - WAIT_OBJECT_0;
        return WaitResult::signalled;
    }
    return WaitResult::failed;  // WAIT_FAILED, or an abandoned mutex, which no caller waits on
}

}  // namespace

Handle event_open(const char* name) {
    if (name == nullptr) return kNoHandle;
    return win32::from_os(OpenEventA(kDriverEventAccess, FALSE, name));
}

Handle event_create(const char* name, bool manual_reset, bool initially_set) {
    return win32::from_os(CreateEventA(nullptr, manual_reset ? TRUE : FALSE, initially_set ? TRUE : FALSE, name));
}

bool event_set(Handle ev) { return SetEvent(win32::to_os(ev)) != FALSE; }
bool event_reset(Handle ev) { return ResetEvent(win32::to_os(ev)) != FALSE; }

WaitResult wait_one(Handle ev, std::uint32_t timeout_ms) {
    return outcome_of(WaitForSingleObject(win32::to_os(ev), timeout_ms), 1, nullptr);
}

WaitResult wait_any(const Handle* events, std::size_t count, std::uint32_t timeout_ms, std::size_t* index) {
    if (events == nullptr || count == 0 || count > MAXIMUM_WAIT_OBJECTS) return WaitResult::failed;
    HANDLE handles[MAXIMUM_WAIT_OBJECTS];
    for (std::size_t i = 0; i < count; ++i) handles[i] = win32::to_os(events[i]);
    const DWORD n = static_cast<DWORD>(count);
    return outcome_of(WaitForMultipleObjects(n, handles, FALSE, timeout_ms), n, index);
}

}  // namespace quvex::plat
