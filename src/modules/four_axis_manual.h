// The four-axis module's manual operation: hand wheel, jog and step driven by the module itself
// once the host has selected the mode and axes (module register 4) and loaded each axis's
// profile. The setters store their arguments so that a later mode change can load them again.
#pragma once

#include <cstdint>

#include "modules/four_axis_link.h"
#include "quvex/quvex_base.h"

namespace quvex::modules::m4 {

enum class ManualType : std::int16_t { kOff = 0, kHandWheel = 1, kJog = 2, kStep = 3 };

struct ManualEngine {
    std::int16_t enable = 0;    // 1 runs the selected type; anything else turns manual operation off
    std::int16_t type = 0;      // ManualType
    std::int16_t all_axes = 0;  // 1: every axis, 0: `axis` alone
    std::int16_t axis = 0;
};

// KRING_ERR_MOF_TYPE (type), KRING_ERR_MOF_FLAG (enable or all_axes), KRING_ERR_AXIS (axis), else 0 whatever
// the transfers return.
quvex_status run_manual_engine(FourAxisLink& link, const ManualEngine& e);

// The setters after the module checks: KRING_ERR_MOF_MODE_OWNER unless mof_mode owns them, then store and
// load.
quvex_status set_mpg_velocity(FourAxisLink& link, int axis, const ring::ModuleManualProfile& p);
quvex_status set_jog_velocity(FourAxisLink& link, int axis, const ring::ModuleManualProfile& p, std::int16_t percent);
quvex_status set_step_velocity(FourAxisLink& link, int axis, const ring::ModuleManualProfile& p, std::int16_t percent);
quvex_status set_step_distance(FourAxisLink& link, int axis, double dist);

// Stores `mode` (0..5, checked by the caller), runs the engine for it and loads the stored
// parameters of the axes it affects; 0 whatever those calls return.
quvex_status configure_manual(FourAxisLink& link, std::int16_t mode);

}  // namespace quvex::modules::m4
