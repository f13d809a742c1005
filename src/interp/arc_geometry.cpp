#include "interp/arc_geometry.h"

#include <algorithm>
#include <cmath>

#include "common/numeric.h"

namespace quvex::interp {
namespace {

// One octant of a circle of radius R takes R times this many steps.
constexpr double kOctantRatio = 0.7071067811;
// Octant borders of the angle to the positive first axis.
constexpr double kQuarterPi = 0.785398163397;
constexpr double kThreeQuarterPi = 2.356194490191;

// Position classes of a point relative to the centre: the four open quadrants counter-clockwise
// from (+, +), then the four half-axes +x, +y, -x, -y.
enum class Place { kQ1, kQ2, kQ3, kQ4, kPlusX, kPlusY, kMinusX, kMinusY };

Place place_of(double x, double y) {
    if (y == 0) return x > 0 ? Place::kPlusX : Place::kMinusX;
    if (x == 0) return y > 0 ? Place::kPlusY : Place::kMinusY;
    if (x > 0) return y > 0 ? Place::kQ1 : Place::kQ4;
    return y > 0 ? Place::kQ2 : Place::kQ3;
}

bool on_half_axis(Place p) { return p >= Place::kPlusX; }

// The point's position along the circle in steps, counted counter-clockwise from the positive
// first axis. Within a quadrant the count follows the coordinate that changes fastest in that
// octant, which is how the chip steps the arc.
double steps_along(Place place, double x, double y, double len, double radius, double h) {
    const double theta = std::acos(std::clamp(x * radius / (len * radius), -1.0, 1.0));
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    switch (place) {
        case Place::kQ1:
            if (theta < kQuarterPi) return y;
            return theta == kQuarterPi ? h : 2 * h - ax;
        case Place::kQ2:
            if (theta < kThreeQuarterPi) return ax + 2 * h;
            return theta == kThreeQuarterPi ? 3 * h : 4 * h - ay;
        case Place::kQ3:
            if (theta < kThreeQuarterPi) return 6 * h - ax;
            return theta == kThreeQuarterPi ? 5 * h : ay + 4 * h;
        case Place::kQ4:
            if (theta < kQuarterPi) return 8 * h - ay;
            return theta == kQuarterPi ? 7 * h : ax + 6 * h;
        case Place::kPlusX: return 0;
        case Place::kPlusY: return 2 * h;
        case Place::kMinusX: return 4 * h;
        case Place::kMinusY: return 6 * h;
    }
    return 0;
}

// Centre coordinates the chip's auxiliary registers hold.
constexpr double kCentreLimit = 134217728.0;

}  // namespace

double arc_step_count(double cx, double cy, double ex, double ey, std::int16_t dir) {
    const double sx = -cx, sy = -cy;
    const double vx = ex - cx, vy = ey - cy;
    const double radius = std::hypot(sx, sy);
    const double end_len = std::hypot(vx, vy);
    if (radius == 0 || end_len == 0 || !std::isfinite(radius) || !std::isfinite(end_len)) return 0;
    const double h = radius * kOctantRatio;

    const Place ps = place_of(sx, sy);
    const Place pe = place_of(vx, vy);
    double us = steps_along(ps, sx, sy, radius, radius, h);
    double ue = steps_along(pe, vx, vy, end_len, radius, h);
    // Start and end on the same half-axis: a full circle.
    if (ps == pe && on_half_axis(ps)) {
        us = 0;
        ue = 8 * h;
    }
    double d = us - ue;
    if (ps != pe) {
        if (dir == kCounterClockwise) {
            d = d >= 0 ? 8 * h - d : std::fabs(d);
        } else if (d < 0) {
            d = 8 * h + d;
        }
    }
    return std::fabs(d);
}

std::uint32_t arc_step_register(double steps) { return truncate_to<std::uint32_t>(steps + 2.0); }

quvex_status arc_data_from_3points(double x1, double y1, double x2, double y2, double x3, double y3, ArcData* out) {
    for (const double v : {x1, y1, x2, y2, x3, y3}) {
        if (!std::isfinite(v)) return QUVEX_ERR_COLLINEAR_POINTS;
    }
    if ((x1 == x2 && x2 == x3) || (y1 == y2 && y2 == y3)) return QUVEX_ERR_COLLINEAR_POINTS;

    // The reference point must differ from P1 in its first coordinate, so the first centre
    // coordinate can be solved from the second.
    const bool p2_reference = x1 != x2;
    const double xq = p2_reference ? x2 : x3, yq = p2_reference ? y2 : y3;
    const double xp = p2_reference ? x3 : x2, yp = p2_reference ? y3 : y2;
    const double det = 2 * ((xp - xq) * (y1 - yq) - (x1 - xq) * (yp - yq));
    if (det == 0) return QUVEX_ERR_COLLINEAR_POINTS;

    const double q2 = xq * xq + yq * yq;
    const double k1 = x1 * x1 + y1 * y1 - q2;
    const double kp = xp * xp + yp * yp - q2;
    const double cy = std::floor(((xp - xq) * k1 - (x1 - xq) * kp) / det);
    const double cx = std::floor((k1 - 2 * (y1 - yq) * cy) / (2 * (x1 - xq)));
    const auto in_range = [](double c) { return c >= -kCentreLimit && c <= kCentreLimit; };
    if (!in_range(cx) || !in_range(cy)) {
        out->cx = 0;
        out->cy = 0;
        return QUVEX_ERR_ARC_CENTRE;
    }
    out->cx = cx;
    out->cy = cy;
    const double turn = (x2 - x1) * (y3 - y1) - (x3 - x1) * (y2 - y1);
    out->dir = turn < 0 ? kClockwise : kCounterClockwise;
    return QUVEX_OK;
}

}  // namespace quvex::interp
