// The platform seam: every operating-system and hardware service the library uses.
// Two backends implement it: win32/ (the real card under Windows) and sim/ (the virtual
// installation). Library code never calls an OS function or touches a port any other way.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quvex::plat {

// Opaque handle of a device, event or thread; 0 means "none".
using Handle = std::uintptr_t;
constexpr Handle kNoHandle = 0;

// ---- driver device -------------------------------------------------------------------
// Opens a driver device by name (read/write, unshared, existing). kNoHandle on failure.
Handle device_open(const char* name);
// One request with a 128-byte buffer used as input and output. False when the driver fails it.
constexpr std::size_t kRequestWords = 32;
bool device_request(Handle device, std::uint32_t code, std::uint32_t (&words)[kRequestWords]);
void handle_close(Handle h);

// ---- named events ----------------------------------------------------------------------
// Opens an existing named event with SYNCHRONIZE | EVENT_MODIFY_STATE; kNoHandle if absent.
Handle event_open(const char* name);
// Creates an event (name may be null). Manual-reset when manual_reset is true.
Handle event_create(const char* name, bool manual_reset, bool initially_set);
bool event_set(Handle ev);
bool event_reset(Handle ev);

constexpr std::uint32_t kWaitForever = 0xFFFFFFFFu;
enum class WaitResult { signalled, timeout, failed };
// Waits for one event; timeout in milliseconds or kWaitForever.
WaitResult wait_one(Handle ev, std::uint32_t timeout_ms);
// Waits until any of count events is signalled; *index gets the lowest signalled index.
WaitResult wait_any(const Handle* events, std::size_t count, std::uint32_t timeout_ms, std::size_t* index);

// ---- threads ---------------------------------------------------------------------------
using ThreadFunction = std::uint32_t (*)(void* arg);
// Creates a thread that starts at once. kNoHandle on failure; *id receives its identifier.
Handle thread_create(ThreadFunction fn, void* arg, std::uint32_t* id);
enum class ThreadPriority { normal, above_normal, highest, time_critical };
bool thread_set_priority(Handle t, ThreadPriority p);
bool thread_suspend(Handle t);
bool thread_resume(Handle t);
// Ends a thread from outside, at once, with the given exit code.
bool thread_terminate(Handle t, std::uint32_t exit_code);
void sleep_ms(std::uint32_t ms);

// ---- locks -----------------------------------------------------------------------------
// A critical section: re-entrant on every backend (the thread that holds it may enter again and
// leaves as often as it entered). Create before use, destroy at the end. Held across a wait only
// where the design says so (ring identification).
struct Lock {
    alignas(8) unsigned char storage[64];
};
void lock_init(Lock& l);
void lock_destroy(Lock& l);
void lock_enter(Lock& l);
void lock_leave(Lock& l);

// Holds a Lock for one scope.
class LockGuard {
public:
    explicit LockGuard(Lock& l) : lock_(l) { lock_enter(lock_); }
    ~LockGuard() { lock_leave(lock_); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    Lock& lock_;
};

// ---- I/O ports and mapped memory ---------------------------------------------------------
std::uint8_t port_in8(std::uint16_t port);
void port_out8(std::uint16_t port, std::uint8_t value);
std::uint16_t port_in16(std::uint16_t port);
void port_out16(std::uint16_t port, std::uint16_t value);

// 16-bit volatile accesses to the ring master's mapped register window.
std::uint16_t window_read16(std::uintptr_t address);
void window_write16(std::uintptr_t address, std::uint16_t value);
// The compare area is plain shared memory: the library reads and writes it directly.

// ---- user interface, files, time ---------------------------------------------------------
void message_box(const char* text, const char* caption);
// Private-profile (INI) reads. Returns the number of characters copied, as the OS does.
std::uint32_t profile_string(const char* section, const char* key, const char* fallback, char* out,
                             std::uint32_t out_size, const char* file);
std::int32_t profile_int(const char* section, const char* key, std::int32_t fallback, const char* file);

struct LocalTime {
    int year, month, day, weekday, hour, minute, second, millisecond;  // month 1..12, weekday 0 = Sunday
};
LocalTime local_time();

// ---- process-wide count shared by every process that loads the library --------------------
// Adds delta to the shared count and returns the new count.
std::int32_t shared_process_count_add(std::int32_t delta);

}  // namespace quvex::plat
