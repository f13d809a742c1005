// Arcs, helices and continuous moves run on the virtual card: the axes stay on the circle, end
// exactly on their end points, a helix's axes arrive together, and queued moves follow each
// other without a stop.
#include <cmath>
#include <string>
#include <vector>

#include "quvex/sim_axis.h"
#include "quvex/sim_motion.h"
#include "sim_fixture.h"
#include "sim_motion.h"
#include "special_values.h"

namespace quvex::test {
namespace {

using Trace = std::vector<quvex_sim_motion_sample>;

int32_t command_of(int axis) {
    int32_t command = 0;
    EXPECT_EQ(quvex_get_command(static_cast<int16_t>(axis), &command), QUVEX_OK);
    return command;
}

void sample_axes(int axes, double period) {
    for (int axis = 0; axis < axes; ++axis) ASSERT_EQ(quvex_sim_sample_motion(0, axis, period), 0);
}

// Runs the clock until the axes have stopped (at most a minute).
void run_until_stopped(int axes) {
    for (int i = 0; i < 6000; ++i) {
        bool moving = false;
        for (int axis = 0; axis < axes; ++axis) moving = moving || quvex_motion_done(static_cast<int16_t>(axis)) != 0;
        if (!moving) return;
        quvex_sim_advance(0.01);
    }
}

// Every sample of X and Y, taken at the same instants, within one pulse of the circle.
void expect_on_circle(const Trace& x, const Trace& y, double cx, double cy, double radius) {
    ASSERT_EQ(x.size(), y.size());
    ASSERT_GT(x.size(), 20u);
    for (std::size_t i = 0; i < x.size(); ++i) {
        ASSERT_EQ(x[i].time, y[i].time);
        const double r = std::hypot(x[i].position - cx, y[i].position - cy);
        ASSERT_LE(std::fabs(r - radius), 1.0) << "at " << x[i].time << " s: (" << x[i].position << ", " << y[i].position << ")";
    }
}

struct OctantArc {
    std::string name;
    double start_angle;  // of the start point seen from the centre
    double sweep;        // radians, signed: positive turns counter-clockwise
};

std::vector<OctantArc> octant_arcs() {
    std::vector<OctantArc> out;
    for (int octant = 0; octant < 8; ++octant) {
        for (const double sweep : {3.5, -3.5, 0.3, -0.3}) {
            out.push_back({"octant" + std::to_string(octant) + (sweep > 0 ? "_ccw" : "_cw") +
                               (std::fabs(sweep) > 1 ? "_long" : "_short"),
                           (octant + 0.5) * kPi / 4, sweep});
        }
    }
    return out;
}

class ArcMotion : public CardTest, public ::testing::WithParamInterface<OctantArc> {};

// An arc of radius 1000 from the middle of each octant, both ways, short and long: the counters
// end on the end point and every sample lies within one pulse of the circle.
TEST_P(ArcMotion, StaysOnTheCircleAndEndsOnItsEndPoint) {
    const OctantArc& c = GetParam();
    const double sx = std::round(1000 * std::cos(c.start_angle)), sy = std::round(1000 * std::sin(c.start_angle));
    const double radius = std::hypot(sx, sy);
    const double end_angle = c.start_angle + c.sweep;
    const double ex = std::round(radius * std::cos(end_angle)) - sx, ey = std::round(radius * std::sin(end_angle)) - sy;
    sample_axes(2, 0.002);
    ASSERT_EQ(quvex_start_tr_arc_xy(0, -sx, -sy, ex, ey, c.sweep > 0 ? 1 : 0, 200, 8000, 0.05, 0.05), QUVEX_OK);
    run_until_stopped(2);

    EXPECT_EQ(command_of(0), static_cast<int32_t>(ex));
    EXPECT_EQ(command_of(1), static_cast<int32_t>(ey));
    EXPECT_EQ(motion_info(0).ended_at, motion_info(1).ended_at);
    EXPECT_EQ(motion_info(0).stop_reason, 0u);
    expect_on_circle(motion_samples(0), motion_samples(1), -sx, -sy, radius);
}

INSTANTIATE_TEST_SUITE_P(Octants, ArcMotion, ::testing::ValuesIn(octant_arcs()),
                         [](const auto& p) { return p.param.name; });

// The full clockwise circle of radius 100 about (100, 0) passes through (200, 0) and (100, +-100)
// and comes back to where it started; it ramps up and down over its own steps.
TEST_F(ArcMotion, FullCircleComesBackToItsStart) {
    sample_axes(2, 0.001);
    ASSERT_EQ(quvex_start_tr_arc_xy(0, 100, 0, 0, 0, 0, 100, 2000, 0.1, 0.1), QUVEX_OK);
    run_until_stopped(2);
    EXPECT_EQ(command_of(0), 0);
    EXPECT_EQ(command_of(1), 0);
    const Trace x = motion_samples(0), y = motion_samples(1);
    expect_on_circle(x, y, 100, 0, 100);
    double far_x = 0, high_y = 0, low_y = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        far_x = std::fmax(far_x, x[i].position);
        high_y = std::fmax(high_y, y[i].position);
        low_y = std::fmin(low_y, y[i].position);
    }
    EXPECT_GE(far_x, 195);
    EXPECT_GE(high_y, 95);
    EXPECT_LE(low_y, -95);
    // Clockwise from (0, 0) about (100, 0): up first.
    for (const quvex_sim_motion_sample& s : y) {
        if (s.position != 0) {
            EXPECT_GT(s.position, 0) << "clockwise from the left of the centre goes up first";
            break;
        }
    }
    EXPECT_GT(motion_info(0).peak_speed, 1000.0);
    // The ramp-down is placed by the step count the library gave (567, a few steps more than the
    // lattice path's own), so the circle ends late in its deceleration: the last sample before
    // the end runs at a fraction of the peak.
    const double end = motion_info(0).ended_at;
    std::size_t last = 0;
    while (last + 1 < x.size() && x[last + 1].time < end) ++last;
    EXPECT_LT(std::fmax(std::fabs(x[last].speed), std::fabs(y[last].speed)), 500.0);
}

// A helix of one full turn: X and Y come back, Z and U (the steps) arrive at the same instant,
// Z advancing in proportion to U all the way.
TEST_F(ArcMotion, HelixEndsOnXYAndZTogether) {
    sample_axes(4, 0.002);
    ASSERT_EQ(quvex_start_tr_arc_xyz(0, 100, 0, 0, 0, 500, 1, 100, 1000, 0.1, 0.1), QUVEX_OK);
    run_until_stopped(4);
    const int32_t expected[4] = {0, 0, 500, 567};
    for (int axis = 0; axis < 4; ++axis) {
        EXPECT_EQ(command_of(axis), expected[axis]) << axis;
        EXPECT_EQ(motion_info(axis).ended_at, motion_info(0).ended_at) << axis;
    }
    const Trace z = motion_samples(2), u = motion_samples(3);
    expect_on_circle(motion_samples(0), motion_samples(1), 100, 0, 100);
    ASSERT_EQ(z.size(), u.size());
    for (std::size_t i = 0; i < z.size(); ++i) {
        ASSERT_LE(std::fabs(z[i].position - 500.0 * u[i].position / 567.0), 1.0) << z[i].time;
    }
}

// A quarter arc from the top of its circle to its left: X only moves down, Y only down.
// An end limit ahead of the way an axis sets off stops the arc at once; one behind it does not.
TEST_F(ArcMotion, EndLimitAheadOfTheWayAnAxisSetsOffStopsTheArc) {
    struct LimitCase {
        int axis, signal;
        bool stops;
    };
    const LimitCase cases[] = {{0, QUVEX_SIM_INPUT_EL_MINUS, true},
                               {1, QUVEX_SIM_INPUT_EL_MINUS, true},
                               {0, QUVEX_SIM_INPUT_EL_PLUS, false},
                               {1, QUVEX_SIM_INPUT_EL_PLUS, false}};
    for (const LimitCase& c : cases) {
        TearDown();
        SetUp();
        ASSERT_EQ(quvex_sim_set_axis_input(0, c.axis, c.signal, 1), 0);
        ASSERT_EQ(quvex_start_tr_arc_xy(0, 0, -100, -100, -100, 1, 100, 1000, 0.1, 0.1), QUVEX_OK);
        run_until_stopped(2);
        EXPECT_EQ(command_of(0), c.stops ? 0 : -100) << c.axis << " " << c.signal;
        EXPECT_EQ(command_of(1), c.stops ? 0 : -100) << c.axis << " " << c.signal;
    }
}

// ---- continuous moves ----

class ContinuousMotion : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        for (int16_t axis = 0; axis < 4; ++axis) ASSERT_EQ(quvex_set_continuous_move(axis, 1), QUVEX_OK);
    }
    // Advances until the queued move has started (the buffer is empty again).
    void run_until_buffer_empty() {
        for (int i = 0; i < 60000 && quvex_check_continuous_buffer(0) == 1; ++i) quvex_sim_advance(0.001);
    }
};

