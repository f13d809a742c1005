// Moves paced by the pulser: programmed in the buffered bank and started like ordinary moves,
// but the chip outputs their pulses as the hand wheel's pulses arrive. Operations after the
// exports' checks.
#pragma once

#include <cstdint>

#include "common/bits.h"

namespace quvex::manual {

// The operation mode of a pulser move built on the current word: the high half with register
// bit 26 cleared, the configuration bits of the low half, and the kind.
std::uint32_t pulser_mode_word(std::uint32_t current, std::uint32_t kind, bool manual_ramp_down);

// Pulser home direction: 0 the + search, 1 the - search.
bool valid_home_direction(std::int16_t dir);

void pulser_speed_move(std::int16_t axis, double speed);
void pulser_positioning(std::int16_t axis, double dist, double speed);
void pulser_home_search(std::int16_t axis, std::int16_t dir, double speed);

// Two axes of `card` given by their indexes (already validated), relative distances.
void pulser_line(int card, const std::int16_t* pair, double dist_x, double dist_y, double speed);
void pulser_arc(int card, const std::int16_t* pair, double cx, double cy, double ex, double ey, std::int16_t dir,
                double speed);

}  // namespace quvex::manual
