// Arc paths: two axes step around a centre, one step at a time, in the direction of the arc's
// operation kind; other axes of the move (a helix's Z and U) follow in proportion to the steps.
//
// The stepping rule. The circle through the start point is the set of lattice points nearest to
// it, walked octant by octant: in an octant where |y| < |x| every step moves y by one pulse (the
// major axis) and x goes to the whole pulse nearest the circle, x = round(sqrt(S - y^2)) with
// S the squared radius of the start point; where |x| < |y| the roles swap. At the diagonal the
// two octants meet with one step that moves both axes, or through the diagonal point itself when
// the walk would otherwise jump two pulses. Every point lies within half a pulse of the circle.
// A quarter of the circle therefore has a fixed number of steps, and the step -> point mapping
// is closed: quarter = k / steps_per_quarter, then a square root within the quarter. Nothing
// iterates over the steps, so an arc of a million steps costs the same as one of ten.
//
// The arc ends on the lattice point whose major coordinate is the end point's; when the end point
// lies off the lattice (it need not lie on the circle at all), the path closes with a short
// straight run to it, so the move always ends exactly on its end point. An arc that ends where
// it starts is a full circle. An arc whose start or end lies on the centre has no circle: it runs
// as a straight line to its end point.
#pragma once

#include <cstdint>
#include <vector>

#include "motion_path.h"

namespace qsim {

// The lattice walk of one full circle of squared radius S >= 1, counter-clockwise from the point
// on the positive first axis.
class CircleSteps {
public:
    struct Point {
        std::int64_t x, y;  // relative to the centre
    };

    explicit CircleSteps(std::uint64_t squared_radius);

    std::int64_t steps_per_quarter() const { return quarter_; }
    std::int64_t period() const { return 4 * quarter_; }
    // The point after k steps, k in 0..period()-1.
    Point point(std::int64_t k) const;
    // The step index of the lattice point whose major coordinate (in the point's octant) is that
    // of (x, y); exact for points of the circle. (x, y) must not be the centre.
    std::int64_t index_of(std::int64_t x, std::int64_t y) const;

private:
    // Whole pulse nearest sqrt(S - t^2).
    std::int64_t nearest_root(std::int64_t t) const;

    std::uint64_t squared_;
    std::int64_t last_low_ = 0;  // the last first-octant step whose point lies below the diagonal
    bool diagonal_ = false;      // the walk passes through the diagonal point (last_low_ + 1, last_low_ + 1)
    std::int64_t quarter_ = 1;
};

struct ArcGeometry {
    int first;                       // axis of the circle's first coordinate (the lead axis)
    int second;                      // axis of its second coordinate
    std::int64_t centre_x, centre_y;  // relative to the start point
    std::int64_t end_x, end_y;        // relative to the start point
    bool counter_clockwise;
};

class ArcPath final : public MotionPath {
public:
    // `beside`: further axes that move in proportion to the arc's progress (target, direction).
    ArcPath(const ArcGeometry& arc, std::vector<PathAxis> beside);

    std::int64_t length() const override { return arc_steps_ + closing_steps_; }
    std::int64_t due(const PathAxis& a, std::int64_t progress) const override;
    double share(const PathAxis& a, std::int64_t progress) const override;
    std::int64_t position(const PathAxis& a, std::int64_t progress) const override;

    // Steps taken on the circle (without the straight run that closes on the end point).
    std::int64_t arc_steps() const { return arc_steps_; }
    std::int64_t closing_steps() const { return closing_steps_; }

private:
    using Point = CircleSteps::Point;
    // Position of the two circle axes relative to the centre after `progress` steps.
    Point point(std::int64_t progress) const;

    ArcGeometry arc_;
    bool on_circle_ = false;
    CircleSteps circle_;
    std::int64_t start_index_ = 0;
    std::int64_t arc_steps_ = 0;
    Point closing_from_{0, 0};
    Point end_{0, 0};
    std::int64_t closing_steps_ = 0;
};

}  // namespace qsim
