// Fields of the operation-mode register (register 7) and of env1/env2 that the interpolation
// starts and the group moves place. The low half holds the operation of the next start; the
// bits of kConfigOwnedLowBits belong to the signal-configuration exports and survive every start.
#pragma once

#include <cstdint>

#include "common/bits.h"

namespace quvex::interp {

// ---- operation_mode ----
constexpr std::uint32_t kConfigOwnedLowBits = 0x9B80;  // bits 7, 8, 9, 11, 12, 15
constexpr Field kOperationKind = field(0, 7);
constexpr std::uint32_t kKindPositioning = 0x41;      // one axis, by the amount in register 0
constexpr std::uint32_t kKindLinear = 0x61;           // linear interpolation of the selected axes
constexpr Field kSCurve = field(10, 1);
constexpr Field kManualRampDown = field(13, 1);       // ramp-down point from register 6
// Set by every single-axis and group start, cleared for an interpolated start.
constexpr Field kSingleAxisStart = field(26, 1);
// Synchronisation options (quvex_set_sync_option).
constexpr Field kSyncOptionBits = field(18, 6);       // opt_low from bit 18, opt_high from bit 20
constexpr unsigned kSyncLowShift = 18;
constexpr unsigned kSyncHighShift = 20;
constexpr Field kSyncOption24 = field(24, 1);
constexpr Field kSyncOption25 = field(25, 1);
constexpr Field kModeBit27 = field(27, 1);
// Four-axis lines clear these before placing their continuous-mode bits.
constexpr std::uint32_t kFourAxisClearedHighBits = kSyncOptionBits.mask | kSingleAxisStart.mask | kModeBit27.mask;
// A continuous four-axis line sets either bit 26 alone or bits 18-23 with it, by the chip's
// continuous-buffer state; after the start the buffered register goes back to bit 26 alone.
constexpr std::uint32_t kContinuousChainBits = kSyncOptionBits.mask | kSingleAxisStart.mask;

// ---- 32-bit status register ----
constexpr Field kStatusContinuousState = field(20, 2);

// ---- env1 / env2 ----
constexpr Field kEnv1SyncStopMode = field(27, 1);
constexpr Field kEnv2Helical = field(28, 1);           // set by helical starts
constexpr Field kEnv2ContinuousInterp = field(29, 1);  // continuous four-axis line; sync options

// High-half bits of a continuous four-axis line by the continuous-buffer state of the status.
constexpr std::uint32_t continuous_line_bits(std::uint32_t status) {
    const std::uint32_t state = field_value(status, kStatusContinuousState);
    return (state == 1 || state == 2) ? kContinuousChainBits : kSingleAxisStart.mask;
}

// Low half of a start's operation mode: the configuration bits kept, the kind, the curve and
// the ramp-down choice placed.
constexpr std::uint32_t start_mode(std::uint32_t mirror, std::uint32_t kind, bool s_curve, bool manual_ramp_down) {
    std::uint32_t mode = mirror & ~std::uint32_t{0xFFFF};
    mode |= mirror & kConfigOwnedLowBits;
    mode = with_field(mode, kOperationKind, kind);
    mode = with_field(mode, kSCurve, s_curve ? 1 : 0);
    return with_field(mode, kManualRampDown, manual_ramp_down ? 1 : 0);
}

}  // namespace quvex::interp
