// Single-axis moves and stops of a local axis, and its per-axis motion settings. The callers
// (the exports) have checked the axis and the arguments; these only program the chip.
#pragma once

#include <cstdint>

#include "motion/move_plan.h"

namespace quvex::motion {

// A positioning move by distance (relative) or to a target (absolute).
struct PositioningMove {
    double distance_or_target;
    double str_vel;  // magnitudes are taken
    double max_vel;  // magnitudes are taken; not 0
    double tacc;
    double tdec;
    double sv_acc;   // S-curve only
    double sv_dec;   // S-curve only
};

// Programs the buffered bank and writes the start command.
void start_positioning(std::int16_t axis, Curve curve, Reference reference, const PositioningMove& move);

// Continuous motion in the direction of max_vel's sign (max_vel not 0).
void start_velocity(std::int16_t axis, Curve curve, double str_vel, double max_vel, double tacc, double sv_acc);

// Decelerating stop within tdec, using the curve of the move in progress.
void decelerating_stop(std::int16_t axis, double tdec);
void immediate_stop(std::int16_t axis);
// True while the axis is moving.
bool in_motion(std::int16_t axis);

void set_idle_pulse(std::int16_t axis, std::int16_t count);
void suppress_vibration(std::int16_t axis, std::uint16_t time1, std::uint16_t time2);
void backlash_comp(std::int16_t axis, std::int16_t count);

}  // namespace quvex::motion
