// Ports, command codes, register codes and register fields of the virtual chip, as the chip
// decodes them. One name per code for every model that drives a chip (the card's bus, the motion
// modules' processors); the names are the library's where it has the same code.
#pragma once

#include <cstdint>

namespace qsim::chipcode {

// Port offsets of an axis block (8 bytes per axis).
constexpr unsigned kAxisBlock = 8;
constexpr unsigned kCommandPort = 0;    // write: command word; read: main status
constexpr unsigned kSubStatusPort = 2;  // read
constexpr unsigned kDataLowPort = 4;
constexpr unsigned kDataHighPort = 6;

// Command word: bits 0-7 code, bits 8-11 the axes a start, stop or sync command selects.
constexpr unsigned kAxisSelectShift = 8;
constexpr unsigned kAxisSelectMask = 0xF;
constexpr unsigned kCodeMask = 0xFF;

// Command codes.
constexpr unsigned kSyncStart = 0x06;
constexpr unsigned kSyncStop = 0x07;
constexpr unsigned kOutputOff = 0x10;  // + output number 0..7
constexpr unsigned kOutputOn = 0x18;   // + output number 0..7
constexpr unsigned kClearErrorCounter = 0x22;
constexpr unsigned kErcOn = 0x24;
constexpr unsigned kErcOff = 0x25;
constexpr unsigned kCancelQueuedStart = 0x26;  // drops a start waiting behind the running move
constexpr unsigned kImmediateStop = 0x49;
constexpr unsigned kDeceleratingStop = 0x4A;
constexpr unsigned kStartAtStartSpeed = 0x50;  // constant FL, no ramps
constexpr unsigned kStartAtMaxSpeed = 0x51;    // constant FH, no ramps
constexpr unsigned kStartDecelerating = 0x52;  // FH, decelerate at the end
constexpr unsigned kStartRamped = 0x53;        // accelerate and decelerate

// Outputs (bit k of Chip::outputs is output k; the ERC output sits above them).
constexpr unsigned kServoOutput = 0;
constexpr unsigned kAlarmResetOutput = 1;  // resets the drive's alarm
constexpr unsigned kGeneralOutput = 4;
constexpr unsigned kErcOutputBit = 8;

// Register codes. A read code is its register's write code + kReadOffset.
constexpr unsigned kReadOffset = 0x40;
constexpr unsigned kOperationBuffered = 0x80;  // + n, n = 0..11
constexpr unsigned kArcStepCount = 0x8C;       // buffered bank only
constexpr unsigned kOperationLive = 0x90;      // + n
constexpr unsigned kEnv1 = 0x9C;               // env1..env7 = 0x9C..0xA2
constexpr unsigned kCommandCounter = 0xA3;
constexpr unsigned kPositionCounter = 0xA4;
constexpr unsigned kGeneralCounter = 0xA6;
constexpr unsigned kComparator1 = 0xA7;        // comparator data 1..5 = 0xA7..0xAB
constexpr unsigned kIntFactor = 0xAC;
constexpr unsigned kReadErrorCounter = 0xE5;   // the error counter has no write code
constexpr unsigned kReadLatch0 = 0xED;         // latches 0..3 = 0xED..0xF0
constexpr unsigned kReadStatus32 = 0xF1;
constexpr unsigned kReadRemainingPulses = 0xF4;
constexpr unsigned kReadCurrentSpeed = 0xF5;
constexpr unsigned read_code(unsigned write_code) { return write_code + kReadOffset; }

// Write codes of operation register n: buffered bank and live bank.
constexpr unsigned buffered_write(unsigned n) { return kOperationBuffered + n; }
constexpr unsigned live_write(unsigned n) { return kOperationLive + n; }

// Operation registers.
constexpr unsigned kMoveAmount = 0, kStartSpeed = 1, kMaxSpeed = 2, kAccelRate = 3, kDecelRate = 4,
                   kSpeedRange = 5, kRampDownPoint = 6, kOperationMode = 7, kAuxAmount = 8, kAccelSection = 9,
                   kDecelSection = 10, kOperationRegisters = 12;
constexpr unsigned kArcStepCountIndex = kArcStepCount - kOperationBuffered;  // its place in the buffered bank
constexpr unsigned kSpeedRangeMask = 0xFFFF;  // the speed registers' width is the chip's (ChipUnits)

// Environment registers env1..env7 are Chip::env[0..6].
enum EnvIndex : unsigned { kEnv1Index, kEnv2Index, kEnv3Index, kEnv4Index, kEnv5Index, kEnv6Index, kEnv7Index };

// Operation-mode register fields.
constexpr std::uint32_t kKindMask = 0x7F;
constexpr std::uint32_t kKindContinuousPlus = 0x00;
constexpr std::uint32_t kKindContinuousMinus = 0x08;
constexpr std::uint32_t kKindLinearInterpolation = 0x61;
constexpr std::uint32_t kKindHandWheel = 0x01;  // manual kinds arm the axis for the hand wheel, jog or step
constexpr std::uint32_t kKindJog = 0x02;
constexpr std::uint32_t kKindStep = 0x56;
constexpr std::uint32_t kSlowDownEnable = 1u << 8;
constexpr std::uint32_t kWaitForInPosition = 1u << 9;
constexpr std::uint32_t kSCurveBit = 1u << 10;
constexpr std::uint32_t kManualRampDownBit = 1u << 13;
constexpr std::uint32_t kWaitForSyncStart = 1u << 24;
// A start whose mode has either bit, written while its axes still move, waits for the move to end.
constexpr std::uint32_t kQueuedStartBits = (1u << 26) | (1u << 27);
constexpr std::uint32_t kStopOnSyncStop = 1u << 25;
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

// env2 and env3 fields of the hand wheel's pulser input.
constexpr unsigned kEnv2PulserModeShift = 24;  // two bits: count A/B once, twice, four times, or pulses
constexpr std::uint32_t kEnv2PulserInverse = 1u << 26;
constexpr std::uint32_t kEnv3HandWheelEnable = 1u << 13;

}  // namespace qsim::chipcode
