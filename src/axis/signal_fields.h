// Bit fields of the environment registers and the operation mode word that the axis signal
// configuration changes.
#pragma once

#include "common/bits.h"

namespace quvex::axis::fields {

// env1
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

// env2
constexpr Field kEncoderInputMode = field(20, 2);
constexpr Field kEncoderLogic = field(22, 1);
constexpr Field kHomeFlag2 = field(23, 1);

// env3
constexpr Field kHomeMode = field(0, 4);
constexpr Field kHomeCount = field(4, 4);
constexpr Field kFeedbackSource = field(8, 2);

// operation_mode
constexpr Field kSlowDownEnable = field(8, 1);
constexpr Field kInPositionEnable = field(9, 1);

}  // namespace quvex::axis::fields
