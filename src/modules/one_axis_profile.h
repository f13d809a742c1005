// The one-axis module's speed-profile arithmetic, pure: the shared plan's range table, FH and FL
// steps in the module's units (kOneAxisModuleUnits), with the module's own rules on top. A start
// speed above the top of the range gives FL = 500, a ramp rate that comes out negative is 1
// (T-curve) or 0 (S-curve), a zero S section counts as 1 and a section wider than half the speed
// change as 0 (pure S). There is no short-move peak limit and no ramp-down point.
#pragma once

#include <cstdint>
#include <optional>

#include "motion/move_plan.h"
#include "motion/speed_units.h"

namespace quvex::modules::m1 {

inline constexpr const motion::SpeedUnits& kUnits = motion::kOneAxisModuleUnits;

struct Profile {
    motion::SpeedRegisters speeds;
    motion::RampRates rates;
};

// Range (pinned or from the table), FH and FL for speed magnitudes str_vel < max_vel.
motion::SpeedRegisters profile_speeds(double str_vel, double max_vel, std::optional<std::uint32_t> pinned_range);
Profile t_profile(double str_vel, double max_vel, double tacc, double tdec,
                  std::optional<std::uint32_t> pinned_range);
Profile s_profile(double str_vel, double max_vel, double tacc, double tdec, double sv_acc, double sv_dec,
                  std::optional<std::uint32_t> pinned_range);
// The pin: range from max_vel, FH from it, FL 1.
motion::SpeedRegisters pinned_speeds(double max_vel);

// One side of a speed change during a move: the new FH, the rate over the change and, for a
// positioning move, the ramp-down point and the pulses the change itself uses. Unlike a
// profile's, the rates are not limited to 0..65535: each is the floor of its formula as a 32-bit
// word, and the ramp-down point (0..16777215) is computed from that unlimited deceleration rate.
struct SpeedChange {
    std::uint32_t fh = 0;
    bool slowing = false;
    std::uint32_t rate = 0;        // DR when slowing, UR when speeding up
    std::uint32_t decel_rate = 0;  // DR of a positioning move (the new one when speeding up)
    std::uint32_t ramp_down_point = 0;
    double change_pulses = 0;
};
// The FH register for a speed magnitude at range R, clamped to 1..100000.
std::uint32_t speed_register(std::uint32_t range, double vel);
SpeedChange plan_speed_change(std::uint32_t range, std::uint32_t fh, std::uint32_t current, std::uint32_t fl,
                              double time, double last_decel_time, bool positioning);

}  // namespace quvex::modules::m1
