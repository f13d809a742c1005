// Linear interpolation of two, three or four axes of one card. Every line export comes here:
// the relative form does all the work, the absolute form turns targets into distances first.
#pragma once

#include <cstdint>

#include "motion/move_plan.h"
#include "quvex/quvex_base.h"

namespace quvex::interp {

using motion::Curve;
using motion::Reference;

struct LineKind {
    Curve curve;
    Reference reference;
};

// The speed profile along the path. The S-curve sections are unused on a trapezoid.
struct PathProfile {
    double str_vel;
    double max_vel;
    double tacc;
    double tdec;
    double sv_acc = 0;
    double sv_dec = 0;
};

// Axis indexes of the four-axis line and of the fixed pairs.
inline constexpr std::int16_t kAllFourAxes[4] = {0, 1, 2, 3};
inline constexpr std::int16_t kPairXY[2] = {0, 1};
inline constexpr std::int16_t kPairZU[2] = {2, 3};

// Starts a line of `count` axes (2, 3 or 4) of `card`: axis_array holds their indexes within the
// card, values their distances (relative) or targets (absolute), both in group order. A count of
// 4 is the four-axis line on X, Y, Z, U, with its own register handling.
quvex_status start_line(LineKind kind, int card, const std::int16_t* axis_array, int count, const double* values,
                        const PathProfile& profile);

}  // namespace quvex::interp
