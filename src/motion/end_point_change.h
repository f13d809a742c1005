// Moving the end point of a running positioning move of a local axis.
#pragma once

#include <cstdint>

namespace quvex::motion {

// Whether a new end can still be reached: ahead of the axis it needs more room than the
// ramp-down point; behind it (a reversal) more than twice that, to slow down and come back.
bool end_point_reachable(double ramp_down_point, double position, double new_end);

// quvex_p_change: reads the live ramp-down point and the position; when the new end can be
// reached, target_pos takes it and the move amount (live) becomes new_end - prev_target_pos,
// counted from the start of the running move. Returns QUVEX_OK or QUVEX_ERR_END_POINT_TOO_LATE
// (nothing written).
std::int16_t change_end_point(std::int16_t axis, double new_end);

}  // namespace quvex::motion