// A line, a quarter arc and a line, each queued while the one before runs: the path never stops
// between them and ends on the last target.
TEST_F(ContinuousMotion, SegmentsFollowEachOtherWithoutStopping) {
    sample_axes(2, 0.001);
    ASSERT_EQ(quvex_start_ta_line4(0, 1000, 0, 0, 0, 100, 2000, 0.1, 0), QUVEX_OK);
    EXPECT_EQ(quvex_check_continuous_buffer(0), 0);
    ASSERT_EQ(quvex_start_ta_arc_xy_conti(0, 1000, 500, 1500, 500, 1, 100, 2000, 0, 0), QUVEX_OK);
    EXPECT_EQ(quvex_check_continuous_buffer(0), 1) << "the arc waits for the line";
    run_until_buffer_empty();
    const double arc_start = motion_info(0).started_at;
    EXPECT_EQ(motion_info(0).ended_at, arc_start) << "the arc starts the instant the line ends";
    ASSERT_EQ(quvex_start_ta_line4(0, 1500, 1500, 0, 0, 100, 2000, 0, 0.1), QUVEX_OK);
    EXPECT_EQ(quvex_check_continuous_buffer(0), 1) << "the second line waits for the arc";
    run_until_stopped(4);

    EXPECT_EQ(command_of(0), 1500);
    EXPECT_EQ(command_of(1), 1500);
    EXPECT_GT(arc_start, 0.5) << "1000 pulses at up to 2000 pps";
    const Trace x = motion_samples(0), y = motion_samples(1);
    ASSERT_EQ(x.size(), y.size());
    const double end = motion_info(1).ended_at;
    int samples_while_moving = 0;
    for (std::size_t i = 1; i < x.size() && x[i].time < end; ++i) {  // sample 0 is taken before the start
        ASSERT_GT(std::fmax(std::fabs(x[i].speed), std::fabs(y[i].speed)), 0.0) << "stopped at " << x[i].time << " s";
        ++samples_while_moving;
    }
    EXPECT_GT(samples_while_moving, 500);
}

TEST_F(ContinuousMotion, CancelEmptiesTheBuffer) {
    ASSERT_EQ(quvex_start_ta_line4(0, 1000, 0, 0, 0, 100, 2000, 0.1, 0.1), QUVEX_OK);
    ASSERT_EQ(quvex_start_ta_arc_xy_conti(0, 1000, 500, 1500, 500, 1, 100, 2000, 0, 0), QUVEX_OK);
    ASSERT_EQ(quvex_check_continuous_buffer(0), 1);
    ASSERT_EQ(quvex_cancel_continuous_buffer(0), QUVEX_OK);
    EXPECT_EQ(quvex_check_continuous_buffer(0), 0);
    run_until_stopped(4);
    EXPECT_EQ(command_of(0), 1000);
    EXPECT_EQ(command_of(1), 0);
}

}  // namespace
}  // namespace quvex::test
