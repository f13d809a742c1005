// Counters, status, cyclic flags and inputs of a one-axis module: register reads turned into
// the values the application sees.
#pragma once

#include <cstdint>

#include "modules/one_axis_link.h"

namespace quvex::modules::m1 {

// Counter writes keep the low 28 bits: the high word is masked to 12 bits.
std::int16_t write_counter(OneAxisLink& link, std::uint16_t code, std::int32_t value);
// The position counter divided by the move ratio; KRING_ERR_SPEED_ORDER for a ratio of 0.
std::int16_t read_position(OneAxisLink& link, std::uint32_t* pos);
std::int16_t read_current_speed(OneAxisLink& link, double* speed);
std::int16_t read_motion_done(OneAxisLink& link, std::uint16_t* done);

// The I/O status word from the 0xF1 status s and the input byte b.
std::uint32_t io_status_word(std::uint32_t s, std::uint8_t b);
std::int16_t read_io_status(OneAxisLink& link, std::uint32_t* io);

// Pending error (0xF2) or event (0xF3) status when the flag byte shows it, else 0.
std::int16_t read_pending(OneAxisLink& link, std::uint8_t pending_bit, std::uint16_t code, std::uint16_t mask,
                          std::uint16_t* out);

}  // namespace quvex::modules::m1
