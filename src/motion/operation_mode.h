// Fields of the operation-mode register (register 7) that the move starts program. Bits 7-9,
// 11, 12 and 15 of the low half and the high half (except bit 26) belong to configuration and
// synchronisation functions and survive every start.
#pragma once

#include <cstdint>

#include "common/bits.h"

namespace quvex::motion::opmode {

// Low-half bits a start rewrites: operation kind (0-6), S-curve (10), manual ramp-down (13), 14.
constexpr std::uint32_t kStartOwnedBits = 0x0000647Fu;  // complement of 0x9B80 within the low half
constexpr Field kOperationKind = field(0, 7);
constexpr std::uint32_t kKindPositioning = 0x41;
constexpr std::uint32_t kKindContinuousPlus = 0x00;
constexpr std::uint32_t kKindContinuousMinus = 0x08;
constexpr std::uint32_t kKindLinearInterpolation = 0x61;
constexpr std::uint32_t kSCurve = 1u << 10;
constexpr std::uint32_t kManualRampDown = 1u << 13;
constexpr std::uint32_t kStartMarker = 1u << 26;  // set by every single-axis start

// The operation-mode word of a single-axis start built on the current mirror word.
constexpr std::uint32_t single_axis_start(std::uint32_t mirror, std::uint32_t kind, bool s_curve, bool manual) {
    return (mirror & ~kStartOwnedBits) | kStartMarker | kind | (s_curve ? kSCurve : 0u) |
           (manual ? kManualRampDown : 0u);
}

}  // namespace quvex::motion::opmode
