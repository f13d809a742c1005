// What the line and arc exports share, for rows that define them: the C parameters of the path's
// speed profile and of its axes, and the PathProfile and axis list they make.
//
//   profile  C: max_vel alone (constant speed)   T: str_vel, max_vel, Tacc, Tdec
//            S: T's four, then SVacc, SVdec
//   axes     GIVEN: an axis-array argument   XY, ZU: the fixed pairs   ALL: X, Y, Z, U
#pragma once

#include "common/path_export_params.h"
#include "interp/arc_move.h"
#include "interp/line_move.h"

namespace quvex::interp {

// The curve a row's profile letter stands for.
constexpr ArcCurve kArcCurveC = ArcCurve::kConstant;
constexpr ArcCurve kArcCurveT = ArcCurve::kTrapezoid;
constexpr ArcCurve kArcCurveS = ArcCurve::kSCurve;
constexpr Curve kLineCurveT = Curve::kTrapezoid;
constexpr Curve kLineCurveS = Curve::kSCurve;

}  // namespace quvex::interp


// The axes parameter ends in its comma, so a fixed-axes form leaves nothing in its place.
#define QUVEX_PATH_AXES_PARAM_GIVEN const int16_t* axis_array,
#define QUVEX_PATH_AXES_PARAM_XY
#define QUVEX_PATH_AXES_PARAM_ZU
#define QUVEX_PATH_AXES_PARAM_ALL
#define QUVEX_PATH_AXES_GIVEN axis_array
#define QUVEX_PATH_AXES_XY ::quvex::interp::kPairXY
#define QUVEX_PATH_AXES_ZU ::quvex::interp::kPairZU
#define QUVEX_PATH_AXES_ALL ::quvex::interp::kAllFourAxes
