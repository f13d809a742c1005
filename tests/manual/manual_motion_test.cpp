// The virtual card in manual operation: the hand wheel moves the routed axes by its pulses
// through their ratio, jog runs while its switch is held, step moves its distance per press, and
// pulser moves follow the wheel to their targets.
#include <cmath>
#include <cstdlib>

#include "manual_support.h"

namespace quvex::test {
namespace {

class ManualMotion : public CardTest {
protected:
    static int32_t position(int axis) { return axis_motion(axis).command_counter; }
    static bool stopped(int axis) { return axis_motion(axis).state == QUVEX_SIM_STATE_STOPPED; }
    // Hand wheel on the one axis `axis` (mof mode 1) with the ratio given.
    static void wheel_on(int16_t axis, int16_t ratio_p, int16_t ratio_m) {
        ASSERT_EQ(quvex_set_pulser_ratio(axis, ratio_p, ratio_m), QUVEX_OK);
        ASSERT_EQ(quvex_set_mof_mode(0, 1), QUVEX_OK);
        ASSERT_EQ(quvex_manual_mpg(0, axis), QUVEX_OK);
        ASSERT_EQ(quvex_set_mof_config(0, 1), QUVEX_OK);
    }
    // Turns the wheel and waits until every axis has run out the turn's pulses (an axis limited
    // by its FH runs on after the wheel stopped).
    static void turn(int detents, double rate = 400) {
        ASSERT_EQ(quvex_sim_turn_wheel(0, detents, rate), 0);
        finish_wheel_turns();
        for (double left = run_out_time(); left > 0; left = run_out_time()) quvex_sim_advance(left + 0.001);
    }
    // Seconds the slowest axis still needs to run out its pulses at its speed (0: none runs on).
    static double run_out_time() {
        double longest = 0;
        for (int a = 0; a < 4; ++a) {
            const quvex_sim_motion_info m = axis_motion(a);
            if (m.state == QUVEX_SIM_STATE_STOPPED || m.remaining == 0 || m.speed <= 0) continue;
            longest = std::fmax(longest, m.remaining / m.speed);
        }
        return longest;
    }
};

// ---- hand wheel ----

struct WheelCase {
    const char* name;
    int detents;
    int16_t ratio_p, ratio_m;
    int32_t pulses;  // trunc(detents x m / p)
};

class WheelRatio : public ManualMotion, public ::testing::WithParamInterface<WheelCase> {};

TEST_P(WheelRatio, MovesTheSelectedAxisAloneByTheDividedPulses) {
    const WheelCase& c = GetParam();
    wheel_on(2, c.ratio_p, c.ratio_m);
    turn(c.detents);
    EXPECT_EQ(position(2), c.pulses);
    EXPECT_TRUE(stopped(2));
    for (const int other : {0, 1, 3}) EXPECT_EQ(position(other), 0) << "axis " << other;
}

INSTANTIATE_TEST_SUITE_P(Ratios, WheelRatio,
                         ::testing::Values(WheelCase{"one_to_one", 100, 1, 1, 100},
                                           WheelCase{"multiplied", 100, 2, 3, 150},
                                           WheelCase{"backwards_toward_zero", -7, 2, 1, -3},
                                           WheelCase{"default_ratio_below_one_pulse", 1000, 2048, 1, 0},
                                           WheelCase{"widest_fields", 4096, 2048, 32, 64},
                                           WheelCase{"remainder_dropped", 33, 10, 3, 9},
                                           WheelCase{"many_detents_at_once", 1000000, 1, 32, 32000000}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(ManualMotion, DividerCarriesItsRemainderFromTurnToTurn) {
    wheel_on(0, 3, 1);
    // 2, 4, 6, 8, 10 detents in all: a third of each, toward zero.
    for (const int32_t expected : {0, 1, 2, 2, 3}) {
        turn(2);
        EXPECT_EQ(position(0), expected);
    }
}

TEST_F(ManualMotion, WheelPulsesArriveAtTheTurnsPace) {
    wheel_on(1, 1, 1);
    ASSERT_EQ(quvex_sim_turn_wheel(0, 100, 100), 0);
    ASSERT_EQ(quvex_sim_turn_wheel(0, -40, 40), 0);  // follows the first turn
    quvex_sim_advance(0.5);
    EXPECT_NEAR(position(1), 50, 1);
    EXPECT_NEAR(axis_motion(1).speed, 100.0, 1e-6);
    quvex_sim_advance(1.0);
    EXPECT_NEAR(position(1), 80, 1);
    quvex_sim_advance(1.0);
    EXPECT_EQ(position(1), 60);
}

TEST_F(ManualMotion, AllAxesModeMovesEveryAxisAndRatiosApplyPerAxis) {
    for (int16_t a = 0; a < 4; ++a) ASSERT_EQ(quvex_set_pulser_ratio(a, 1, static_cast<int16_t>(a + 1)), QUVEX_OK);
    ASSERT_EQ(quvex_set_mof_config(0, 0), QUVEX_OK);
    turn(10);
    for (int a = 0; a < 4; ++a) EXPECT_EQ(position(a), 10 * (a + 1));
}

TEST_F(ManualMotion, InverseInputTurnsTheAxisTheOtherWay) {
    wheel_on(0, 1, 1);
    ASSERT_EQ(quvex_set_pulser_iptmode(0, 0, 1), QUVEX_OK);
    turn(25);
    EXPECT_EQ(position(0), -25);
}

TEST_F(ManualMotion, DisabledHandWheelMovesNothing) {
    wheel_on(0, 1, 1);
    ASSERT_EQ(quvex_disable_mof(0), QUVEX_OK);
    turn(50);
    EXPECT_EQ(position(0), 0);
    EXPECT_EQ(quvex_sim_turn_wheel(0, 5, 0), -1);
    EXPECT_EQ(quvex_sim_turn_wheel(7, 5, 10), -1);
}

// ---- jog and step ----

TEST_F(ManualMotion, JogRunsWhileHeldAndStopsWhenReleased) {
    ASSERT_EQ(quvex_set_mof_config(0, 2), QUVEX_OK);
    ASSERT_EQ(quvex_set_mof_jog_velocity(1, 100, 2000, 0.1, 0.1, 100), QUVEX_OK);
    EXPECT_EQ(quvex_sim_jog_switch(0, 1, -1, 1), 1);
    quvex_sim_advance(1.0);
    EXPECT_NEAR(axis_motion(1).speed, 2000.0, 1.0);
    EXPECT_LT(position(1), -1500);
    EXPECT_EQ(quvex_sim_jog_switch(0, 1, -1, 0), 1);
    quvex_sim_advance(0.2);
    EXPECT_TRUE(stopped(1));
    const int32_t at_stop = position(1);
    quvex_sim_advance(1.0);
    EXPECT_EQ(position(1), at_stop);
    for (const int other : {0, 2, 3}) EXPECT_EQ(position(other), 0);
    // Armed still: the next press runs again, the other way.
    EXPECT_EQ(quvex_sim_jog_switch(0, 1, 1, 1), 1);
    quvex_sim_advance(0.5);
    EXPECT_GT(position(1), at_stop);
}

TEST_F(ManualMotion, SwitchesOfAnAxisNotArmedDoNothing) {
    EXPECT_EQ(quvex_sim_jog_switch(0, 0, 1, 1), 0);
    EXPECT_EQ(quvex_sim_step_press(0, 0, 1), 0);
    ASSERT_EQ(quvex_set_mof_config(0, 2), QUVEX_OK);
    EXPECT_EQ(quvex_sim_step_press(0, 0, 1), 0);  // jog owns the card
    EXPECT_EQ(quvex_sim_jog_switch(0, 0, 2, 1), -1);
    quvex_sim_advance(0.5);
    EXPECT_EQ(position(0), 0);
}

TEST_F(ManualMotion, StepMovesExactlyItsDistancePerPress) {
    ASSERT_EQ(quvex_set_mof_config(0, 3), QUVEX_OK);
    ASSERT_EQ(quvex_set_mof_step_distance(3, 250.9), QUVEX_OK);
    ASSERT_EQ(quvex_set_mof_step_velocity(3, 100, 5000, 0.05, 0.05, 100), QUVEX_OK);
    EXPECT_EQ(quvex_sim_step_press(0, 3, 1), 1);
    EXPECT_EQ(quvex_sim_step_press(0, 3, 1), 0);  // still moving
    quvex_sim_advance(2.0);
    EXPECT_EQ(position(3), 250);
    EXPECT_TRUE(stopped(3));
    EXPECT_EQ(quvex_sim_step_press(0, 3, -1), 1);
    quvex_sim_advance(2.0);
    EXPECT_EQ(quvex_sim_step_press(0, 3, -1), 1);
    quvex_sim_advance(2.0);
    EXPECT_EQ(position(3), -250);
    EXPECT_EQ(position(0), 0);
}

// ---- pulser moves ----

TEST_F(ManualMotion, PulserLineStandsFollowsTheWheelAndEndsOnItsTarget) {
    const int16_t pair[2] = {0, 1};
    ASSERT_EQ(quvex_set_pulser_ratio(1, 1, 2), QUVEX_OK);  // Y, the longer axis, counts the pulses
    ASSERT_EQ(quvex_pulser_r_line2(0, pair, 300, -400, 1000), QUVEX_OK);
    quvex_sim_advance(1.0);
    EXPECT_EQ(position(0), 0);
    EXPECT_NE(quvex_motion_done(0), 0);  // the move is under way, waiting for pulses
    turn(50);
    EXPECT_EQ(position(1), -100);
    EXPECT_NEAR(position(0), 75, 1);
    turn(-500);  // the wheel's direction does not matter, and the line stops on its end
    EXPECT_EQ(position(0), 300);
    EXPECT_EQ(position(1), -400);
    EXPECT_TRUE(stopped(0));
    EXPECT_TRUE(stopped(1));
    EXPECT_EQ(quvex_motion_done(0), 0);
}

TEST_F(ManualMotion, PulserArcEndsOnItsEndPoint) {
    const int16_t pair[2] = {2, 3};
    ASSERT_EQ(quvex_set_pulser_ratio(2, 1, 1), QUVEX_OK);
    ASSERT_EQ(quvex_set_pulser_ratio(3, 1, 1), QUVEX_OK);
    ASSERT_EQ(quvex_pulser_r_arc2(0, pair, 100, 0, 200, 0, 0, 500), QUVEX_OK);
    turn(60);  // part of the half circle: on the circle, not at the end
    EXPECT_NEAR(std::hypot(position(2) - 100.0, position(3)), 100.0, 1.0);
    EXPECT_GT(std::fabs(position(3)), 10.0);
    EXPECT_FALSE(stopped(2));
    turn(1000);  // more than the arc's steps: it stops on its end point
    EXPECT_EQ(position(2), 200);
    EXPECT_EQ(position(3), 0);
    EXPECT_TRUE(stopped(2));
}

TEST_F(ManualMotion, PulserPositioningAndSpeedMoves) {
    ASSERT_EQ(quvex_set_pulser_ratio(0, 1, 1), QUVEX_OK);
    ASSERT_EQ(quvex_set_pulser_ratio(1, 1, 1), QUVEX_OK);
    ASSERT_EQ(quvex_pulser_pmove(0, -70, 500), QUVEX_OK);
    ASSERT_EQ(quvex_pulser_vmove(1, 500), QUVEX_OK);
    turn(50);
    EXPECT_EQ(position(0), -50);
    EXPECT_EQ(position(1), 50);
    turn(-50);
    EXPECT_EQ(position(0), -70);
    EXPECT_TRUE(stopped(0));
    EXPECT_EQ(position(1), 0);  // the speed move follows the wheel both ways
}

TEST_F(ManualMotion, PulserHomeSearchRunsItsWayUntilStopped) {
    ASSERT_EQ(quvex_set_pulser_ratio(0, 1, 4), QUVEX_OK);
    ASSERT_EQ(quvex_pulser_home_move(0, 1, 500), QUVEX_OK);
    turn(30);
    EXPECT_EQ(position(0), -120);
    ASSERT_EQ(quvex_emg_stop(0), QUVEX_OK);
    turn(30);
    EXPECT_EQ(position(0), -120);
}

}  // namespace
}  // namespace quvex::test
