// Planning counts in the chips' own units (chip/speed_units.h); the move planner and its users
// name them as motion's.
#pragma once

#include "chip/speed_units.h"

namespace quvex::motion {

using chip::kFourAxisModuleUnits;
using chip::kLocalChipUnits;
using chip::kOneAxisModuleUnits;
using chip::RangeRow;
using chip::SpeedUnits;

}  // namespace quvex::motion
