// Arc geometry: the step count the chip needs to place an arc's deceleration, and the centre and
// direction of the circle through three points.
#pragma once

#include <cstdint>

#include "quvex/quvex_base.h"

namespace quvex::interp {

// Arc direction as the starts take it: 0 clockwise, anything else the counter-clockwise mode.
// Only 1 counts the steps counter-clockwise.
constexpr std::int16_t kClockwise = 0;
constexpr std::int16_t kCounterClockwise = 1;

// Steps of the arc from the start point around (cx, cy) to (ex, ey), both relative to the start:
// each octant counts R / sqrt(2) steps. A degenerate arc (the centre on the start or the end
// point) counts 0.
double arc_step_count(double cx, double cy, double ex, double ey, std::int16_t dir);

// The value of the step-count register: the count plus two, truncated.
std::uint32_t arc_step_register(double steps);

struct ArcData {
    double cx = 0;
    double cy = 0;
    std::int16_t dir = kClockwise;
};

// Centre (in whole pulses, rounded down) and direction of the circle through three points in
// the points' own frame. QUVEX_ERR_COLLINEAR_POINTS for points sharing a coordinate or collinear
// ones (out untouched); QUVEX_ERR_ARC_CENTRE for a centre beyond +-2^27 (out holds a zero centre
// and the direction is not set).
quvex_status arc_data_from_3points(double x1, double y1, double x2, double y2, double x3, double y3, ArcData* out);

}  // namespace quvex::interp
