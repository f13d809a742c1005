// The virtual installation's operating-system side, as the platform adapter sees it: the driver
// devices, kernel objects (events, threads), ports and windows, the process count, files and time.
// Everything here acts on the one machine of the process.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qsim::os {

using Handle = std::uintptr_t;

Handle device_open(const char* name);
bool device_request(Handle device, std::uint32_t code, std::uint32_t* words /* 32 words */);
void handle_close(Handle h);

Handle event_open(const char* name);
Handle event_create(const char* name, bool manual_reset, bool initially_set);
bool event_set(Handle ev);
bool event_reset(Handle ev);

enum WaitOutcome { kSignalled = 0, kTimeout = 1, kFailed = 2 };
constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;
WaitOutcome wait_any(const Handle* events, std::size_t count, std::uint32_t timeout_ms, std::size_t* index);
void sleep_ms(std::uint32_t ms);

using ThreadFunction = std::uint32_t (*)(void*);
Handle thread_create(ThreadFunction fn, void* arg, std::uint32_t* id);
bool thread_set_priority(Handle t, int priority);
bool thread_suspend(Handle t);
bool thread_resume(Handle t);
// Suspensions not yet undone by a resume; -1 when the handle names no thread.
int thread_suspend_count(Handle t);
bool thread_terminate(Handle t, std::uint32_t exit_code);

std::uint8_t port_in8(std::uint16_t port);
void port_out8(std::uint16_t port, std::uint8_t value);
std::uint16_t port_in16(std::uint16_t port);
void port_out16(std::uint16_t port, std::uint16_t value);
std::uint16_t window_read16(std::uintptr_t address);
void window_write16(std::uintptr_t address, std::uint16_t value);

void message_box(const char* text, const char* caption);
std::uint32_t profile_string(const char* section, const char* key, const char* fallback, char* out,
                             std::uint32_t out_size, const char* file);
std::int32_t profile_int(const char* section, const char* key, std::int32_t fallback, const char* file);

struct LocalTime {
    int year, month, day, weekday, hour, minute, second, millisecond;
};
LocalTime local_time();

std::int32_t process_count_add(std::int32_t delta);

}  // namespace qsim::os
