// The operation-mode bits a line places beyond those of every start: a line clears the
// single-axis start bit, and a four-axis line also the synchronisation options, placing the
// continuous-move bits by the chip's continuous-buffer state.
#pragma once

#include <cstdint>

#include "chip/register_map.h"
#include "common/bits.h"

namespace quvex::interp {

// Four-axis lines clear these before placing their continuous-mode bits.
constexpr std::uint32_t kFourAxisClearedHighBits =
    chip::opmode::kSyncOptions.mask | chip::opmode::kSingleAxisStart.mask | chip::opmode::kPathStart.mask;
// A continuous four-axis line sets either bit 26 alone or bits 18-23 with it, by the chip's
// continuous-buffer state; after the start the buffered register goes back to bit 26 alone.
constexpr std::uint32_t kContinuousChainBits = chip::opmode::kSyncOptions.mask | chip::opmode::kSingleAxisStart.mask;

// High-half bits of a continuous four-axis line by the continuous-buffer state of the status.
constexpr std::uint32_t continuous_line_bits(std::uint32_t status) {
    const std::uint32_t state = field_value(status, chip::status32::kContinuousState);
    return (state == 1 || state == 2) ? kContinuousChainBits : chip::opmode::kSingleAxisStart.mask;
}

}  // namespace quvex::interp
