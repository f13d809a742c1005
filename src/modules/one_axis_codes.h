// The one-axis module's message codes, cyclic ports and mirror fields. Register writes use the
// chip's own codes (operation registers 0x90 + n, environment 0x9C.., counters 0xA3..);
// commands and reads have codes of their own.
#pragma once

#include <cstdint>

#include "common/bits.h"
#include "modules/module_operation_mode.h"

namespace quvex::modules::m1 {

namespace code {
constexpr std::uint16_t kReset = 0x04;
constexpr std::uint16_t kEmergencyStop = 0x05;
constexpr std::uint16_t kResetCommand = 0x20;
constexpr std::uint16_t kResetPosition = 0x21;
constexpr std::uint16_t kResetErrorCounter = 0x22;
constexpr std::uint16_t kErcOn = 0x24;
constexpr std::uint16_t kErcOff = 0x25;
constexpr std::uint16_t kDeceleratingStop = 0x4A;
constexpr std::uint16_t kStartRamped = 0x53;
constexpr std::uint16_t kOperationLive = 0x90;  // + operation register number
constexpr std::uint16_t kEnv1 = 0x9C;           // env1..env4 = 0x9C..0x9F
constexpr std::uint16_t kCommandCounter = 0xA3;
constexpr std::uint16_t kPositionCounter = 0xA4;
constexpr std::uint16_t kComparator1 = 0xA7;    // comparators 1..3 = 0xA7..0xA9
constexpr std::uint16_t kIntFactor = 0xAC;
constexpr std::uint16_t kReadMoveAmount = 0xD0;  // remaining pulses of the amount register
constexpr std::uint16_t kReadMaxSpeed = 0xD2;
constexpr std::uint16_t kReadCommand = 0xE3;
constexpr std::uint16_t kReadPosition = 0xE4;
constexpr std::uint16_t kReadErrorCounter = 0xE5;
constexpr std::uint16_t kReadComparator1 = 0xE7;  // comparators 1..3 = 0xE7..0xE9
constexpr std::uint16_t kReadLatch1 = 0xED;       // latches 1..3 = 0xED..0xEF
constexpr std::uint16_t kReadStatus = 0xF1;
constexpr std::uint16_t kReadErrorStatus = 0xF2;
constexpr std::uint16_t kReadEventStatus = 0xF3;
constexpr std::uint16_t kReadRemaining = 0xF4;
constexpr std::uint16_t kReadCurrentSpeed = 0xF5;
}  // namespace code

// Cyclic bytes: port 0 flags (module -> host), port 2 inputs (module -> host), port 3 outputs.
namespace port {
constexpr int kFlags = 0;
constexpr int kInputs = 2;
constexpr int kOutputs = 3;
constexpr std::uint8_t kIntFlagsMask = 0x0F;
constexpr std::uint8_t kErrorPending = 0x04;
constexpr std::uint8_t kEventPending = 0x08;
constexpr std::uint8_t kServoOn = 0x01;
constexpr std::uint8_t kAlarmReset = 0x02;
constexpr std::uint8_t kOutput0 = 0x04;
constexpr std::uint8_t kInput0 = 0x10;
}  // namespace port

// Positions and distances fit the 28-bit amount and counter registers.
constexpr std::int32_t kMinPulses = -134217728;
constexpr std::int32_t kMaxPulses = 134217727;
constexpr std::uint32_t kAmountMask = 0x0FFFFFFF;
constexpr std::uint32_t kCurrentSpeedMask = 0x1FFFF;

// operation_mode: the card chip's fields and kinds, and the module's own.
namespace mode {
using namespace chip_mode;
constexpr std::uint32_t kPositioningBits = 0x41;
}  // namespace mode

}  // namespace quvex::modules::m1
