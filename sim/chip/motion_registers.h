// Registers, fields and command codes of the virtual chip's motion, as the chip decodes them.
#pragma once

#include <cstdint>

namespace qsim::motion_reg {

// Command codes.
constexpr unsigned kSimultaneousStart = 0x06;
constexpr unsigned kSimultaneousStop = 0x07;
constexpr unsigned kImmediateStop = 0x49;
constexpr unsigned kDeceleratingStop = 0x4A;
constexpr unsigned kStartAtStartSpeed = 0x50;  // constant FL, no ramps
constexpr unsigned kStartAtMaxSpeed = 0x51;    // constant FH, no ramps
constexpr unsigned kStartDecelerating = 0x52;  // FH, decelerate at the end
constexpr unsigned kStartRamped = 0x53;        // accelerate and decelerate
constexpr unsigned kCancelQueuedStart = 0x26;
constexpr unsigned kAxisSelectShift = 8;
constexpr unsigned kAxisSelectMask = 0xF;
constexpr unsigned kCodeMask = 0xFF;

// Write codes of operation register n: buffered bank and live bank.
constexpr unsigned kBufferedWrite(unsigned n) { return 0x80 + n; }
constexpr unsigned kLiveWrite(unsigned n) { return 0x90 + n; }

// Operation registers.
constexpr unsigned kMoveAmount = 0, kStartSpeed = 1, kMaxSpeed = 2, kAccelRate = 3, kDecelRate = 4,
                   kSpeedRange = 5, kRampDownPoint = 6, kOperationMode = 7, kAccelSection = 9,
                   kDecelSection = 10, kOperationRegisters = 12;
constexpr unsigned kSpeedRangeMask = 0xFFFF;  // the speed registers' width is the chip's (ChipUnits)

// Operation-mode register fields.
constexpr std::uint32_t kKindMask = 0x7F;
constexpr std::uint32_t kKindContinuousPlus = 0x00;
constexpr std::uint32_t kKindContinuousMinus = 0x08;
constexpr std::uint32_t kKindLinearInterpolation = 0x61;
constexpr std::uint32_t kSlowDownEnable = 1u << 8;
constexpr std::uint32_t kWaitForInPosition = 1u << 9;
constexpr std::uint32_t kSCurveBit = 1u << 10;
constexpr std::uint32_t kManualRampDownBit = 1u << 13;
constexpr std::uint32_t kWaitForSimultaneousStart = 1u << 24;
// A start whose mode has either bit, written while its axes still move, waits for the move to end.
constexpr std::uint32_t kQueuedStartBits = (1u << 26) | (1u << 27);
constexpr std::uint32_t kStopOnSimultaneousStop = 1u << 25;
// All six set on a queued start: it continues the running move without stopping.
constexpr std::uint32_t kChainBits = 0x3Fu << 18;

// env1 fields.
constexpr std::uint32_t kEnv1EndLimitDecelerates = 1u << 3;
constexpr std::uint32_t kEnv1SlowDownStops = 1u << 4;
constexpr std::uint32_t kEnv1SlowDownLatched = 1u << 5;
constexpr std::uint32_t kEnv1SlowDownActiveHigh = 1u << 6;
constexpr std::uint32_t kEnv1AlarmDecelerates = 1u << 8;
constexpr std::uint32_t kEnv1LatchOnRisingEdge = 1u << 23;
constexpr std::uint32_t kEnv1SyncStopDecelerates = 1u << 27;

}  // namespace qsim::motion_reg
