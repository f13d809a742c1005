// The chip side of manual operation: arming an axis for its manual source, the motions a jog
// press, a step press or a hand-wheel turn runs, and the pace the wheel gives pulser moves.
// See manual_state.h for the model. Everything runs under the machine lock.
#pragma once

#include <cstdint>

#include "../machine.h"

namespace qsim {

class Chip;

// A start command took over an armed kind (hand wheel, jog, step): the axis waits for its source.
void arm_manual_source(Chip& c, std::uint32_t kind);
// A stop command: the axis no longer takes its manual source.
void disarm_manual_source(Chip& c);
// A pulser-paced move was started: it stands until a wheel turn paces it.
void wait_for_pulser(Chip& c);

// Jog switch of direction +1 or -1 pressed or released at time t (seconds). False when the
// axis is not armed for jog (the press does nothing).
bool jog_switch(Chip& c, int direction, bool pressed, double t);
// Step switch of direction +1 or -1 pressed: the axis moves its step distance.
bool step_press(Chip& c, int direction, double t);

// A hand-wheel turn of `detents` (signed) lasting `duration` seconds begins at t. `selected`:
// the board enables the hand wheel and routes it to this axis. The axis takes the turn if it is
// armed for kind 0x01 and either selected (hand-wheel mode, env3 bit 13) or a pulser speed move
// (without that bit), or drives a pulser-paced move.
void wheel_turn_begins(Chip& c, std::uint64_t turn, std::int64_t detents, double duration, bool selected, double t);
// The turn ends at t. A paced move has every pulse the turn owed it and stands again; a
// hand-wheel run goes on to its count, slowing for its end when the wheel stops (no turn follows
// at once) and keeping its speed when `wheel_stops` is false.
void wheel_turn_ends(Chip& c, std::uint64_t turn, bool wheel_stops, double t);

// The pulses `detents` wheel pulses give the axis through its ratio (env6): the divider keeps
// its remainder from turn to turn, so the output never drifts from detents x m / p.
std::int64_t divide_wheel_pulses(Chip& c, std::int64_t detents);

}  // namespace qsim
