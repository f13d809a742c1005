// A speed change of the one-axis module during a move (the four-axis module has none): the new
// top speed and the rate over the change, and for a positioning move the ramp-down point that
// keeps the end on target. The caller has checked the arguments.
#pragma once

#include <cstdint>

#include "modules/one_axis_link.h"

namespace quvex::modules::m1 {

// 0, KRING_ERR_SPEED_CHANGE_SAME (the current or the start speed) or KRING_ERR_SPEED_CHANGE_ROOM (too few
// pulses remain).
std::int16_t change_speed(OneAxisLink& link, double new_vel, double time);

}  // namespace quvex::modules::m1
