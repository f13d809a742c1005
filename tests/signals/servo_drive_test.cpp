// The servo drive behind an axis: its lag in the counters, the deviation clear, the in-position
// signal ending a move, and its alarm on a deviation past the limit.
#include <cmath>

#include "signals_fixture.h"

namespace quvex::test {
namespace {

class ServoDrive : public SignalsTest {
protected:
    static void drive_on(int axis, double tau, double band = 10, double settle = 0, double limit = 0) {
        const quvex_sim_drive d{tau, band, settle, limit};
        ASSERT_EQ(quvex_sim_set_drive(0, axis, &d), 0);
        ASSERT_EQ(quvex_set_servo(static_cast<int16_t>(axis), 1), QUVEX_OK);
    }
    static int16_t error_counter(int16_t axis) {
        int16_t e = 0;
        quvex_get_error_counter(axis, &e);
        return e;
    }
    static quvex_sim_drive_state drive(int axis) {
        quvex_sim_drive_state s{};
        quvex_sim_drive_state_get(0, axis, &s);
        return s;
    }
};

struct LagCase {
    double speed;  // pulses per second, signed
    double tau;
};

class DriveLag : public ServoDrive, public ::testing::WithParamInterface<LagCase> {};

TEST_P(DriveLag, ErrorCounterHoldsSpeedTimesTimeConstant) {
    const LagCase c = GetParam();
    drive_on(0, c.tau);
    ASSERT_EQ(quvex_tv_move(0, std::fabs(c.speed), c.speed, 0), QUVEX_OK);
    quvex_sim_advance(20 * c.tau + 0.05);
    const quvex_sim_motion_info info = motion(0);
    const double lag = c.speed * c.tau;
    EXPECT_NEAR(error_counter(0), lag, 1.0);
    EXPECT_NEAR(info.command_counter - info.position_counter, lag, 1.0) << "the position counter counts the encoder";
    EXPECT_EQ(info.command_counter - info.position_counter, error_counter(0));
}

INSTANTIATE_TEST_SUITE_P(Speeds, DriveLag,
                         ::testing::Values(LagCase{3000, 0.01}, LagCase{2000, 0.05}, LagCase{-1500, 0.02},
                                           LagCase{9000, 0.003}));

TEST_F(ServoDrive, DeviationClearEmptiesTheErrorCounterAndTheMotorStands) {
    drive_on(0, 0.02);
    ASSERT_EQ(quvex_tv_move(0, 2000, 2000, 0), QUVEX_OK);
    quvex_sim_advance(0.5);
    ASSERT_NEAR(error_counter(0), 40, 1);
    ASSERT_EQ(quvex_set_erc_on(0, 1), QUVEX_OK);
    EXPECT_EQ(error_counter(0), 0);
    const int32_t held = motion(0).position_counter;
    quvex_sim_advance(0.1);
    EXPECT_EQ(motion(0).position_counter, held) << "while the output is on the drive drops the pulses";
    EXPECT_EQ(error_counter(0), 0);
    ASSERT_EQ(quvex_set_erc_on(0, 0), QUVEX_OK);
    quvex_sim_advance(0.5);
    EXPECT_NEAR(error_counter(0), 40, 1) << "released, the drive follows again";
}

TEST_F(ServoDrive, ServoOffLeavesTheMotorStanding) {
    const quvex_sim_drive d{0.01, 10, 0, 0};
    ASSERT_EQ(quvex_sim_set_drive(0, 0, &d), 0);  // the library left the servo-on output off
    ASSERT_EQ(quvex_start_tr_move(0, 500, 1000, 1000, 0, 0), QUVEX_OK);
    quvex_sim_advance(1.0);
    EXPECT_EQ(motion(0).position_counter, 0);
    EXPECT_EQ(error_counter(0), 500);
    ASSERT_EQ(quvex_set_servo(0, 1), QUVEX_OK);
    quvex_sim_advance(0.2);
    EXPECT_EQ(motion(0).position_counter, 500) << "servo on: the motor catches up";
    EXPECT_EQ(error_counter(0), 0);
}

// A move at 2000 pps stopping dead leaves 20 pulses of deviation (τ = 10 ms); into a band of 5
// takes τ·ln 4, then the settling time: only then is the move done and the stop reported.
TEST_F(ServoDrive, InPositionDelaysMotionDoneByTheSettlingTime) {
    watch_stops("drive_inp.log");
    ASSERT_EQ(quvex_set_int_factor(0, 0x1), QUVEX_OK);
    drive_on(0, 0.01, 5, 0.05);
    ASSERT_EQ(quvex_set_inp(0, 1, 0), QUVEX_OK);
    const double t0 = quvex_sim_now();
    ASSERT_EQ(quvex_start_tr_move(0, 1000, 2000, 2000, 0, 0), QUVEX_OK);
    const double pulses_out = 0.5;
    const double done_at = pulses_out + 0.01 * std::log(4.0) + 0.05;
    quvex_sim_advance(pulses_out + 0.001);
    EXPECT_EQ(motion(0).command_counter, 1000);
    EXPECT_NE(quvex_motion_done(0), 0) << "the pulses are out, the axis is not in position";
    EXPECT_EQ(motion(0).state, QUVEX_SIM_STATE_IN_POSITION_WAIT);
    quvex_sim_advance(done_at - pulses_out - 0.003);
    EXPECT_NE(quvex_motion_done(0), 0);
    EXPECT_EQ(g_signal_callback_axes.load(), 0u);
    quvex_sim_advance(0.004);
    EXPECT_EQ(quvex_motion_done(0), 0);
    EXPECT_NEAR(motion(0).ended_at - t0, done_at, 1e-4);
    EXPECT_EQ(g_signal_callback_axes.load(), 0x1u) << "the stop event comes with the in-position";
    EXPECT_EQ(drive(0).in_position, 1);
}

TEST_F(ServoDrive, WithoutADriveTheInPositionInputEndsTheMove) {
    ASSERT_EQ(quvex_set_inp(1, 1, 0), QUVEX_OK);
    ASSERT_EQ(quvex_start_tr_move(1, 100, 1000, 1000, 0, 0), QUVEX_OK);
    quvex_sim_advance(1.0);
    EXPECT_EQ(motion(1).command_counter, 100);
    EXPECT_NE(quvex_motion_done(1), 0);
    ASSERT_EQ(quvex_sim_set_axis_input(0, 1, QUVEX_SIM_INPUT_IN_POSITION, 1), 0);
    EXPECT_EQ(quvex_motion_done(1), 0);
    EXPECT_NEAR(motion(1).ended_at, quvex_sim_now(), 1e-9);
}

// At 2000 pps from a standing start with τ = 50 ms the deviation climbs towards 100 pulses and
// passes a limit of 50 at τ·ln 2; the alarm stops the axis there.
TEST_F(ServoDrive, DeviationLimitRaisesTheAlarmAndStopsTheAxis) {
    watch_stops("drive_alarm.log");
    drive_on(0, 0.05, 10, 0, 50);
    const double t0 = quvex_sim_now();
    ASSERT_EQ(quvex_tv_move(0, 2000, 2000, 0), QUVEX_OK);
    quvex_sim_advance(0.5);
    EXPECT_EQ(quvex_motion_done(0), 0);
    const double lag = motion(0).peak_speed * 0.05;  // the speed the chip's unit makes of 2000
    // Within one pulse of deviation: the deviation climbs at v - 50/τ pulses per second there.
    const double one_pulse = 1.0 / (motion(0).peak_speed - 50 / 0.05);
    EXPECT_NEAR(motion(0).ended_at - t0, 0.05 * std::log(lag / (lag - 50)), one_pulse);
    EXPECT_EQ(drive(0).alarm, 1);
    uint16_t io = 0;
    ASSERT_EQ(quvex_get_io_status(0, &io), QUVEX_OK);
    EXPECT_EQ(io & 1, 1) << "the alarm shows in the status";

    const int32_t stopped_at = motion(0).command_counter;
    ASSERT_EQ(quvex_tv_move(0, 2000, 2000, 0), QUVEX_OK);
    quvex_sim_advance(0.1);
    EXPECT_EQ(motion(0).command_counter, stopped_at) << "no start under the alarm";
    EXPECT_EQ(quvex_motion_done(0), 0);

    ASSERT_EQ(quvex_set_ralm(0, 1), QUVEX_OK);
    ASSERT_EQ(quvex_set_ralm(0, 0), QUVEX_OK);
    EXPECT_EQ(drive(0).alarm, 0) << "the deviation has settled: the reset clears the alarm";
    ASSERT_EQ(quvex_get_io_status(0, &io), QUVEX_OK);
    EXPECT_EQ(io & 1, 0);
    EXPECT_EQ(log_lines(), (std::vector<std::string>{"Axis:0,ALM happen and stop", "Axis:0,ALM happen and stop"}));
}

TEST_F(ServoDrive, BadParametersChangeNothing) {
    const double nan = std::nan("");
    const quvex_sim_drive bad[] = {{-0.01, 10, 0, 0}, {0.01, nan, 0, 0}, {0.01, 10, INFINITY, 0}, {0.01, 10, 0, -1}};
    for (const quvex_sim_drive& d : bad) EXPECT_EQ(quvex_sim_set_drive(0, 0, &d), -1);
    EXPECT_EQ(drive(0).on, 0);
    const quvex_sim_drive good{0.01, 10, 0, 0};
    EXPECT_EQ(quvex_sim_set_drive(0, 4, &good), -1);
    EXPECT_EQ(quvex_sim_set_drive(7, 0, &good), -1);
    EXPECT_EQ(quvex_sim_drive_state_get(0, 0, nullptr), -1);
    EXPECT_EQ(quvex_sim_set_emergency(7, 1), -1);
}

}  // namespace
}  // namespace quvex::test

