// Threads: creation, priority, suspension, termination, sleeping.
#include <atomic>

#include "win32_handle.h"

namespace quvex::plat {
namespace {

// The seam's thread function is a plain C++ function; the kernel starts threads at a WINAPI
// routine. A start slot carries the function and its argument to the new thread, which copies
// them out and frees the slot before running, so a thread that is later terminated leaves
// nothing behind. More threads than slots never start at the same instant: the library runs at
// most two per card and one per ring.
struct StartSlot {
    std::atomic<bool> busy{false};
    ThreadFunction fn = nullptr;
    void* arg = nullptr;
};
constexpr int kStartSlots = 64;
StartSlot g_start_slots[kStartSlots];

DWORD WINAPI thread_start(LPVOID p) {
    StartSlot* slot = static_cast<StartSlot*>(p);
    const ThreadFunction fn = slot->fn;
    void* const arg = slot->arg;
    slot->busy.store(false, std::memory_order_release);
    return fn(arg);
}

StartSlot* claim_slot() {
    for (StartSlot& s : g_start_slots) {
        bool expected = false;
        if (s.busy.compare_exchange_strong(expected, true, std::memory_order_acquire)) return &s;
    }
    return nullptr;
}

int os_priority(ThreadPriority p) {
    switch (p) {
        case ThreadPriority::above_normal: return THREAD_PRIORITY_ABOVE_NORMAL;
        case ThreadPriority::highest: return THREAD_PRIORITY_HIGHEST;
        case ThreadPriority::time_critical: return THREAD_PRIORITY_TIME_CRITICAL;
        case ThreadPriority::normal: break;
    }
    return THREAD_PRIORITY_NORMAL;
}

constexpr DWORD kSuspendFailed = static_cast<DWORD>(-1);

}  // namespace

Handle thread_create(ThreadFunction fn, void* arg, std::uint32_t* id) {
    if (fn == nullptr) return kNoHandle;
    StartSlot* slot = claim_slot();
    if (slot == nullptr) return kNoHandle;
    slot->fn = fn;
    slot->arg = arg;
    DWORD thread_id = 0;
    // Default stack size, running at once.
    const Handle h = win32::from_os(CreateThread(nullptr, 0, thread_start, slot, 0, &thread_id));
    if (h == kNoHandle) {
        slot->busy.store(false, std::memory_order_release);
        return kNoHandle;
    }
    if (id != nullptr) *id = thread_id;
    return h;
}

bool thread_set_priority(Handle t, ThreadPriority p) { return SetThreadPriority(win32::to_os(t), os_priority(p)) != FALSE; }
bool thread_suspend(Handle t) { return SuspendThread(win32::to_os(t)) != kSuspendFailed; }
bool thread_resume(Handle t) { return ResumeThread(win32::to_os(t)) != kSuspendFailed; }
bool thread_terminate(Handle t, std::uint32_t exit_code) { return TerminateThread(win32::to_os(t), exit_code) != FALSE; }
void sleep_ms(std::uint32_t ms) { Sleep(ms); }

}  // namespace quvex::plat
