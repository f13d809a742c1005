// What makes one module kind differ from the other in the shared sequences (module_motion.h):
// its profile arithmetic (the kind's speed units and rate rules, from its *_profile files), what
// its speed-range pin writes and how a positioning start treats a failed write. Each link type
// names its kind as `kind`.
#pragma once

#include <cstdint>
#include <optional>

#include "modules/module_link.h"
#include "motion/move_plan.h"

namespace quvex::modules {

template <typename Profile>
struct ModuleKind {
    Profile (*t_profile)(double str_vel, double max_vel, double tacc, double tdec,
                         std::optional<std::uint32_t> pinned_range);
    Profile (*s_profile)(double str_vel, double max_vel, double tacc, double tdec, double sv_acc, double sv_dec,
                         std::optional<std::uint32_t> pinned_range);
    motion::SpeedRegisters (*pinned_speeds)(double max_vel);
    bool pin_copies_start_speed;
    OnFailure positioning;
};

}  // namespace quvex::modules
