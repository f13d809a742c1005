// The one-axis module's speed profiles: the shared profile builder in the module's units
// (kOneAxisModuleUnits) with the module's rules. A start speed above the top of the range gives
// FL = 500, a ramp rate that comes out negative is 1 (T-curve) or 0 (S-curve), a zero S section
// counts as 1 and a section wider than half the speed change as 0 (pure S), and a section of 1
// ramps linearly. The pin starts from rest (FL 1). There is no short-move peak limit and no
// ramp-down point. Speed changes during a move are the module's own arithmetic.
#pragma once

#include <cstdint>

#include "motion/move_plan.h"
#include "motion/profile_builder.h"

namespace quvex::modules::m1 {

inline constexpr const chip::SpeedUnits& kUnits = chip::kOneAxisModuleUnits;

inline constexpr motion::ProfileRules kProfileRules = {
    .start_beyond_top = 500,
    .accel_floor = {.negative = 1, .lowest = 0}, .decel_floor = {.negative = 1, .lowest = 0},
    .section_without_sv = 1, .wide_section_is_pure_s = true, .widening = motion::SectionWidening::kAboveOne,
};
inline constexpr motion::ProfileBuilder kProfile{kUnits, kProfileRules};
using motion::Profile;

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
