// The fields of the motion chip's registers, each declared once with its mask and shift, grouped
// by the register that holds it. Port offsets, command codes and register codes are in
// chip/registers.h; the mirror slots in chip/register_mirror.h.
#pragma once

#include <cstdint>

#include "common/bits.h"

namespace quvex::chip {

// ---- env1 (0x9C) ----
namespace env1 {
constexpr Field kPulseOutputMode = field(0, 3);
constexpr Field kEndLimitStopMode = field(3, 1);
constexpr Field kSlowDownMode = field(4, 1);
constexpr Field kSlowDownLatch = field(5, 1);
constexpr Field kSlowDownLogic = field(6, 1);
constexpr Field kHomeFlag1 = field(7, 1);
constexpr Field kAlarmMode = field(8, 1);
constexpr Field kAlarmLogic = field(9, 1);
constexpr Field kAutoErc = field(10, 2);  // both bits together
constexpr Field kHomeErc = field(11, 1);
constexpr Field kErcWidth = field(12, 3);
constexpr Field kErcLogic = field(15, 1);
constexpr Field kErcReserved = field(16, 2);  // kept 0 whenever the ERC output is configured
constexpr Field kInPositionLogic = field(22, 1);
constexpr Field kLatchLogic = field(23, 1);
constexpr Field kSyncStopMode = field(27, 1);
constexpr Field kArcInterp = field(28, 1);  // set by arc and helical starts, and kept
}  // namespace env1

// ---- env2 (0x9D) ----
namespace env2 {
constexpr Field kEncoderInputMode = field(20, 2);
constexpr Field kEncoderLogic = field(22, 1);
constexpr Field kHomeFlag2 = field(23, 1);
constexpr Field kHelical = field(28, 1);           // set by helical starts, cleared by every other start
constexpr Field kContinuousInterp = field(29, 1);  // continuous four-axis line; set by the sync options
}  // namespace env2

// ---- env3 (0x9E) ----
namespace env3 {
constexpr Field kHomeMode = field(0, 4);
constexpr Field kHomeCount = field(4, 4);
constexpr Field kFeedbackSource = field(8, 2);
constexpr Field kCorrectionEnable = field(24, 1);  // backlash correction output
}  // namespace env3

// ---- env5 (0xA0) ----
namespace env5 {
constexpr Field kIdlePulses = field(8, 3);  // pulses output before the start
}  // namespace env5

// ---- env6 (0xA1) ----
namespace env6 {
constexpr Field kBacklashAmount = field(0, 12);
constexpr Field kBacklashEnable = field(12, 1);
constexpr Field kKeptLowBits = field(14, 2);  // owned by other settings; backlash keeps them
constexpr Field kLowHalf = field(0, 16);
}  // namespace env6

// ---- env7 (0xA2) ----
namespace env7 {
constexpr Field kSuppressTime1 = field(0, 16);
constexpr Field kSuppressTime2 = field(16, 16);
}  // namespace env7

// ---- operation_mode (register 7) ----
namespace opmode {
constexpr Field kOperationKind = field(0, 7);
constexpr std::uint32_t kKindPositioning = 0x41;      // one axis, by the amount in register 0
constexpr std::uint32_t kKindContinuousPlus = 0x00;   // runs until stopped, + direction
constexpr std::uint32_t kKindContinuousMinus = 0x08;  // runs until stopped, - direction
constexpr std::uint32_t kKindLinear = 0x61;           // linear interpolation of the selected axes
constexpr std::uint32_t kKindCircularCw = 0x64;       // circular interpolation of a pair, clockwise
constexpr std::uint32_t kKindCircularCcw = 0x65;      // the same, counter-clockwise
constexpr std::uint32_t kKindHelicalCw = 0x66;        // X-Y arc of a helix, clockwise
constexpr std::uint32_t kKindHelicalCcw = 0x67;       // the same, counter-clockwise
// The chip's origin operations, + and - direction.
constexpr std::uint32_t kKindHomeReturnPlus = 0x10;
constexpr std::uint32_t kKindHomeReturnMinus = 0x18;
constexpr std::uint32_t kKindEscapeHomePlus = 0x12;
constexpr std::uint32_t kKindEscapeHomeMinus = 0x1A;
constexpr std::uint32_t kKindHomeSearchPlus = 0x15;
constexpr std::uint32_t kKindHomeSearchMinus = 0x1D;
// Kinds with any of these bits run a counted amount (positioning); the others run until stopped.
constexpr std::uint32_t kPositioningKindBits = 0x61;
constexpr Field kSlowDownEnable = field(8, 1);
constexpr Field kInPositionEnable = field(9, 1);
constexpr Field kSCurve = field(10, 1);
constexpr Field kManualRampDown = field(13, 1);  // ramp-down point from register 6
constexpr Field kLowHalf = field(0, 16);
// Low-half bits owned by the configuration functions (7, 8, 9, 11, 12, 15): every start keeps them.
constexpr std::uint32_t kConfigOwnedLowBits = 0x9B80;
// Synchronisation options: opt_low from bit 18, opt_high from bit 20, both within bits 18-23.
constexpr Field kSyncLow = field(18, 2);
constexpr Field kSyncHigh = field(20, 4);
constexpr Field kSyncOptions = field(18, 6);
constexpr Field kSyncOption24 = field(24, 1);
constexpr Field kSyncOption25 = field(25, 1);
constexpr Field kSingleAxisStart = field(26, 1);  // set by single-axis and group starts
constexpr Field kPathStart = field(27, 1);        // set by line, arc and helix starts (and at start-up)

// The operation-mode word of a start built on the current word: the high half and the
// configuration bits of the low half kept; the kind, the curve and the ramp-down choice placed.
constexpr std::uint32_t start_word(std::uint32_t current, std::uint32_t kind, bool s_curve, bool manual_ramp_down) {
    std::uint32_t word = (current & ~kLowHalf.mask) | (current & kConfigOwnedLowBits);
    word = with_field(word, kOperationKind, kind);
    word = with_field(word, kSCurve, s_curve ? 1 : 0);
    return with_field(word, kManualRampDown, manual_ramp_down ? 1 : 0);
}
}  // namespace opmode

// ---- int_factor (0xAC) ----
namespace int_factor {
constexpr Field kAutoCompare = field(12, 1);  // set while the automatic compare runs
}  // namespace int_factor

// ---- correction_speed (register 11) ----
namespace correction {
constexpr Field kSpeed = field(0, 16);  // start-speed units of the backlash correction
}  // namespace correction

// ---- 32-bit status register (read code 0xF1) ----
namespace status32 {
constexpr Field kOperationState = field(0, 4);    // 0 when the axis is stopped
constexpr Field kContinuousState = field(20, 2);  // continuous-move buffer state
}  // namespace status32

// ---- main status word (port 0) ----
namespace main_status {
constexpr Field kMoveQueued = field(14, 1);  // a move waits in the buffered registers
}  // namespace main_status

// ---- sub-status word (port 2) ----
namespace substatus {
constexpr Field kGeneralInputPin = field(6, 1);
}  // namespace substatus

// ---- manual operation: hand wheel (pulser), jog and step ----
namespace manual {
constexpr Field kPulserInputMode = field(24, 2);      // env2: how the pulser input is counted
constexpr Field kPulserInputInverse = field(26, 1);     // env2: pulser direction reversed
constexpr Field kHandWheelEnable = field(13, 1);     // env3: set while the hand wheel drives the axis
constexpr Field kHandWheelCleared = field(8, 2);     // env3: cleared when the hand wheel is disabled
constexpr Field kPulserRatioHalf = field(16, 16);    // env6: (ratio_m - 1) << 11 | (ratio_p - 1)
constexpr unsigned kPulserRatioMShift = 11;          // within the upper half
// Operation kinds of the manual sources and of the moves the pulser paces.
constexpr std::uint32_t kKindHandWheel = 0x01;       // hand wheel, and the pulser speed move
constexpr std::uint32_t kKindJog = 0x02;
constexpr std::uint32_t kKindStep = 0x56;
constexpr std::uint32_t kKindPulserPositioning = 0x51;
constexpr std::uint32_t kKindPulserHomePlus = 0x54;
constexpr std::uint32_t kKindPulserHomeMinus = 0x55;
constexpr std::uint32_t kKindPulserLine = 0x6A;
constexpr std::uint32_t kKindPulserArcCw = 0x6C;
constexpr std::uint32_t kKindPulserArcCcw = 0x6D;
}  // namespace manual
// ---- comparators, trigger, latch and general counter ----
// env2: trigger output type.
namespace env2 {
constexpr Field kTriggerType = field(14, 2);
}  // namespace env2
// env3: what the general counter counts.
namespace env3 {
constexpr Field kGeneralCounterSource = field(12, 2);
}  // namespace env3
// env4: comparators 1..4, one byte each (comparator 4 has a 4-bit condition and no spare bit).
namespace env4 {
constexpr Field kSource1 = field(0, 2), kCondition1 = field(2, 3), kAction1 = field(5, 2), kSpare1 = field(7, 1);
constexpr Field kSource2 = field(8, 2), kCondition2 = field(10, 3), kAction2 = field(13, 2), kSpare2 = field(15, 1);
constexpr Field kSource3 = field(16, 2), kCondition3 = field(18, 3), kAction3 = field(21, 2), kSpare3 = field(23, 1);
constexpr Field kSource4 = field(24, 2), kCondition4 = field(26, 4), kAction4 = field(30, 2);
}  // namespace env4
// env5: comparator 5 in the low byte.
namespace env5 {
constexpr Field kSource5 = field(0, 3), kCondition5 = field(3, 3), kAction5 = field(6, 2);
}  // namespace env5
// main status word: comparators 1..5 in bits 8-12.
namespace main_status {
constexpr Field kComparators = field(8, 5);
}  // namespace main_status

}  // namespace quvex::chip
