// The platform seam on the virtual installation: each service maps onto the virtual machine's
// operating-system side one to one.
#include <cstdlib>
#include <mutex>
#include <new>

#include "os.h"
#include "frame/library_entry.h"
#include "common/platform.h"

namespace quvex::plat {

Handle device_open(const char* name) { return qsim::os::device_open(name); }
bool device_request(Handle device, std::uint32_t code, std::uint32_t (&words)[kRequestWords]) {
    return qsim::os::device_request(device, code, words);
}
void handle_close(Handle h) {
    if (h != kNoHandle) qsim::os::handle_close(h);
}

Handle event_open(const char* name) { return qsim::os::event_open(name); }
Handle event_create(const char* name, bool manual_reset, bool initially_set) {
    return qsim::os::event_create(name, manual_reset, initially_set);
}
bool event_set(Handle ev) { return qsim::os::event_set(ev); }
bool event_reset(Handle ev) { return qsim::os::event_reset(ev); }

namespace {
WaitResult outcome(qsim::os::WaitOutcome o) {
    switch (o) {
        case qsim::os::kSignalled: return WaitResult::signalled;
        case qsim::os::kTimeout: return WaitResult::timeout;
        default: return WaitResult::failed;
    }
}
}  // namespace

WaitResult wait_one(Handle ev, std::uint32_t timeout_ms) {
    std::size_t index = 0;
    return outcome(qsim::os::wait_any(&ev, 1, timeout_ms, &index));
}
WaitResult wait_any(const Handle* events, std::size_t count, std::uint32_t timeout_ms, std::size_t* index) {
    return outcome(qsim::os::wait_any(events, count, timeout_ms, index));
}

Handle thread_create(ThreadFunction fn, void* arg, std::uint32_t* id) { return qsim::os::thread_create(fn, arg, id); }
bool thread_set_priority(Handle t, ThreadPriority p) { return qsim::os::thread_set_priority(t, static_cast<int>(p)); }
bool thread_suspend(Handle t) { return qsim::os::thread_suspend(t); }
bool thread_resume(Handle t) { return qsim::os::thread_resume(t); }
bool thread_terminate(Handle t, std::uint32_t exit_code) { return qsim::os::thread_terminate(t, exit_code); }
void sleep_ms(std::uint32_t ms) { qsim::os::sleep_ms(ms); }

// Re-entrant like a Windows critical section: a thread that holds the lock may take it again,
// so code that works on the real card cannot deadlock here, nor the other way round.
using LockImpl = std::recursive_mutex;
static_assert(sizeof(LockImpl) <= sizeof(Lock::storage), "Lock storage too small for a mutex");
static_assert(alignof(LockImpl) <= alignof(Lock), "Lock storage under-aligned for a mutex");
namespace {
LockImpl& lock_impl(Lock& l) { return *std::launder(reinterpret_cast<LockImpl*>(l.storage)); }
}  // namespace
void lock_init(Lock& l) { new (l.storage) LockImpl(); }
void lock_destroy(Lock& l) { lock_impl(l).~LockImpl(); }
void lock_enter(Lock& l) { lock_impl(l).lock(); }
void lock_leave(Lock& l) { lock_impl(l).unlock(); }

std::uint8_t port_in8(std::uint16_t port) { return qsim::os::port_in8(port); }
void port_out8(std::uint16_t port, std::uint8_t value) { qsim::os::port_out8(port, value); }
std::uint16_t port_in16(std::uint16_t port) { return qsim::os::port_in16(port); }
void port_out16(std::uint16_t port, std::uint16_t value) { qsim::os::port_out16(port, value); }
std::uint16_t window_read16(std::uintptr_t address) { return qsim::os::window_read16(address); }
void window_write16(std::uintptr_t address, std::uint16_t value) { qsim::os::window_write16(address, value); }

void message_box(const char* text, const char* caption) { qsim::os::message_box(text, caption); }
std::uint32_t profile_string(const char* section, const char* key, const char* fallback, char* out,
                             std::uint32_t out_size, const char* file) {
    return qsim::os::profile_string(section, key, fallback, out, out_size, file);
}
std::int32_t profile_int(const char* section, const char* key, std::int32_t fallback, const char* file) {
    return qsim::os::profile_int(section, key, fallback, file);
}
LocalTime local_time() {
    const qsim::os::LocalTime t = qsim::os::local_time();
    return LocalTime{t.year, t.month, t.day, t.weekday, t.hour, t.minute, t.second, t.millisecond};
}

std::int32_t shared_process_count_add(std::int32_t delta) { return qsim::os::process_count_add(delta); }

}  // namespace quvex::plat

// Load and unload of the library. There is no loader that can refuse a shared object here, so a
// refused load ends the process the way Windows ends a process whose implicitly linked library
// refuses to attach: the message box, then exit status 3. These hooks live in this file because
// every build of the library on the virtual installation links it.
// The Windows DLL (QUVEX_SIM_DLL) uses the loader's entry point instead, so a refused attach
// fails the load as it does for the real library.
#if defined(_WIN32) && defined(QUVEX_SIM_DLL)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {
// The runtime's start-up code follows a refused attach with a detach, and the system may too:
// only the first detach after an attach gives the process count back.
bool g_attached = false;
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_attached = true;
        return quvex::frame::library_attach() ? TRUE : FALSE;
    }
    if (reason == DLL_PROCESS_DETACH && g_attached) {
        g_attached = false;
        quvex::frame::library_detach();
    }
    return TRUE;
}

#else

namespace {

constexpr int kLoadRefusedExitStatus = 3;

__attribute__((constructor)) void quvex_process_attach() {
    if (!quvex::frame::library_attach()) {
        quvex::frame::library_detach();
        std::_Exit(kLoadRefusedExitStatus);
    }
}

__attribute__((destructor)) void quvex_process_detach() { quvex::frame::library_detach(); }

}  // namespace

#endif
