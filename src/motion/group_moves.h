// Group moves: several axes, each with its own distance or target and profile, programmed from
// parallel arrays in one call and started one after the other. Whether each axis runs at once
// or waits for the simultaneous start is decided by the chip from the synchronisation options.
#pragma once

#include <cstdint>

#include "motion/move_plan.h"
#include "quvex/quvex_base.h"

namespace quvex::motion {

// The caller's parallel arrays; the S-curve sections are null for trapezoids.
struct GroupArrays {
    const std::int16_t* axes;
    const double* value;  // distance (relative) or target (absolute)
    const double* str_vel;
    const double* max_vel;
    const double* tacc;
    const double* tdec;
    const double* sv_acc;
    const double* sv_dec;
};

// The most axes a group can name: every axis of twelve cards once.
constexpr int kMaxGroupAxes = 48;

// Programs and starts the axes in array order; QUVEX_ERR_ZERO_MAX_SPEED at the first zero maximum
// speed, the axes before it already started.
quvex_status set_group_moves(Curve curve, Reference reference, int n, const GroupArrays& arrays);

}  // namespace quvex::motion
