// Arc geometry: the three-point centre and direction, and the arc step count that the
// step-count register receives.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "interp/arc_geometry.h"
#include "quvex/quvex.h"

namespace quvex::test {
namespace {

using interp::arc_step_count;
using interp::arc_step_register;

struct ThreePoints {
    const char* name;
    double x1, y1, x2, y2, x3, y3;
    double cx, cy;
    int16_t dir;
};

class ArcFromThreePoints : public ::testing::TestWithParam<ThreePoints> {};

TEST_P(ArcFromThreePoints, CentreAndDirection) {
    const ThreePoints& c = GetParam();
    double cx = -1, cy = -1;
    int16_t dir = -1;
    ASSERT_EQ(quvex_get_arc_data_from_3points(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, &cx, &cy, &dir), QUVEX_OK);
    EXPECT_EQ(cx, c.cx);
    EXPECT_EQ(cy, c.cy);
    EXPECT_EQ(dir, c.dir);
}

INSTANTIATE_TEST_SUITE_P(
    Points, ArcFromThreePoints,
    ::testing::Values(ThreePoints{"over_the_top_clockwise", 0, 0, 10, 10, 20, 0, 10, 0, 0},
                      ThreePoints{"under_counter_clockwise", 0, 0, 10, -10, 20, 0, 10, 0, 1},
                      // True centre (1.5, -0.5): the second coordinate is floored first and the
                      // first is solved from the floored value.
                      ThreePoints{"centre_floored", 0, 0, 1, 1, 3, 0, 2, -1, 0},
                      // The first two share x, so the third point is the reference.
                      ThreePoints{"third_point_reference", 0, 0, 0, 10, 5, 5, 0, 5, 0},
                      ThreePoints{"offset_frame", 1000, 500, 1010, 510, 1020, 500, 1010, 500, 0}),
    [](const auto& p) { return std::string(p.param.name); });

struct Refused {
    const char* name;
    double x1, y1, x2, y2, x3, y3;
};

class ArcFromBadPoints : public ::testing::TestWithParam<Refused> {};

TEST_P(ArcFromBadPoints, CollinearLeavesTheOutputs) {
    const Refused& c = GetParam();
    double cx = 7, cy = 8;
    int16_t dir = 9;
    EXPECT_EQ(quvex_get_arc_data_from_3points(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, &cx, &cy, &dir),
              QUVEX_ERR_COLLINEAR_POINTS);
    EXPECT_EQ(cx, 7);
    EXPECT_EQ(cy, 8);
    EXPECT_EQ(dir, 9);
}

INSTANTIATE_TEST_SUITE_P(
    Points, ArcFromBadPoints,
    ::testing::Values(Refused{"vertical_line", 5, 0, 5, 10, 5, 20}, Refused{"horizontal_line", 0, 3, 10, 3, 20, 3},
                      Refused{"diagonal_line", 0, 0, 10, 10, 20, 20}, Refused{"coinciding", 1, 2, 1, 2, 4, 6},
                      Refused{"not_a_number", 0, 0, 10, std::numeric_limits<double>::quiet_NaN(), 20, 0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ArcFromThreePointsRange, CentreBeyondTheRegisterZeroesTheCentreOnly) {
    double cx = 7, cy = 8;
    int16_t dir = 9;
    // Nearly collinear points far from the origin put the centre beyond 2^27.
    EXPECT_EQ(quvex_get_arc_data_from_3points(0, 0, 1, 1e-9, 2, 0, &cx, &cy, &dir), QUVEX_ERR_ARC_CENTRE);
    EXPECT_EQ(cx, 0);
    EXPECT_EQ(cy, 0);
    EXPECT_EQ(dir, 9);
    EXPECT_EQ(quvex_get_arc_data_from_3points(0, 0, 10, 10, 20, 0, nullptr, nullptr, nullptr), QUVEX_OK);
}

// ---- step count ----

struct StepCase {
    const char* name;
    double cx, cy, ex, ey;
    int16_t dir;
    std::uint32_t reg;  // count + 2, truncated
};

class ArcSteps : public ::testing::TestWithParam<StepCase> {};

TEST_P(ArcSteps, RegisterValue) {
    const StepCase& c = GetParam();
    EXPECT_EQ(arc_step_register(arc_step_count(c.cx, c.cy, c.ex, c.ey, c.dir)), c.reg);
}

// h = 70.71067811 for radius 100.
INSTANTIATE_TEST_SUITE_P(
    Arcs, ArcSteps,
    ::testing::Values(StepCase{"full_circle_clockwise", 100, 0, 0, 0, 0, 567},
                      StepCase{"full_circle_counter_clockwise", 100, 0, 0, 0, 1, 567},
                      StepCase{"quarter_counter_clockwise", 100, 0, 100, -100, 1, 143},
                      StepCase{"three_quarters_clockwise", 100, 0, 100, -100, 0, 426},
                      StepCase{"quarter_clockwise", 100, 0, 100, 100, 0, 143},
                      // From 180 degrees clockwise to about 150: past the octant border the
                      // position follows |y|, so the count is the 50.5 the second axis climbs.
                      StepCase{"within_one_octant", 100, 0, 100 - std::sqrt(7449.75), 50.5, 0, 52},
                      // Any direction value other than 1 counts as clockwise.
                      StepCase{"direction_two_counts_clockwise", 100, 0, 100, -100, 2, 426},
                      // Degenerate arcs count nothing: the register gets the two extra steps only.
                      StepCase{"centre_on_start", 0, 0, 10, 10, 0, 2},
                      StepCase{"end_on_centre", 100, 0, 100, 0, 1, 2}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ArcStepsProperty, QuadrantArcsCountTwoOctants) {
    // A quarter arc between two half-axes counts 2h whatever the radius and the quarter.
    for (double r : {1.0, 37.0, 1000.0, 1e6}) {
        const double quarters[4][4] = {{r, 0, r, r}, {0, r, r, r}, {-r, 0, -r, -r}, {0, -r, -r, -r}};
        for (const auto& q : quarters) {
            const double ccw = arc_step_count(q[0], q[1], q[2], q[3], 1);
            const double cw = arc_step_count(q[0], q[1], q[2], q[3], 0);
            EXPECT_NEAR(ccw + cw, 8 * r * 0.7071067811, 1e-6 * r) << "the two ways round make the circle";
            EXPECT_TRUE(std::fabs(ccw - 2 * r * 0.7071067811) < 1e-6 * r ||
                        std::fabs(cw - 2 * r * 0.7071067811) < 1e-6 * r);
        }
    }
}

}  // namespace
}  // namespace quvex::test
