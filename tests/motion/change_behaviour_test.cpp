// Changes of a running move carried out by the virtual chip: a speed change ramps to the new
// speed in the time its rates stand for, on T- and S-curves, and the move still ends on its
// target; end-point changes on S-curves and during the final deceleration end on the new target.
#include <cmath>
#include <string>

#include "motion_fixture.h"
#include "quvex/quvex.h"

namespace quvex::test {
namespace {

// Range pinned at R = 299: one speed unit is one pulse per second.
class ChangeTest : public MotionTest {
protected:
    void SetUp() override {
        MotionTest::SetUp();
        ASSERT_EQ(quvex_fix_speed_range(0, 65535), 0);
    }
    static void start(bool s_curve, double dist, double tdec) {
        ASSERT_EQ(s_curve ? quvex_start_sr_move(0, dist, 100, 10000, 0.1, tdec, 0, 0)
                          : quvex_start_tr_move(0, dist, 100, 10000, 0.1, tdec),
                  0);
    }
    static void ends_on(std::int32_t target) {
        ASSERT_TRUE(run_until_stopped(0));
        EXPECT_EQ(motion(0).command_counter, target);
        EXPECT_EQ(motion(0).stop_reason, 0u);
    }
};

struct RateCase {
    const char* name;
    bool s_curve;
    double new_vel;
    double ramp_time;  // the change time asked, or the last deceleration time (S-curve slowing)
};

class SpeedChangeRate : public ChangeTest, public ::testing::WithParamInterface<RateCase> {};

// 200 000 pulses at 10 000 pps, last deceleration time 0.3 s; the change (T = 0.2 s) lands at 1 s.
TEST_P(SpeedChangeRate, ReachesTheNewSpeedInTheTimeAsked) {
    const RateCase c = GetParam();
    start(c.s_curve, 200000, 0.3);
    quvex_sim_advance(1.0);
    ASSERT_NEAR(motion(0).speed, 10000.0, 0.5);
    ASSERT_EQ(quvex_v_change(0, c.new_vel, 0.2), 0);
    const double diff = c.new_vel - 10000.0;
    // Both ramp shapes are symmetric about their middle: half the change at half the time.
    quvex_sim_advance(c.ramp_time / 2);
    EXPECT_NEAR(motion(0).speed, 10000.0 + diff / 2, std::fabs(diff) * 0.02);
    quvex_sim_advance(c.ramp_time * 0.45);
    EXPECT_GT(std::fabs(motion(0).speed - c.new_vel), std::fabs(diff) * 0.001) << "not there before its time";
    quvex_sim_advance(c.ramp_time * 0.06);
    EXPECT_NEAR(motion(0).speed, c.new_vel, 0.5);
    ends_on(200000);
}

INSTANTIATE_TEST_SUITE_P(CurvesAndDirections, SpeedChangeRate,
                         ::testing::Values(RateCase{"TRaised", false, 16000, 0.2},
                                           RateCase{"TLowered", false, 4000, 0.2},
                                           RateCase{"SRaised", true, 16000, 0.2},
                                           RateCase{"SLoweredAtTheLastDecelerationTime", true, 4000, 0.3}),
                         [](const auto& tp) { return std::string(tp.param.name); });

struct EndCase {
    const char* name;
    bool s_curve;
    double new_end;
};

class EndPointChange : public ChangeTest, public ::testing::WithParamInterface<EndCase> {};

// 60 000 pulses; the change lands at 2 s, around 19 000.
TEST_P(EndPointChange, EndsOnTheNewTarget) {
    const EndCase c = GetParam();
    start(c.s_curve, 60000, 0.2);
    quvex_sim_advance(2.0);
    ASSERT_EQ(quvex_p_change(0, c.new_end), 0);
    ends_on(static_cast<std::int32_t>(c.new_end));
}

INSTANTIATE_TEST_SUITE_P(SCurveAndT, EndPointChange,
                         ::testing::Values(EndCase{"SFurther", true, 90000}, EndCase{"SShortened", true, 30000},
                                           EndCase{"SBehind", true, 5000}, EndCase{"TBehindTheStart", false, -8000}),
                         [](const auto& tp) { return std::string(tp.param.name); });

TEST_F(ChangeTest, EndMovedOnWhileSlowingForTheOldOne) {
    for (const bool s_curve : {false, true}) {
        double target = 0;
        ASSERT_EQ(quvex_get_target_pos(0, &target), 0);
        start(s_curve, 30000, 0.4);
        while (motion(0).state != QUVEX_SIM_STATE_DECELERATING) {
            ASSERT_NE(quvex_motion_done(0), 0) << "the move never slowed down";
            quvex_sim_advance(0.005);
        }
        ASSERT_EQ(quvex_p_change(0, target + 50000), 0);
        quvex_sim_advance(0.5);
        EXPECT_NEAR(motion(0).speed, 10000.0, 0.5) << "back up to speed";
        ends_on(static_cast<std::int32_t>(target) + 50000);
    }
}

}  // namespace
}  // namespace quvex::test
