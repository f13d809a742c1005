// The machine signals that act on a running move: the end limits, the axis's alarm (its input or
// its drive), the card's emergency input and the slow-down input. Each axis of a move is looked
// at; on a path an axis stopped for a cause of its own stops the others, which report that
// another axis stopped them.
//
// | signal        | what it does                                                  | how            |
// |---------------|---------------------------------------------------------------|----------------|
// | end limit     | stops motion towards it                                       | env1 bit 3     |
// | alarm         | stops the axis                                                | env1 bit 8     |
// | emergency     | stops every axis of the group                                 | at once        |
// | slow-down     | enabled by operation-mode bit 8: slows to FL (env1 bit 4 = 0) | env1 bits 4-6  |
// |               | or slows and stops there (bit 4 = 1)                          |                |
// A start while a stopping signal is active is answered with a stop at once, before any pulse.
#pragma once

namespace qsim {

class Chip;
class ChipGroup;

// The running move of driving chip c follows the signals as they are now.
void stop_at_signals(Chip& c);
// A move that has just started: a stopping signal ends it at once, the slow-down holds it at FL.
void refuse_start_under_signals(Chip& c);
// The emergency input came on: every moving or waiting axis of the group stops at once.
void stop_group_for_emergency(ChipGroup& group);

}  // namespace qsim
