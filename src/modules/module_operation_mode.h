// The operation_mode fields and operation kinds that the modules' chips share with the card's:
// a module runs the same pulse-train chip, so its mirror uses the card's field layout.
#pragma once

#include "chip/register_map.h"

namespace quvex::modules::chip_mode {
constexpr Field kOperation = chip::opmode::kOperationKind;
constexpr Field kSdEnable = chip::opmode::kSlowDownEnable;
constexpr Field kInpEnable = chip::opmode::kInPositionEnable;
constexpr Field kSCurve = chip::opmode::kSCurve;
constexpr std::uint32_t kRelative = chip::opmode::kKindPositioning;
constexpr std::uint32_t kVelocityPlus = chip::opmode::kKindContinuousPlus;
constexpr std::uint32_t kVelocityMinus = chip::opmode::kKindContinuousMinus;
constexpr std::uint32_t kHomePlus = chip::opmode::kKindHomeReturnPlus;
constexpr std::uint32_t kHomeMinus = chip::opmode::kKindHomeReturnMinus;
}  // namespace quvex::modules::chip_mode
