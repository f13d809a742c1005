// The card's manual-control word (board + 0x10) and hand-wheel status port (board + 0x12): the
// fields the manual sources place, and the status word the library reports from both ports.
// The read-modify-writes of the control word are two separate port accesses: callers that
// configure the hand wheel of one card from several threads serialise themselves.
#pragma once

#include <cstdint>

#include "common/bits.h"

namespace quvex::manual {

namespace control {
constexpr Field kBoardBits = field(0, 4);      // left as read when the hand wheel is configured
constexpr Field kWheelAxis = field(4, 2);      // hand-wheel axis selection
constexpr Field kWheelOneAxis = field(6, 1);   // 0: all axes, 1: the selected axis
constexpr Field kEnable = field(7, 1);         // hand wheel; jog and step when written as 0x80
constexpr std::uint16_t kJogStepEnabled = 0x80;
constexpr std::uint16_t kKeptByWheelAxisChange = 0x00CF;
}  // namespace control

std::uint16_t read_control(int card);
void write_control(int card, std::uint16_t word);

// The status word: control bits 0-3, then status port bits 0-2 in 4-6, bits 4-5 in 7-8 and
// bit 7 in bit 9.
std::uint16_t compose_status(std::uint16_t control_word, std::uint16_t status_port);
std::uint16_t read_status(int card);

}  // namespace quvex::manual
