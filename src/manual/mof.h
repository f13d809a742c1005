// The card's manual-operation mode (mof): which manual source owns the card, switching between
// them (every switch disables all three, then enables one and re-applies its stored settings),
// and the check that gates the mode-owned setters.
#pragma once

#include <cstdint>

#include "quvex/quvex_base.h"

namespace quvex::manual {

enum MofMode : std::int16_t {
    kMofWheelAllAxes = 0,
    kMofWheelOneAxis = 1,
    kMofJog = 2,
    kMofStep = 3,
    kMofNone = 4,  // accepted, enables nothing
};

// QUVEX_ERR_MOF_MODE for a mode of 5 or more.
quvex_status check_mof_mode(std::int16_t mode);
// QUVEX_ERR_MOF_MODE_OWNER unless the card's stored mode is one of `first`..`last`.
quvex_status check_mof_owner(int card, std::int16_t first, std::int16_t last);

// Stores modes 0..3; other accepted values change nothing.
void store_mof_mode(int card, std::int16_t mode);
// Hand wheel, step on each axis, then jog: all off.
void disable_manual(int card);
// Disables everything, then enables the source of `mode` (checked below 5).
void switch_mof(int card, std::int16_t mode);

}  // namespace quvex::manual
