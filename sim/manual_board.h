// The board side of manual operation: the hand wheel (pulser) input and the hand-wheel status
// port. The manual-control word (board + 0x10) enables and routes the wheel: bit 7 lets it
// through, bit 6 set sends it to the one axis in bits 4-5, clear to every axis. Jog and step
// switches go to their chip axis directly while bit 7 is set.
//
// A wheel turn is a number of detents (one pulse each, negative backwards) at a rate; turns
// follow one another as a hand turns a wheel. Each turn is two machine timers, at its beginning
// and its end; in between every axis it feeds heads for the turn's pace (a hand-wheel axis by
// its ramps, at most FH), integrated in closed form.
#pragma once

#include <cstdint>

#include "machine.h"

namespace qsim {

class Card;

struct ManualBoard {
    std::uint16_t wheel_status = 0;  // what the hand-wheel status port (board + 0x12) reads
    Ns wheel_free_at = 0;            // virtual time the last turn asked for ends
    std::uint64_t last_turn = 0;     // names the turns in order
};

// Queues a turn of the card's wheel: it begins when the turns before it end (now at the
// earliest) and lasts |detents| / rate seconds. Returns the time it ends.
Ns queue_wheel_turn(Card& card, std::int64_t detents, double rate);

// The board lets the hand wheel through (manual-control word bit 7) and routes it to `axis`
// (bits 4-6).
bool wheel_reaches(Card& card, int axis);
// The board lets the jog and step switches through (manual-control word bit 7).
bool switches_enabled(Card& card);

}  // namespace qsim
