// Test support for runs with several threads: callbacks counted per AxisNo, the installation's
// count of the signals behind them, waits bounded by the wall clock, and the real-time clock for
// the length of a scope.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

#include "quvex/quvex.h"

namespace quvex::test {

// Calls of the callback per AxisNo (0..47). Callbacks are plain functions, so the counts are
// process-wide; every test that links count_callback clears them first.
std::array<std::atomic<int>, 48>& callbacks_per_axis();
void clear_callback_counts();
// A callback that only counts.
void QUVEX_CALL count_callback(int32_t axis_no);

// How many times the driver (or anybody) set the axis event of chip `axis` of `device`.
std::int64_t axis_event_sets(int device, int axis);
// How many times the card's compare event E4 was set.
std::int64_t compare_event_sets(int device);

// Polls `done` until it holds or `limit` of wall time has passed. For runs on the real-time
// clock, where background threads move on by themselves and a slow host (a sanitizer build)
// must not turn lateness into a failure.
bool wait_wall(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20));

// Advances the manual clock in `step` seconds until `done` holds; false after `limit` seconds.
bool advance_until(const std::function<bool()>& done, double limit, double step = 0.005);

// The virtual clock runs with the wall clock times `scale` while the object lives; the manual
// clock is back afterwards.
class RealtimeClock {
public:
    explicit RealtimeClock(double scale);
    ~RealtimeClock();
    RealtimeClock(const RealtimeClock&) = delete;
    RealtimeClock& operator=(const RealtimeClock&) = delete;
};

}  // namespace quvex::test
