// The four-axis module's speed-profile arithmetic, pure. One speed unit is u = 1200 / (R + 1)
// pps, chosen from the shared units' table (kFourAxisModuleUnits); FH and FL are 14-bit. On top
// of the shared speed steps the module raises FH to FL when FL came out higher, breaks a tie at
// the top with FL = 8192, clamps T rates to 1..16383 (only a negative one becomes 1), keeps S
// sections out of the rate formula and clamps S rates to 0..65535. There is no short-move peak
// limit and no ramp-down point.
#pragma once

#include <cstdint>
#include <optional>

#include "motion/move_plan.h"
#include "motion/speed_units.h"

namespace quvex::modules::m4 {

inline constexpr const motion::SpeedUnits& kUnits = motion::kFourAxisModuleUnits;

struct Profile {
    motion::SpeedRegisters speeds;
    motion::RampRates rates;
};

// pps per speed unit at range R.
constexpr double unit_of(std::uint32_t range) { return kUnits.unit_numerator / motion::SpeedUnits::multiplier(range); }

// Range (pinned, or from the table with max_vel capped), FH and FL for speed magnitudes.
motion::SpeedRegisters profile_speeds(double str_vel, double max_vel, std::optional<std::uint32_t> pinned_range);
Profile t_profile(double str_vel, double max_vel, double tacc, double tdec, std::optional<std::uint32_t> pinned_range);
Profile s_profile(double str_vel, double max_vel, double tacc, double tdec, double sv_acc, double sv_dec,
                  std::optional<std::uint32_t> pinned_range);
// The speed-range pin: its own thresholds, FH from max_vel, FL from a 1 pps start.
motion::SpeedRegisters pinned_speeds(double max_vel);
// A current-speed reading (its low word) in pps at range R.
double current_speed(std::uint32_t reading, std::uint32_t range);

}  // namespace quvex::modules::m4
