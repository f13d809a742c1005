// The motion chip's register, command and port codes, the card's and the bridge's ports and the
// driver's requests as the tests expect to see them on the bus. Kept apart from the library's own
// constants so that a wrong code in the library fails a test.
#pragma once

#include <cstdint>

namespace quvex::test {

namespace reg {
// Operation registers, buffered bank (taken over by the next start).
constexpr unsigned kMoveAmount = 0x80;
constexpr unsigned kStartSpeed = 0x81;     // FL
constexpr unsigned kMaxSpeed = 0x82;       // FH
constexpr unsigned kAccelRate = 0x83;
constexpr unsigned kDecelRate = 0x84;
constexpr unsigned kSpeedRange = 0x85;
constexpr unsigned kRampDownPoint = 0x86;
constexpr unsigned kOperationMode = 0x87;
constexpr unsigned kAuxAmount = 0x88;
constexpr unsigned kSAccelSection = 0x89;
constexpr unsigned kSDecelSection = 0x8A;
constexpr unsigned kCorrectionSpeed = 0x8B;
constexpr unsigned kArcStepCount = 0x8C;
// The same register of the live bank (the one the running move uses).
constexpr unsigned live(unsigned buffered) { return buffered + 0x10; }
// Environment, counters and comparators.
constexpr unsigned kEnv1 = 0x9C;
constexpr unsigned kEnv2 = 0x9D;
constexpr unsigned kEnv3 = 0x9E;
constexpr unsigned kEnv4 = 0x9F;
constexpr unsigned kEnv5 = 0xA0;
constexpr unsigned kEnv6 = 0xA1;
constexpr unsigned kEnv7 = 0xA2;
constexpr unsigned kCommandCounter = 0xA3;
constexpr unsigned kPositionCounter = 0xA4;
constexpr unsigned kGeneralCounter = 0xA6;
constexpr unsigned kComparator1 = 0xA7;  // comparators 1..5 = 0xA7..0xAB
constexpr unsigned kComparator2 = 0xA8;
constexpr unsigned kComparator3 = 0xA9;
constexpr unsigned kComparator4 = 0xAA;
constexpr unsigned kComparator5 = 0xAB;
constexpr unsigned kIntFactor = 0xAC;
// A register's read code.
constexpr unsigned read(unsigned write_code) { return write_code + 0x40; }
constexpr unsigned kReadLatch0 = 0xED;  // latches 0..3 = 0xED..0xF0
constexpr unsigned kReadStatus32 = 0xF1;
constexpr unsigned kReadRemainingPulses = 0xF4;
constexpr unsigned kReadCurrentSpeed = 0xF5;
}  // namespace reg

namespace cmd {
constexpr unsigned kSyncStart = 0x06;
constexpr unsigned kSyncStop = 0x07;
constexpr unsigned kOutputOff = 0x10;  // + output number
constexpr unsigned kOutputOn = 0x18;
constexpr unsigned kServoOutput = 0;
constexpr unsigned kAlarmResetOutput = 1;
constexpr unsigned kGeneralOutput = 4;
constexpr unsigned kClearErrorCounter = 0x22;
constexpr unsigned kErcOn = 0x24;
constexpr unsigned kErcOff = 0x25;
constexpr unsigned kCancelQueuedStart = 0x26;
constexpr unsigned kImmediateStop = 0x49;
constexpr unsigned kDeceleratingStop = 0x4A;
constexpr unsigned kStartAtStartSpeed = 0x50;
constexpr unsigned kStartAtMaxSpeed = 0x51;
constexpr unsigned kStartDecelerating = 0x52;
constexpr unsigned kStartRamped = 0x53;
// A start of several axes: bits 8-11 select X, Y, Z, U.
constexpr unsigned on_axes(unsigned code, unsigned axis_bits) { return code | (axis_bits << 8); }
}  // namespace cmd

// The words quvex_initial leaves in every axis's registers.
namespace startup {
constexpr std::uint32_t kEnv1 = 0x048002C7;
constexpr std::uint32_t kEnv2 = 0x0030C515;
constexpr std::uint32_t kEnv3 = 0x00F02000;
constexpr std::uint32_t kOperationMode = 0x08000000;
}  // namespace startup

// `word` with `width` bits from bit `shift` set to `value`, for golden words that are a known word
// with one field changed.
constexpr std::uint32_t with_bits(std::uint32_t word, unsigned shift, unsigned width, std::uint32_t value) {
    const std::uint32_t mask = ((1u << width) - 1) << shift;
    return (word & ~mask) | ((value << shift) & mask);
}

// Board ports (offsets from the board base).
namespace board {
constexpr unsigned kEndLimitLogic = 0x08;
constexpr unsigned kRingBaudRate = 0x0A;
constexpr unsigned kManualControl = 0x10;
constexpr unsigned kCardStatus = 0x1E;  // read: the card status; write: the LED
}  // namespace board

// Card-level ports of the chip range (offsets from the chip base).
namespace card_port {
constexpr unsigned kCardControl = 0x20;
constexpr unsigned kCompareLoad = 0x26;  // cleared at start-up and before a compare table is loaded
}  // namespace card_port

// The PCI bridge's ports (offsets from the bridge base) and the words written to them.
namespace bridge {
constexpr unsigned kInterrupt = 0x4C;  // 8 bits: read (value unused), then armed
constexpr std::uint32_t kInterruptArm = 0x41;
constexpr unsigned kControl = 0x50;  // 16 bits
constexpr std::uint32_t kControlAtPowerUp = 0x4083;  // the word a virtual card powers up with
constexpr std::uint32_t kControlBit11 = 0x0800;      // set by start-up
constexpr unsigned kControlTop = 0x53;               // 8 bits: bits 24-31 of the control register
constexpr std::uint32_t kLocalBusReset = 0x40;       // bit 30 in the top byte: a 1 then a 0
}  // namespace bridge

// Driver requests (device I/O control codes).
namespace requests {
constexpr unsigned kCardResources = 0x223400;  // compare area and the three port bases
constexpr unsigned kRingResources = 0x223404;  // ring window and interrupt line
}  // namespace requests

}  // namespace quvex::test
