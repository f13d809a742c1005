// Speed profiles, moves and speed changes of a one-axis module. The callers have checked the
// arguments; these functions update the axis block's mirrors and send the messages in the
// module's order. Each returns the result of its last message.
#pragma once

#include <cstdint>

#include "modules/one_axis_link.h"

namespace quvex::modules::m1 {

struct SpeedArgs {
    double str_vel = 0;  // magnitudes
    double max_vel = 0;
    double tacc = 0;
    double tdec = 0;
    double sv_acc = 0;
    double sv_dec = 0;
};

std::int16_t load_t_profile(Link& link, const SpeedArgs& a);
std::int16_t load_s_profile(Link& link, const SpeedArgs& a);
std::int16_t pin_speed_range(Link& link, double max_vel);

std::int16_t start_relative(Link& link, std::int32_t dist);
std::int16_t start_absolute(Link& link, std::int32_t pos);
std::int16_t start_velocity(Link& link, std::uint8_t dir);
std::int16_t start_home(Link& link, std::uint8_t dir);
// 0, -17 (the current or the start speed) or -18 (too few pulses remain).
std::int16_t change_speed(Link& link, double new_vel, double time);

}  // namespace quvex::modules::m1
