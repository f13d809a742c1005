// The four-axis module's status words as the exports report them, pure.
#pragma once

#include <cstdint>

namespace quvex::modules::m4 {

// The I/O status of one axis from its chip status s (0xF1), the low byte b of its I/O port and
// the same port read again as a word w.
std::uint32_t io_status(std::uint32_t s, std::uint8_t b, std::uint16_t w);
// The manual-operation status register as reported: bits 0..6 and 10..15 kept, bit 7 moved to
// bit 9, bits 8..9 moved to bits 6..7.
std::uint16_t manual_status(std::uint16_t v);

}  // namespace quvex::modules::m4
