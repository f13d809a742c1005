// What both module kinds share of their chips' vocabulary: each module runs the card's
// pulse-train chip, so the commands and registers both reach by code carry the chip's codes and
// names, and moves and counters have the same 28-bit range.
#pragma once

#include <cstdint>

#include "chip/registers.h"
#include "modules/module_operation_mode.h"

namespace quvex::modules {

namespace chip_code {
constexpr std::uint16_t kReset = 0x04;           // the module's own: resets the axis chip
constexpr std::uint16_t kResetCommand = 0x20;    // command counter to 0
constexpr std::uint16_t kResetPosition = 0x21;   // position counter to 0
constexpr std::uint16_t kErcOn = chip::cmd::kErcOn;
constexpr std::uint16_t kErcOff = chip::cmd::kErcOff;
constexpr std::uint16_t kDeceleratingStop = chip::cmd::kDeceleratingStop;
constexpr std::uint16_t kStartRamped = chip::cmd::kStartRamped;
constexpr std::uint16_t kEnv1 = chip::reg::kEnv1;  // env1..env4 = 0x9C..0x9F
constexpr std::uint16_t kCommandCounter = chip::reg::kCommandCounter;
constexpr std::uint16_t kPositionCounter = chip::reg::kPositionCounter;
constexpr std::uint16_t kReadCommand = chip::reg::kReadCommandCounter;
constexpr std::uint16_t kReadPosition = chip::reg::kReadPositionCounter;
constexpr std::uint16_t kReadLatch1 = chip::reg::kReadLatch0;  // the modules number their latches 1..3 from 0xED
constexpr std::uint16_t kReadStatus = chip::reg::kReadStatus32;
constexpr std::uint16_t kReadCurrentSpeed = chip::reg::kReadCurrentSpeed;
}  // namespace chip_code

// Distances and positions fit the 28-bit amount register; the counter setters accept one more.
constexpr std::int32_t kMinPulses = -134217728;
constexpr std::int32_t kMaxPulses = 134217727;
constexpr std::int32_t kMaxCounter = 134217728;
constexpr std::uint32_t kAmountMask = 0x0FFFFFFF;

}  // namespace quvex::modules
