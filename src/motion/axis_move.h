// Programming one local axis's move: where an absolute target is measured from, how the targets
// advance, and the one function that writes a planned move into the axis's buffered bank. The
// single-axis, group and line starts all program their axes through program_axis_move.
#pragma once

#include <cstdint>
#include <span>

#include "motion/move_plan.h"

namespace quvex::motion {

// Which counter an absolute target is measured from when continuous moves are off.
enum class CounterChoice : std::uint8_t {
    kByFeedbackSource,  // the command counter when the axis takes feedback from it, else the position
    kPosition,          // always the ratio-scaled position (group moves)
};

// Where an absolute target is measured from: target_pos while `continuous` (the end of the latest
// move started or queued), else the counter `choice` names.
double absolute_reference(std::int16_t axis, bool continuous, CounterChoice choice);

// The pulses a positioning move outputs: the distance, or the target less the axis's reference.
// prev_target_pos takes target_pos; target_pos becomes the target (absolute) or moves by the
// distance (relative).
double take_move_amount(std::int16_t axis, Reference reference, double value, CounterChoice choice);

// The plan of a local axis's move: the card's units, and the axis's pinned range if any.
MovePlan plan_axis_move(std::int16_t axis, MoveRequest request);

// Writes the given steps of a plan into an axis's sink (a local axis's buffered bank; a module
// axis's registers later).
void program_axis_move(chip::RegisterSink& sink, const MovePlan& plan,
                       std::span<const PlanStep> steps = kPositioningOrder);

// What the single-axis and group positioning starts do differently.
struct StartRules {
    bool clear_helical;  // single-axis starts clear env2's helical bit; group moves leave env2 alone
    bool manual_mode;    // operation_mode bit 13: the ramp-down point from register 6
    CounterChoice counters;
    bool s_curve_always_full;  // an S-curve start writes 0x53 whatever its times
};

// A positioning start of one axis: last_decel_time, env2 and operation mode, the targets, the
// planned registers in the buffered bank, then the start command. The registers go out in one
// card_lock hold (two when an absolute target reads a counter between the mode and the profile).
void start_axis_move(std::int16_t axis, Reference reference, double value, MoveRequest request,
                     const StartRules& rules);

}  // namespace quvex::motion
