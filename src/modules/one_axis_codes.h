// The one-axis module's message codes, cyclic ports and mirror fields. Register writes use the
// chip's own codes (operation registers 0x90 + n, environment 0x9C.., counters 0xA3..);
// commands and reads have codes of their own.
#pragma once

#include <cstdint>

#include "common/bits.h"
#include "modules/module_codes.h"

namespace quvex::modules::m1 {

namespace code {
using namespace chip_code;
constexpr std::uint16_t kEmergencyStop = 0x05;
constexpr std::uint16_t kResetErrorCounter = chip::cmd::kClearErrorCounter;
constexpr std::uint16_t kComparator1 = chip::reg::kComparator1;  // comparators 1..3 = 0xA7..0xA9
constexpr std::uint16_t kIntFactor = chip::reg::kIntFactor;
constexpr std::uint16_t kReadMoveAmount = chip::reg::kOperationRead + chip::kMoveAmount;  // remaining pulses
constexpr std::uint16_t kReadMaxSpeed = chip::reg::kOperationRead + chip::kMaxSpeed;
constexpr std::uint16_t kReadErrorCounter = chip::reg::kReadErrorCounter;
constexpr std::uint16_t kReadComparator1 = chip::reg::kReadComparator1;  // comparators 1..3 = 0xE7..0xE9
constexpr std::uint16_t kReadErrorStatus = 0xF2;
constexpr std::uint16_t kReadEventStatus = 0xF3;
constexpr std::uint16_t kReadRemaining = chip::reg::kReadRemainingPulses;
}  // namespace code

// Cyclic bytes: port 0 flags (module -> host), port 2 inputs (module -> host), port 3 outputs.
namespace port {
enum CyclicPort : int { kFlags = 0, kInputs = 2, kOutputs = 3 };
// Port 0: the interrupt flags, among them an error or an event waiting to be read.
constexpr std::uint8_t kIntFlagsMask = 0x0F, kErrorPending = 0x04, kEventPending = 0x08;
// Port 3: servo on, alarm reset, then the general outputs from bit 2.
constexpr std::uint8_t kServoOn = 0x01, kAlarmReset = 0x02, kOutput0 = 0x04;
// Port 2: the general inputs from bit 4.
constexpr std::uint8_t kInput0 = 0x10;
}  // namespace port

constexpr std::uint32_t kCurrentSpeedMask = 0x1FFFF;

// operation_mode: the card chip's fields and kinds, and the module's own.
namespace mode {
using namespace chip_mode;
constexpr std::uint32_t kPositioningBits = 0x41;
}  // namespace mode

}  // namespace quvex::modules::m1
