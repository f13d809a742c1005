// The path that a start command selecting several axes sets up, by the operation kind of the
// axis that received it: a line across every selected axis, or an arc on two axes with the other
// selected axes beside it (a helix's Z and U, the idle axes of a four-axis continuous arc).
#pragma once

#include <memory>

#include "motion_path.h"

namespace qsim {

class ChipGroup;

struct PathStart {
    int driver = -1;                    // the axis whose profile runs over the path
    std::unique_ptr<MotionPath> path;   // null: the axes run one by one
    bool arc = false;                   // an arc or helix: its ramp-down counts the given step count
};

// Called once every selected axis has taken its profile over (their live registers and
// MotionState hold the new move). `axes` are bits of the group's axes.
PathStart make_path(ChipGroup& group, int receiver, unsigned axes);

}  // namespace qsim
