// The motion engine of one driving chip axis: takes a profile over, runs it event by event up
// to a time, decelerates, stops, and keeps the axes of its path on the path.
#pragma once

#include <array>
#include <cstdint>

#include "../machine.h"
#include "chip_group.h"
#include "motion_state.h"

namespace qsim {

class Chip;
class ChipGroup;

// The first nanosecond at or after t seconds.
Ns seconds_to_ns_ceil(double t);

// Takes the profile over from the live bank.
void take_profile(Chip& c);
// Starts running the taken profile at time t (seconds) with start command `code`.
void begin_running(Chip& c, unsigned code, double t);
// Moves the running motion up to `until` (seconds), event by event.
void integrate(Chip& c, double until);
// Deceleration to the start speed from the current speed at the live deceleration rate; a stop
// ends the motion when the start speed is reached, a positioning move creeps on.
void begin_deceleration(Chip& c, bool stop);
// A ramp from the current speed to `target` units (up at the acceleration registers, down at the
// deceleration ones), or none when the speed is there.
void ramp_to(Chip& c, double target);
// The first step of the running ramp that the move cannot make without passing its ramp-down
// point or its end (INT_MAX when it makes them all).
int first_blocked_step(const Chip& c);
// A new end of the running positioning move, counted from where the move started: ahead of the
// axis the move goes on to it, behind it the axis slows to its start speed, turns and runs back
// (motion_live.cpp).
void retarget(Chip& c, std::int64_t end);
// Outputs pulses of the running profile: on the driving axis alone, or on every axis of its path.
void output_pulses(Chip& c, std::int64_t pulses);
// Ends the motion (and its path) now, recording the reason.
void finish(Chip& c, std::uint32_t reason);
// Ends the motion (and its path) now with a reason per axis of the group.
using AxisReasons = std::array<std::uint32_t, 4>;
void finish_axes(Chip& c, const AxisReasons& reasons);
// The next time a drive of c's move changes a signal at the move's present speed (seconds,
// infinity when none is due): the alarm, and the in-position signal when asked for.
double drives_event_time(Chip& c, bool in_position);
// Brings the idle drives of a move's axes up to t before the move outputs pulses.
void drives_catch_up(Chip& c, double t);
// Lets the axes of c's path go.
void release_followers(Chip& c);
// Speed unit of the motion in pulses per second.
inline double unit_pps(const MotionState& s) { return s.unit_pps; }
// Reports a motion event of the chip at time t (seconds) to its group's owner.
void report(Chip& c, ChipEvent event, double t);

// Starts the queued moves of the group whose axes are all free, at time t (chip_motion.cpp).
void start_queued_moves(ChipGroup& group, double t);
// Drops the queued moves of the group that would move any of `axes` (bits).
void drop_queued_moves(ChipGroup& group, unsigned axes);

}  // namespace qsim
