// The virtual chip's arc stepping, checked on the path objects directly: the lattice walk of a
// circle, arcs of every size and angle ending exactly on their end points, and agreement of the
// chip's step count with the count the library writes for it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "../../sim/chip/arc_path.h"
#include "interp/arc_geometry.h"
#include "special_values.h"

namespace quvex::test {
namespace {

using qsim::ArcPath;
using qsim::ArcGeometry;
using qsim::CircleSteps;
using qsim::PathAxis;

double distance_to_circle(std::int64_t x, std::int64_t y, double radius) {
    return std::fabs(std::hypot(static_cast<double>(x), static_cast<double>(y)) - radius);
}

// One step of a walk: the major axis moves one pulse, the other at most one.
bool is_one_step(CircleSteps::Point a, CircleSteps::Point b) {
    const std::int64_t dx = std::llabs(b.x - a.x), dy = std::llabs(b.y - a.y);
    return std::max(dx, dy) == 1;
}

TEST(CircleSteps, EveryStepOfSmallCirclesIsOnePulseAndNearTheCircle) {
    for (std::uint64_t squared = 1; squared <= 4000; ++squared) {
        const CircleSteps circle(squared);
        const double radius = std::sqrt(static_cast<double>(squared));
        CircleSteps::Point previous = circle.point(circle.period() - 1);
        for (std::int64_t k = 0; k < circle.period(); ++k) {
            const CircleSteps::Point p = circle.point(k);
            ASSERT_TRUE(is_one_step(previous, p)) << "S=" << squared << " k=" << k;
            ASSERT_LE(distance_to_circle(p.x, p.y, radius), 0.5) << "S=" << squared << " k=" << k;
            previous = p;
        }
    }
}

TEST(CircleSteps, EveryLatticePointOfTheCircleIsOnTheWalk) {
    for (std::int64_t x = -60; x <= 60; ++x) {
        for (std::int64_t y = -60; y <= 60; ++y) {
            if (x == 0 && y == 0) continue;
            const CircleSteps circle(static_cast<std::uint64_t>(x * x + y * y));
            const CircleSteps::Point p = circle.point(circle.index_of(x, y));
            ASSERT_EQ(p.x, x) << y;
            ASSERT_EQ(p.y, y) << x;
        }
    }
}

// Around the octant borders of large circles, where a square root decides each point.
TEST(CircleSteps, LargeCirclesStepCleanlyAcrossTheOctantBorders) {
    const std::uint64_t squares[] = {1000000ull * 1000000ull, 999999ull * 999999ull + 7, (1ull << 55) + 12345,
                                     (1ull << 62) + (1ull << 61)};
    for (const std::uint64_t squared : squares) {
        const CircleSteps circle(squared);
        const double radius = std::sqrt(static_cast<double>(squared));
        for (std::int64_t border = 0; border < circle.period(); border += circle.steps_per_quarter() / 2) {
            for (std::int64_t k = border - 3; k < border + 3; ++k) {
                const std::int64_t here = (k + circle.period()) % circle.period();
                const CircleSteps::Point p = circle.point(here);
                ASSERT_TRUE(is_one_step(p, circle.point((here + 1) % circle.period()))) << squared << " k=" << here;
                ASSERT_LE(distance_to_circle(p.x, p.y, radius), 0.5 + radius * 1e-15) << squared << " k=" << here;
            }
        }
    }
}

// A random arc of the property test: centre, end and direction relative to the start point.
struct RandomArc {
    ArcGeometry shape;
    double radius;
};

RandomArc random_arc(std::mt19937_64& rng) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double radius = std::pow(10.0, 6.0 * unit(rng));  // 1 to 10^6 pulses
    const double start = 2 * kPi * unit(rng), end = 2 * kPi * unit(rng);
    // The start relative to the centre is a whole point; the end is the nearest whole point at
    // the start's own radius.
    const std::int64_t sx = std::llround(radius * std::cos(start)), sy = std::llround(radius * std::sin(start));
    const double r = std::hypot(static_cast<double>(sx), static_cast<double>(sy));
    const std::int64_t ex = std::llround(r * std::cos(end)), ey = std::llround(r * std::sin(end));
    const bool ccw = (rng() & 1u) != 0;
    return {ArcGeometry{0, 1, -sx, -sy, ex - sx, ey - sy, ccw}, r};
}

CircleSteps::Point at(const ArcPath& path, std::int64_t progress) {
    return {path.position(path.axes()[0], progress), path.position(path.axes()[1], progress)};
}

TEST(ArcPathProperty, RandomArcsEndOnTargetAndStayWithinOnePulseOfTheCircle) {
    std::mt19937_64 rng(20261206);
    for (int n = 0; n < 5000; ++n) {
        const RandomArc arc = random_arc(rng);
        if (arc.radius == 0) continue;
        const ArcPath path(arc.shape, {});
        const ArcGeometry& s = arc.shape;
        ASSERT_EQ(at(path, 0).x, 0);
        ASSERT_EQ(at(path, 0).y, 0);
        ASSERT_EQ(at(path, path.length()).x, s.end_x) << n;
        ASSERT_EQ(at(path, path.length()).y, s.end_y) << n;
        ASSERT_LE(path.closing_steps(), 1) << "an end point on the circle closes within one step";
        // Samples spread over the arc, and the steps on both sides of each.
        std::uniform_int_distribution<std::int64_t> anywhere(0, path.length() - 1);
        for (int i = 0; i < 40; ++i) {
            const std::int64_t k = i < 2 ? (i == 0 ? 0 : path.length() - 1) : anywhere(rng);
            const CircleSteps::Point p = at(path, k), q = at(path, k + 1);
            ASSERT_LE(distance_to_circle(p.x - s.centre_x, p.y - s.centre_y, arc.radius), 1.0) << n << " k=" << k;
            ASSERT_TRUE(is_one_step(p, q)) << n << " k=" << k;
        }
    }
}

// The library counts an octant as R / sqrt(2) steps and writes the count plus two; the chip's own
// walk must agree with it, so that the deceleration the library plans ends on the arc's end.
TEST(ArcPathProperty, StepCountAgreesWithTheLibrarysCount) {
    std::mt19937_64 rng(7);
    for (int n = 0; n < 3000; ++n) {
        const RandomArc arc = random_arc(rng);
        const ArcGeometry& s = arc.shape;
        const double sx = static_cast<double>(-s.centre_x), sy = static_cast<double>(-s.centre_y);
        const double ex = static_cast<double>(s.end_x - s.centre_x), ey = static_cast<double>(s.end_y - s.centre_y);
        // The library does not wrap an arc whose ends share a quadrant; the chip walks it the long
        // way round when the direction says so. Compare the others.
        if ((sx > 0) == (ex > 0) && (sy > 0) == (ey > 0)) continue;
        // Below a few pulses of radius an end point rounded to whole pulses may lie a step off the
        // circle, and the library's octant positions take it at its own radius.
        if (arc.radius < 4) continue;
        const ArcPath path(s, {});
        const double counted = interp::arc_step_count(static_cast<double>(s.centre_x), static_cast<double>(s.centre_y),
                                                      static_cast<double>(s.end_x), static_cast<double>(s.end_y),
                                                      s.counter_clockwise ? 1 : 0);
        ASSERT_NEAR(static_cast<double>(path.length()), counted, 3.0) << n << " radius " << arc.radius;
    }
}

struct ArcShape {
    const char* name;
    ArcGeometry shape;
    std::int64_t steps;  // on the circle
    std::int64_t closing;
};

// Full circles count a whole walk; degenerate arcs run straight; an end point off the circle is
// reached by a straight run after the circle.
TEST(ArcPath, ShapesOfTheBorderCases) {
    const std::int64_t circle100 = CircleSteps(100 * 100).period();
    const ArcShape shapes[] = {
        {"full circle clockwise", {0, 1, 100, 0, 0, 0, false}, circle100, 0},
        {"full circle counter-clockwise", {0, 1, 0, -100, 0, 0, true}, circle100, 0},
        {"half circle", {0, 1, 100, 0, 200, 0, true}, circle100 / 2, 0},
        {"centre on the start", {0, 1, 0, 0, 30, -40, true}, 0, 40},
        {"end on the centre", {0, 1, 50, 0, 50, 0, false}, 0, 50},
        {"end point outside the circle", {0, 1, 100, 0, 100, 110, false}, circle100 / 4, 10},
    };
    for (const ArcShape& c : shapes) {
        const ArcPath path(c.shape, {});
        EXPECT_EQ(path.arc_steps(), c.steps) << c.name;
        EXPECT_EQ(path.closing_steps(), c.closing) << c.name;
        EXPECT_EQ(at(path, path.length()).x, c.shape.end_x) << c.name;
        EXPECT_EQ(at(path, path.length()).y, c.shape.end_y) << c.name;
    }
}

// A helix: the axes beside the circle advance in proportion and arrive with it.
TEST(ArcPath, AxesBesideTheCircleArriveTogetherWithIt) {
    const ArcPath path({0, 1, 100, 0, 0, 0, true}, {PathAxis{2, 500, -1}, PathAxis{3, 567, +1}});
    const PathAxis& z = path.axes()[2];
    const PathAxis& u = path.axes()[3];
    EXPECT_EQ(path.position(z, path.length()), -500);
    EXPECT_EQ(path.position(u, path.length()), 567);
    for (const std::int64_t k : {std::int64_t{1}, path.length() / 2, path.length() - 1}) {
        EXPECT_EQ(path.position(z, k), -(500 * k / path.length())) << k;
        EXPECT_EQ(path.position(u, k), 567 * k / path.length()) << k;
    }
}

}  // namespace
}  // namespace quvex::test
