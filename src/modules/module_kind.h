// What makes one module kind differ from the other in the shared sequences (module_motion.h):
// its profile arithmetic (the kind's speed units and rate rules, from its *_profile files), what
// its speed-range pin writes and how a positioning start treats a failed write. Both kinds side
// by side; each axis link type names its kind as `kind`.
#pragma once

#include <cstdint>
#include <optional>

#include "modules/four_axis_profile.h"
#include "modules/module_link.h"
#include "modules/one_axis_profile.h"
#include "motion/move_plan.h"

namespace quvex::modules {

struct ModuleKind {
    const motion::ProfileBuilder& profile;
    bool pin_copies_start_speed;
    OnFailure positioning;
};

}  // namespace quvex::modules

namespace quvex::modules::m1 {
// The pin also copies FL to the correction speed; both positioning writes go out and the
// amount's result counts.
inline constexpr ModuleKind kOneAxis{kProfile, true, OnFailure::kKeepGoing};
}  // namespace quvex::modules::m1

namespace quvex::modules::m4 {
// The pin writes FH and FL only; a positioning start ends at its first failed write.
inline constexpr ModuleKind kFourAxis{kProfile, false, OnFailure::kStop};
}  // namespace quvex::modules::m4
