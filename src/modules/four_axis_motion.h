// Speed profiles, moves and starts of one axis of a four-axis module. The callers have checked
// the arguments; these functions update the axis block's mirrors and send the registers in the
// module's order.
#pragma once

#include <cstdint>

#include "modules/four_axis_link.h"
#include "modules/four_axis_sink.h"
#include "motion/move_plan.h"

namespace quvex::modules::m4 {

struct SpeedArgs {
    double str_vel = 0;  // magnitudes
    double max_vel = 0;
    double tacc = 0;
    double tdec = 0;
    double sv_acc = 0;
    double sv_dec = 0;
};

// A single-axis profile into the live registers, ending with the start-speed copy (0x9B): the
// result of the last write.
std::int16_t load_profile(Link& link, int axis, motion::Curve curve, const SpeedArgs& a);
// A line's share into the buffered registers, without the start-speed copy: stops at the first
// failed write and returns it.
std::int16_t load_buffered_profile(Link& link, int axis, motion::Curve curve, const SpeedArgs& a);
std::int16_t pin_speed_range(Link& link, int axis, double max_vel);

// Positioning starts: every write checked, the first failure returned at once.
std::int16_t start_relative(Link& link, int axis, std::int32_t dist);
std::int16_t start_absolute(Link& link, int axis, std::int32_t pos);
// Velocity and home starts: the result of the start command.
std::int16_t start_velocity(Link& link, int axis, std::uint8_t dir);
std::int16_t start_home(Link& link, int axis, std::uint8_t dir);

// The position counter as a signed value (0 when the read was not echoed).
std::int32_t read_position(Link& link, int axis);

}  // namespace quvex::modules::m4
