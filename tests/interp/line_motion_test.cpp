// Behaviour on the virtual card: lines arrive together and stay on their segment; a group
// prepared with the synchronisation options starts and stops together.
#include <cmath>
#include <vector>

#include "quvex/sim_motion.h"
#include "sim_fixture.h"
#include "sim_motion.h"

namespace quvex::test {
namespace {

constexpr double kRateClockStep = 1.0 / 4915200.0;

// Skips a behaviour test while the virtual chip cannot run the move at all.
#define SKIP_IF_CHIP_DOES_NOT_MOVE(axis)                                                       \
    if (motion_info(axis).command_counter == 0 && motion_info(axis).state == 0)                \
    GTEST_SKIP() << "the virtual chip does not run this move yet"

struct LineCase {
    const char* name;
    int axes;
    std::vector<double> dist;  // per axis X, Y, Z, U of the group
    double tacc, tdec;
    bool s_curve;
};

quvex_status start_line(const LineCase& c) {
    const int16_t pair[2] = {0, 1};
    if (c.axes == 4) return quvex_start_tr_line4(0, c.dist[0], c.dist[1], c.dist[2], c.dist[3], 100, 1000, c.tacc, c.tdec);
    return c.s_curve ? quvex_start_sr_line2(0, pair, c.dist[0], c.dist[1], 100, 1000, c.tacc, c.tdec, 0, 0)
                     : quvex_start_tr_line2(0, pair, c.dist[0], c.dist[1], 100, 1000, c.tacc, c.tdec);
}

// The axis with the largest distance (the first of equal ones).
int dominant_of(const LineCase& c) {
    int dominant = 0;
    for (int axis = 1; axis < c.axes; ++axis) {
        if (std::fabs(c.dist[axis]) > std::fabs(c.dist[dominant])) dominant = axis;
    }
    return dominant;
}

class LineMotion : public CardTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineMotion, StaysOnTheSegmentAndEndsOnTarget) {
    const LineCase& c = GetParam();
    for (int axis = 0; axis < c.axes; ++axis) ASSERT_EQ(quvex_sim_sample_motion(0, axis, 0.005), 0);
    ASSERT_EQ(start_line(c), QUVEX_OK);
    quvex_sim_advance(0.05);
    SKIP_IF_CHIP_DOES_NOT_MOVE(dominant_of(c));
    quvex_sim_advance(20);

    for (int axis = 0; axis < c.axes; ++axis) {
        EXPECT_EQ(quvex_motion_done(static_cast<int16_t>(axis)), 0) << "axis " << axis;
        int32_t command = 0;
        EXPECT_EQ(quvex_get_command(static_cast<int16_t>(axis), &command), QUVEX_OK);
        EXPECT_EQ(command, static_cast<int32_t>(c.dist[axis])) << "axis " << axis;
    }

