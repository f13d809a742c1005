// The motion engine of one driving chip axis: takes a profile over, runs it event by event up
// to a time, decelerates, stops, and keeps the axes that follow it on its line.
#pragma once

#include <cstdint>

#include "../machine.h"
#include "motion_state.h"

namespace qsim {

class Chip;

double ns_to_seconds(Ns t);

// Takes the profile over from the live bank (already loaded from the buffered one).
void take_profile(Chip& c);
// Starts running the taken profile at time t (seconds) with start command `code`.
void begin_running(Chip& c, unsigned code, double t);
// Moves the running motion up to `until` (seconds), event by event.
void integrate(Chip& c, double until);
// An end limit stops motion towards it: at once, or decelerating when env1 says so.
void stop_at_limits(Chip& c);
// Deceleration to the start speed from the current speed at the live deceleration rate; a stop
// ends the motion when the start speed is reached, a positioning move creeps on.
void begin_deceleration(Chip& c, bool stop);
// Ends the motion (and its line) now, recording the reason.
void finish(Chip& c, std::uint32_t reason);
// Lets the axes that follow c go.
void release_followers(Chip& c);
// Speed unit of the motion in pulses per second.
double unit_pps(const MotionState& s);

}  // namespace qsim
