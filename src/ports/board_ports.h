// The PCI bridge's local registers and the board's own ports beside the motion chip: their
// offsets, their fields, and the primitives that reach them. Like the chip primitives, the board
// primitives hold card_lock for their own accesses only. The bridge start-up steps run without
// the lock: the card is not yet in use by anybody else when they run.
#pragma once

#include <cstdint>

#include "common/bits.h"

namespace quvex::chip {

// Bridge ports (offsets from bridge_base).
constexpr std::uint16_t kBridgeInterrupt = 0x4C;  // 8-bit interrupt control/status
constexpr std::uint16_t kBridgeControl = 0x50;    // 16-bit control word
constexpr std::uint16_t kBridgeControlTop = 0x53; // 8-bit top byte of the control register
constexpr std::uint16_t kBridgeControlStartupBit = 0x0800;
constexpr std::uint8_t kBridgeInterruptArm = 0x41;
constexpr std::uint8_t kBridgeBit30InTopByte = 0x40;

// Board ports (offsets from board_base).
constexpr std::uint16_t kBoardEndLimitLogic = 0x08;
constexpr std::uint16_t kBoardRingBaud = 0x0A;
constexpr std::uint16_t kBoardManualControl = 0x10;
constexpr std::uint16_t kBoardMpgStatus = 0x12;
constexpr std::uint16_t kBoardTtlInput = 0x18;
constexpr std::uint16_t kBoardTtlOutput = 0x1A;
constexpr std::uint16_t kBoardCardStatus = 0x1E;  // read: card status; write: LED

// Fields of the board words.
namespace board {
// End-limit logic word: axis X owns bit 3, axis U bit 0.
constexpr Field end_limit_logic(unsigned axis) { return field(3 - axis, 1); }
constexpr Field kTtlInputs = field(0, 4);
constexpr Field ttl_output(unsigned channel) { return field(channel, 1); }
constexpr Field kTtlOutputEnable = field(7, 1);
constexpr Field kCardStatus = field(0, 3);
constexpr std::uint8_t kMaxRingBaud = 3;
}  // namespace board

// One 16-bit board word, read or written under card_lock.
std::uint16_t read_board_port(int card, std::uint16_t offset);
void write_board_port(int card, std::uint16_t offset, std::uint16_t value);
// Read-modify-write of one board word in a single lock hold: the bits of `mask` set (on) or
// cleared. A mask of 0 writes the word back unchanged.
void change_board_bits(int card, std::uint16_t offset, std::uint16_t mask, bool on);

// Start-up: reads the bridge control word (no lock) and keeps it with bit 11 cleared and with
// bit 11 set for write_bridge_control.
void save_bridge_control(int card);

}  // namespace quvex::chip
