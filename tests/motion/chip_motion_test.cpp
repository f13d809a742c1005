// The virtual chip really moves: moves end on their pulse counts at the times the ramp
// formulas give, stops decelerate or cut, end limits stop motion towards them, lines keep their
// axes on the line, and simultaneous starts and stops act on every axis that asked for them.
#include <cmath>

#include "motion_fixture.h"

namespace quvex::test {
namespace {

constexpr double kClock = 4915200.0;

std::int32_t command_of(int axis) {
    std::int32_t c = 0;
    EXPECT_EQ(quvex_get_command(static_cast<int16_t>(axis), &c), 0);
    return c;
}

// Ramp parameters the library programmed into the live bank of an axis.
struct Programmed {
    double fl, fh, ur, dr, m;
};
Programmed programmed(int axis) {
    auto r = [axis](unsigned code) { return static_cast<double>(MotionTest::reg(axis, code)); };
    return {r(0xD1), r(0xD2), r(0xD3), r(0xD4), r(0xD5) + 1};
}

class ChipMotion : public MotionTest {};

TEST_F(ChipMotion, TCurveMoveEndsOnItsCountAtTheTimeOfTheRampFormulas) {
    ASSERT_EQ(quvex_start_tr_move(0, 10000, 100, 5000, 0.1, 0.1), 0);
    EXPECT_EQ(motion(0).state, unsigned{QUVEX_SIM_STATE_ACCELERATING});
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(command_of(0), 10000);
    EXPECT_EQ(reg(0, 0xE4), 10000u);
    EXPECT_EQ(quvex_motion_done(0), 0);
    EXPECT_EQ(reg(0, 0xF4), 0u);

    const Programmed p = programmed(0);
    const double steps = p.fh - p.fl;
    const double accel_time = steps * (p.ur + 1) / kClock;
    const double decel_time = steps * (p.dr + 1) / kClock;
    const double ramp_pulses = (p.fh * p.fh - p.fl * p.fl) * (p.ur + p.dr + 2) / (32768 * p.m);
    const double cruise_time = (10000 - ramp_pulses) / (p.fh * 300 / p.m);
    const quvex_sim_motion_info info = motion(0);
    EXPECT_NEAR(info.ended_at - info.started_at, accel_time + cruise_time + decel_time, 2 * steps / kClock);
    EXPECT_NEAR(info.peak_speed, 5000.0, 0.1);
    EXPECT_EQ(info.stop_reason, 0u);
}

struct ShortMove {
    bool s_curve;
    bool pinned;
};

class ShortMoves : public ChipMotion, public ::testing::WithParamInterface<ShortMove> {};

TEST_P(ShortMoves, PeakLowerAndStillOnTarget) {
    if (GetParam().pinned) {
        ASSERT_EQ(quvex_fix_speed_range(1, 65535), 0);
    }
    const quvex_status st = GetParam().s_curve ? quvex_start_sr_move(1, -500, 100, 10000, 0.1, 0.1, 0, 0)
                                               : quvex_start_tr_move(1, -500, 100, 10000, 0.1, 0.1);
    ASSERT_EQ(st, 0);
    ASSERT_TRUE(run_until_stopped(1));
    EXPECT_EQ(command_of(1), -500);
    const double programmed_peak = programmed(1).fh * 300 / programmed(1).m;
    EXPECT_LT(programmed_peak, 8000.0);
    EXPECT_LE(motion(1).peak_speed, programmed_peak);
}

INSTANTIATE_TEST_SUITE_P(BothCurves, ShortMoves,
                         ::testing::Values(ShortMove{false, false}, ShortMove{true, false}, ShortMove{false, true},
                                           ShortMove{true, true}));

TEST_F(ChipMotion, AbsoluteMoveAfterRelativeMovesLandsOnTheTarget) {
    ASSERT_EQ(quvex_start_tr_move(2, 1000, 100, 20000, 0.05, 0.05), 0);
    ASSERT_TRUE(run_until_stopped(2));
    ASSERT_EQ(quvex_start_sr_move(2, -3000, 100, 20000, 0.05, 0.05, 500, 500), 0);
    ASSERT_TRUE(run_until_stopped(2));
    ASSERT_EQ(command_of(2), -2000);
    ASSERT_EQ(quvex_start_ta_move(2, 4321, 100, 20000, 0.05, 0.2), 0);
    ASSERT_TRUE(run_until_stopped(2));
    EXPECT_EQ(command_of(2), 4321);
    ASSERT_EQ(quvex_start_sa_move(2, -5, 100, 20000, 0.05, 0.2, 0, 1000), 0);
    ASSERT_TRUE(run_until_stopped(2));
    EXPECT_EQ(command_of(2), -5);
}

struct RampCase {
    const char* name;
    bool s_curve;
    double sv_acc;     // pps
    double units(const Programmed& p, double section) const {  // the ramp's length in unit steps
        if (!s_curve) return p.fh - p.fl;
        return section == 0 ? 2 * (p.fh - p.fl) : p.fh - p.fl + 2 * section;
    }
};

class RampDurations : public ChipMotion, public ::testing::WithParamInterface<RampCase> {};

// The acceleration of a velocity move lasts (rate + 1) counts per unit of its length: the span
// for a linear ramp, twice the span for a pure S-ramp, the span plus both sections with sections.
TEST_P(RampDurations, AccelerationLastsAsTheRateClockSays) {
    const RampCase c = GetParam();
    const quvex_status st = c.s_curve ? quvex_sv_move(0, 100, 5000, 0.3, c.sv_acc) : quvex_tv_move(0, 100, 5000, 0.3);
    ASSERT_EQ(st, 0);
    double t = 0;
    constexpr double kStep = 1e-4;
    while (motion(0).state == unsigned{QUVEX_SIM_STATE_ACCELERATING} && t < 2) {
        quvex_sim_advance(kStep);
        t += kStep;
    }
    const Programmed p = programmed(0);
    const double expected = c.units(p, reg(0, 0xD9)) * (p.ur + 1) / kClock;
    EXPECT_NEAR(t, expected, kStep + (p.fh - p.fl) / kClock);
    EXPECT_NEAR(motion(0).speed, 5000.0, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Shapes, RampDurations,
                         ::testing::Values(RampCase{"linear", false, 0}, RampCase{"pure_s", true, 0},
                                           RampCase{"s_with_sections", true, 1000}),
                         [](const ::testing::TestParamInfo<RampCase>& p) { return std::string(p.param.name); });

TEST_F(ChipMotion, DeceleratingStopOfAVelocityMoveRampsDownAtTheNewRate) {
    ASSERT_EQ(quvex_tv_move(0, 100, -5000, 0.1), 0);
    quvex_sim_advance(1.0);
    ASSERT_EQ(motion(0).state, unsigned{QUVEX_SIM_STATE_CONSTANT});
    ASSERT_NEAR(motion(0).speed, 5000.0, 0.1);
    const double stop_at = quvex_sim_now();
    ASSERT_EQ(quvex_sd_stop(0, 0.5), 0);
    quvex_sim_advance(0.25);
    EXPECT_EQ(motion(0).state, unsigned{QUVEX_SIM_STATE_DECELERATING});
    EXPECT_NEAR(motion(0).speed, 2550.0, 60.0) << "halfway down from 5000 to 100 pps";
    quvex_sim_advance(0.3);
    const quvex_sim_motion_info info = motion(0);
    EXPECT_EQ(info.state, 0u);
    EXPECT_NEAR(info.ended_at - stop_at, 0.5, 0.01);
    EXPECT_EQ(info.stop_reason, unsigned{QUVEX_SIM_STOP_DECELERATING});
    EXPECT_LT(command_of(0), -5000) << "a velocity move in the - direction";
}

TEST_F(ChipMotion, ImmediateStopCutsTheMoveAtOnce) {
    ASSERT_EQ(quvex_start_tr_move(3, 1e6, 100, 50000, 0.2, 0.2), 0);
    quvex_sim_advance(0.5);
    ASSERT_EQ(quvex_emg_stop(3), 0);
    EXPECT_EQ(quvex_motion_done(3), 0);
    const std::int32_t where = command_of(3);
    quvex_sim_advance(1.0);
    EXPECT_EQ(command_of(3), where);
    EXPECT_GT(where, 0);
    EXPECT_EQ(motion(3).stop_reason, unsigned{QUVEX_SIM_STOP_IMMEDIATE});
    EXPECT_EQ(quvex_emg_stop(3), QUVEX_ERR_AXIS_NOT_MOVING);
}

TEST_F(ChipMotion, EndLimitStopsMotionTowardsItOnly) {
    ASSERT_EQ(quvex_tv_move(0, 100, 2000, 0.1), 0);
    quvex_sim_advance(0.5);
    ASSERT_EQ(quvex_sim_set_axis_input(0, 0, QUVEX_SIM_INPUT_EL_PLUS, 1), 0);
    const std::int32_t at_limit = command_of(0);
    quvex_sim_advance(0.5);
    EXPECT_EQ(quvex_motion_done(0), 0);
    EXPECT_EQ(command_of(0), at_limit);
    EXPECT_EQ(motion(0).stop_reason, unsigned{QUVEX_SIM_STOP_EL_PLUS});

    ASSERT_EQ(quvex_start_tr_move(0, 100, 100, 2000, 0, 0), 0);
    EXPECT_EQ(quvex_motion_done(0), 0) << "no start towards an active limit";
    ASSERT_EQ(quvex_start_tr_move(0, -100, 100, 2000, 0, 0), 0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(command_of(0), at_limit - 100) << "away from the limit the axis moves";
}

TEST_F(ChipMotion, LineKeepsEveryAxisWithinOnePulseAndArrivesTogether) {
    const int16_t axes[2] = {0, 2};
    ASSERT_EQ(quvex_sim_sample_motion(0, 0, 0.002), 0);
    ASSERT_EQ(quvex_sim_sample_motion(0, 2, 0.002), 0);
    ASSERT_EQ(quvex_start_tr_line2(0, axes, 3000, -7001, 100, 20000, 0.1, 0.1), 0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(quvex_motion_done(2), 0);
    EXPECT_EQ(command_of(0), 3000);
    EXPECT_EQ(command_of(2), -7001);

    std::vector<quvex_sim_motion_sample> x(4000), z(4000);
    const int n = quvex_sim_motion_samples(0, 0, x.data(), 4000);
    ASSERT_EQ(quvex_sim_motion_samples(0, 2, z.data(), 4000), n);
    ASSERT_GT(n, 10);
    for (int i = 0; i < std::min(n, 4000); ++i) {
        const double ideal_x = 3000.0 * z[i].position / -7001.0;
        ASSERT_LE(std::fabs(x[i].position - ideal_x), 1.0) << "sample " << i;
    }
}

TEST_F(ChipMotion, SynchronisedAxesWaitForTheSimultaneousStartAndStopTogether) {
    for (const int16_t a : {int16_t{1}, int16_t{3}}) ASSERT_EQ(quvex_set_sync_option(a, 1, 1, 0, 0), 0);
    ASSERT_EQ(quvex_start_tr_move(1, 1e6, 100, 10000, 0.1, 0.1), 0);
    ASSERT_EQ(quvex_start_tr_move(3, -1e6, 100, 10000, 0.1, 0.1), 0);
    ASSERT_EQ(quvex_tv_move(0, 100, 10000, 0.1), 0);  // no options: runs at once, ignores both
    quvex_sim_advance(0.5);
    EXPECT_EQ(motion(1).state, unsigned{QUVEX_SIM_STATE_WAITING});
    EXPECT_EQ(command_of(1), 0);
    EXPECT_NE(quvex_motion_done(1), 0) << "a waiting axis is not done";

    ASSERT_EQ(quvex_start_move_all(2), 0);
    quvex_sim_advance(0.5);
    EXPECT_GT(command_of(1), 0);
    EXPECT_LT(command_of(3), 0);
    EXPECT_EQ(command_of(1), -command_of(3)) << "both started at the same instant with the same profile";

    ASSERT_EQ(quvex_stop_move_all(1), 0);
    EXPECT_EQ(quvex_motion_done(1), 0);
    EXPECT_EQ(quvex_motion_done(3), 0);
    EXPECT_NE(quvex_motion_done(0), 0);
    EXPECT_EQ(motion(3).stop_reason, unsigned{QUVEX_SIM_STOP_SIMULTANEOUS});
}

TEST_F(ChipMotion, SamplingRecordsTheTrajectoryAtItsPeriod) {
    ASSERT_EQ(quvex_sim_sample_motion(0, 1, 0.01), 0);
    ASSERT_EQ(quvex_start_tr_move(1, 2000, 100, 4000, 0.2, 0.2), 0);
    quvex_sim_advance(1.0);
    std::vector<quvex_sim_motion_sample> s(200);
    const int n = quvex_sim_motion_samples(0, 1, s.data(), 200);
    ASSERT_EQ(n, 101);
    EXPECT_NEAR(s[100].time - s[0].time, 1.0, 1e-9);
    EXPECT_EQ(s[100].position, 2000);
    for (int i = 1; i < n; ++i) ASSERT_GE(s[i].position, s[i - 1].position);
    ASSERT_EQ(quvex_sim_sample_motion(0, 1, 0), 0);
    quvex_sim_advance(0.5);
    EXPECT_EQ(quvex_sim_motion_samples(0, 1, nullptr, 0), 101) << "stopping keeps the samples";
    EXPECT_EQ(quvex_sim_sample_motion(0, 4, 0.1), -1);
    EXPECT_EQ(quvex_sim_sample_motion(5, 0, 0.1), -1);
}

}  // namespace
}  // namespace quvex::test
