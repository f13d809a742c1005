// The four-axis module's speed profiles: the shared profile builder in the module's units
// (kFourAxisModuleUnits, one unit u = 1200 / (R + 1) pps, 14-bit FH and FL) with the module's
// rules. FH is raised to FL when FL came out higher, a ramp rate that comes out negative is 1, and S
// sections never widen the span an S rate is counted over (S rates are 16-bit). The pin picks
// its unit with thresholds of its own, a little below the profile table's, and counts FL from
// a 1 pps start. There is no short-move peak limit and no ramp-down point.
#pragma once

#include <cstdint>

#include "motion/move_plan.h"
#include "motion/profile_builder.h"

namespace quvex::modules::m4 {

inline constexpr const chip::SpeedUnits& kUnits = chip::kFourAxisModuleUnits;

inline constexpr chip::RangeRow kPinRangeTable[] = {
    {6553000.0, 1}, {3276000.0, 2}, {1638000.0, 5}, {819000.0, 11}, {327000.0, 23}, {163000.0, 59},
    {81000.0, 119}, {32000.0, 239}, {16000.0, 599}, {8100.0, 1199}, {4900.0, 2399}, {0.0, 3999},
};
inline constexpr motion::ProfileRules kProfileRules = {
    .raise_fh_to_fl = true,
    .accel_floor = {.negative = 1, .lowest = 0}, .decel_floor = {.negative = 1, .lowest = 0},
    .widening = motion::SectionWidening::kNone, .max_s_rate = 65535,
    .pin_range_table = kPinRangeTable, .pin_start_speed = 1.0,
};
inline constexpr motion::ProfileBuilder kProfile{kUnits, kProfileRules};
using motion::Profile;

// pps per speed unit at range R.
constexpr double unit_of(std::uint32_t range) { return kUnits.unit_numerator / chip::SpeedUnits::multiplier(range); }

// A current-speed reading (its low word) in pps at range R.
inline double current_speed(std::uint32_t reading, std::uint32_t range) {
    return static_cast<double>(reading & 0xFFFFu) * unit_of(range);
}

}  // namespace quvex::modules::m4