namespace quvex::test {
namespace {

// The error-counter check (comparator 3 on the error counter) matches when the drive's lag
// passes its tolerance: at τ·ln(vτ / (vτ − tolerance)) from a standing start, within a pulse.
TEST_F(ServoDrive, ErrorCounterCheckMatchesWhenTheLagPassesItsTolerance) {
    watch_stops("drive_check.log");
    ASSERT_EQ(quvex_set_int_factor(0, 0x400), QUVEX_OK);
    drive_on(0, 0.05);
    ASSERT_EQ(quvex_set_error_counter_check(0, 50, 1), QUVEX_OK);
    const double t0 = quvex_sim_now();
    ASSERT_EQ(quvex_tv_move(0, 2000, 2000, 0), QUVEX_OK);
    const double lag = 2000 * 0.05;
    const double match_at = 0.05 * std::log(lag / (lag - 50));
    quvex_sim_advance(match_at - 0.002);
    EXPECT_EQ(g_signal_callback_axes.load(), 0u);
    quvex_sim_advance(0.004);
    EXPECT_EQ(g_signal_callback_axes.load(), 0x1u) << "the match interrupt at " << quvex_sim_now() - t0;
    uint32_t events = 0, reasons = 0;
    ASSERT_EQ(quvex_get_int_status(0, &events, &reasons), QUVEX_OK);
    EXPECT_EQ(events, 0x400u);
    EXPECT_NE(quvex_motion_done(0), 0) << "the check only reports";
}

}  // namespace
}  // namespace quvex::test