    // At every sampled instant each axis is within one pulse of the line's point at the
    // dominant axis's position.
    const int dominant = dominant_of(c);
    std::vector<std::vector<quvex_sim_motion_sample>> traces;
    for (int axis = 0; axis < c.axes; ++axis) traces.push_back(motion_samples(axis));
    ASSERT_GT(traces[0].size(), 10u);
    for (std::size_t i = 0; i < traces[dominant].size(); ++i) {
        const double share = traces[dominant][i].position / c.dist[dominant];
        ASSERT_GE(share, 0.0);
        ASSERT_LE(share, 1.0);
        for (int axis = 0; axis < c.axes; ++axis) {
            ASSERT_LT(i, traces[axis].size());
            ASSERT_EQ(traces[axis][i].time, traces[dominant][i].time);
            ASSERT_LE(std::fabs(traces[axis][i].position - share * c.dist[axis]), 1.0)
                << "axis " << axis << " at " << traces[0][i].time << " s";
        }
    }
}

TEST_P(LineMotion, EveryAxisEndsWithinOneRateClockStep) {
    const LineCase& c = GetParam();
    const int dominant = dominant_of(c);
    ASSERT_EQ(start_line(c), QUVEX_OK);
    quvex_sim_advance(20);
    const double end = motion_info(dominant).ended_at;
    if (end == 0) GTEST_SKIP() << "the virtual chip does not run this move yet";

    // The virtual installation is deterministic: run the same line again and look just before
    // and just after the dominant axis's end.
    TearDown();
    SetUp();
    ASSERT_EQ(start_line(c), QUVEX_OK);
    quvex_sim_advance(end - kRateClockStep - quvex_sim_now());
    for (int axis = 0; axis < c.axes; ++axis) {
        EXPECT_NE(quvex_motion_done(static_cast<int16_t>(axis)), 0) << "axis " << axis << " ended early";
    }
    quvex_sim_advance(2 * kRateClockStep);
    for (int axis = 0; axis < c.axes; ++axis) {
        EXPECT_EQ(quvex_motion_done(static_cast<int16_t>(axis)), 0) << "axis " << axis << " still running";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineMotion,
    ::testing::Values(LineCase{"second_dominant", 2, {3000, 4000}, 0.1, 0.1, false},
                      LineCase{"s_curve", 2, {2500, -700}, 0.1, 0.2, true},
                      LineCase{"four_axes", 4, {1000, -2000, 3000, 500}, 0.1, 0.1, false}),
    [](const auto& p) { return std::string(p.param.name); });

// Lines of random lengths and directions (fixed seed) on 2 and 4 axes, with and without ramps.
std::vector<LineCase> generated_lines() {
    static std::vector<std::string> names;
    std::vector<LineCase> out;
    std::uint32_t seed = 12345;
    const auto next = [&seed](int span) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(2 * span + 1)) - span;
    };
    names.reserve(12);
    for (int i = 0; i < 12; ++i) {
        const int axes = i % 2 == 0 ? 2 : 4;
        std::vector<double> dist;
        for (int a = 0; a < axes; ++a) dist.push_back(next(4000));
        names.push_back("random_" + std::to_string(i));
        out.push_back(LineCase{names.back().c_str(), axes, dist, i % 3 == 0 ? 0.0 : 0.1, 0.1, false});
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(Random, LineMotion, ::testing::ValuesIn(generated_lines()),
                         [](const auto& p) { return std::string(p.param.name); });

// ---- synchronous group ----

class GroupMotion : public CardTest {
protected:
    int16_t axes[3] = {0, 1, 2};
    double dist[3] = {20000, -30000, 40000};
    double str_vel[3] = {100, 100, 100};
    double max_vel[3] = {1000, 2000, 3000};
    double tacc[3] = {0.1, 0.1, 0.1};
    double tdec[3] = {0.1, 0.2, 0.1};

    void prepare() {
        for (int16_t axis : axes) ASSERT_EQ(quvex_set_sync_option(axis, 1, 1, 0, 0), QUVEX_OK);
        ASSERT_EQ(quvex_set_tr_move_all(3, axes, dist, str_vel, max_vel, tacc, tdec), QUVEX_OK);
    }
};

TEST_F(GroupMotion, StartsTogetherOnTheSimultaneousStart) {
    prepare();
    quvex_sim_advance(0.5);
    if (motion_info(0).state == 0 && motion_info(0).command_counter == 0) {
        GTEST_SKIP() << "the virtual chip does not run group moves yet";
    }
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ(motion_info(axis).state, static_cast<unsigned>(QUVEX_SIM_STATE_WAITING)) << axis;
        EXPECT_EQ(motion_info(axis).command_counter, 0) << axis;
    }
    ASSERT_EQ(quvex_start_move_all(0), QUVEX_OK);
    quvex_sim_advance(1.0);
    const double started = motion_info(0).started_at;
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ(motion_info(axis).started_at, started) << axis;
        EXPECT_NE(motion_info(axis).command_counter, 0) << axis;
    }

    ASSERT_EQ(quvex_stop_move_all(2), QUVEX_OK);
    quvex_sim_advance(1.0);
    for (int axis = 0; axis < 3; ++axis) {
        const quvex_sim_motion_info info = motion_info(axis);
        EXPECT_EQ(info.state, 0u) << axis;
        EXPECT_EQ(info.stop_reason & QUVEX_SIM_STOP_SIMULTANEOUS, QUVEX_SIM_STOP_SIMULTANEOUS) << axis;
        EXPECT_NEAR(info.ended_at, motion_info(0).ended_at, kRateClockStep) << axis;
        EXPECT_LT(std::abs(info.command_counter), std::abs(static_cast<int32_t>(dist[axis]))) << axis;
    }
}

TEST_F(GroupMotion, WithoutOptionsEachAxisRunsAtOnce) {
    ASSERT_EQ(quvex_set_tr_move_all(3, axes, dist, str_vel, max_vel, tacc, tdec), QUVEX_OK);
    quvex_sim_advance(0.5);
    SKIP_IF_CHIP_DOES_NOT_MOVE(0);
    for (int axis = 0; axis < 3; ++axis) EXPECT_NE(motion_info(axis).command_counter, 0) << axis;
    quvex_sim_advance(30);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ(motion_info(axis).command_counter, static_cast<int32_t>(dist[axis])) << axis;
    }
}

}  // namespace
}  // namespace quvex::test
