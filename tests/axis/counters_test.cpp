// Counters through the virtual chip: the move ratio scales the position both ways, the range
// check refuses without touching anything, raw counters pass unchanged.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "axis_fixture.h"
#include "chip/register_mirror.h"
#include "special_values.h"

namespace quvex::test {
namespace {

constexpr int16_t kCounterAxis = 1;  // card 0, axis Y

class Counters : public AxisTest {
protected:
    static std::int32_t chip_register(unsigned code) {
        uint32_t v = 0;
        EXPECT_EQ(quvex_sim_chip_register(0, kCounterAxis, code, &v), 0);
        return static_cast<std::int32_t>(v);
    }
};

TEST_F(Counters, PositionScalesByMoveRatio) {
    ASSERT_EQ(quvex_set_move_ratio(kCounterAxis, 2.0), QUVEX_OK);
    ASSERT_EQ(quvex_set_position(kCounterAxis, 10.0), QUVEX_OK);
    EXPECT_EQ(chip_register(0xE4), 20);
    double pos = 0;
    double target = 0;
    EXPECT_EQ(quvex_get_position(kCounterAxis, &pos), QUVEX_OK);
    EXPECT_EQ(quvex_get_target_pos(kCounterAxis, &target), QUVEX_OK);
    EXPECT_EQ(pos, 10.0);
    EXPECT_EQ(target, 20.0);
    EXPECT_EQ(axis_record(kCounterAxis).prev_target_pos, 20.0);
}

TEST_F(Counters, NegativeCounterReadsSigned) {
    quvex_set_move_ratio(kCounterAxis, 4.0);
    quvex_sim_set_counter(0, kCounterAxis, 0xE4, -30);
    double pos = 0;
    quvex_get_position(kCounterAxis, &pos);
    EXPECT_EQ(pos, -7.5);
}

struct RangeCase {
    const char* name;
    double ratio;
    double pos;
    quvex_status status;
};

class PositionRange : public AxisTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(PositionRange, RefusesOutsideTheCounterRangeTouchingNothing) {
    const RangeCase& c = GetParam();
    quvex_set_move_ratio(kCounterAxis, c.ratio);
    quvex_set_position(kCounterAxis, 5.0);
    quvex_reset_target_pos(kCounterAxis, 77.0);
    const AxisRecord before = axis_record(kCounterAxis);
    start_trace();
    EXPECT_EQ(quvex_set_position(kCounterAxis, c.pos), c.status);
    if (c.status != QUVEX_OK) {
        EXPECT_TRUE(card_events().empty());
        EXPECT_EQ(axis_record(kCounterAxis).target_pos, before.target_pos);
        EXPECT_EQ(axis_record(kCounterAxis).prev_target_pos, before.prev_target_pos);
    } else {
        EXPECT_EQ(written_values(Y, reg::kPositionCounter).size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Positions, PositionRange,
    ::testing::Values(RangeCase{"top_accepted", 1.0, 134217727.0, QUVEX_OK},
                      RangeCase{"above_top", 1.0, 134217728.0, QUVEX_ERR_PULSE_RANGE},
                      RangeCase{"bottom_accepted", 1.0, -134217728.0, QUVEX_OK},
                      RangeCase{"below_bottom", 1.0, -134217728.5, QUVEX_ERR_PULSE_RANGE},
                      RangeCase{"scaled_above", 2.0, 67108864.0, QUVEX_ERR_PULSE_RANGE},
                      RangeCase{"scaled_below_by_negative_ratio", -2.0, 67108864.5, QUVEX_ERR_PULSE_RANGE},
                      RangeCase{"fraction_above_top", 1.0, 134217727.5, QUVEX_ERR_PULSE_RANGE},
                      RangeCase{"infinite", 1.0, kInf, QUVEX_ERR_PULSE_RANGE},
                      RangeCase{"nan", 1.0, kNaN, QUVEX_ERR_PULSE_RANGE}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(Counters, CommandCounterKeepsTwentyEightBits) {
    ASSERT_EQ(quvex_set_command(kCounterAxis, 0x7FFFFFFF), QUVEX_OK);
    int32_t cmd = 0;
    EXPECT_EQ(quvex_get_command(kCounterAxis, &cmd), QUVEX_OK);
    EXPECT_EQ(cmd, 0x0FFFFFFF);
    quvex_sim_set_counter(0, kCounterAxis, 0xE3, -5);  // counted by the chip itself: read raw
    quvex_get_command(kCounterAxis, &cmd);
    EXPECT_EQ(cmd, -5);
}

TEST_F(Counters, ErrorCounterReportsLowHalf) {
    struct Case {
        int32_t chip;
        int16_t reported;
    };
    for (const Case& c : {Case{-2, -2}, Case{0x12345, 0x2345}, Case{0x18000, -32768}}) {
        quvex_sim_set_counter(0, kCounterAxis, 0xE5, c.chip);
        int16_t error = 0;
        EXPECT_EQ(quvex_get_error_counter(kCounterAxis, &error), QUVEX_OK);
        EXPECT_EQ(error, c.reported) << c.chip;
    }
    quvex_reset_error_counter(kCounterAxis);
    EXPECT_EQ(chip_register(0xE5), 0);
}

TEST_F(Counters, ResetTargetIgnoresRatioAndPreviousTarget) {
    quvex_set_move_ratio(kCounterAxis, 3.0);
    quvex_set_position(kCounterAxis, 2.0);
    ASSERT_EQ(quvex_reset_target_pos(kCounterAxis, 11.5), QUVEX_OK);
    double target = 0;
    quvex_get_target_pos(kCounterAxis, &target);
    EXPECT_EQ(target, 11.5);
    EXPECT_EQ(axis_record(kCounterAxis).prev_target_pos, 6.0);
}

// Read-back of a move in progress: the speed register is converted with the speed range the
// move was programmed with, and the remaining pulses complete the position to the target.
TEST_F(Counters, SpeedAndRemainingPulsesOfAMoveInProgress) {
    struct Case {
        double max_vel;
        double dist;
    };
    for (const Case& c : {Case{1000.0, 100000.0}, Case{60000.0, 1000000.0}, Case{2500000.0, 50000000.0}}) {
        ASSERT_EQ(quvex_set_position(kCounterAxis, 0.0), QUVEX_OK);
        ASSERT_EQ(quvex_start_tr_move(kCounterAxis, c.dist, c.max_vel / 2, c.max_vel, 0.1, 0.1), QUVEX_OK);
        quvex_sim_advance(0.5);  // well past the acceleration
        const std::uint32_t range = axis_record(kCounterAxis).mirror[chip::kMirrorSpeedRange];
        const double unit = 300.0 / (range + 1.0);
        double speed = 0;
        double pos = 0;
        int32_t rest = 0;
        EXPECT_EQ(quvex_get_current_speed(kCounterAxis, &speed), QUVEX_OK);
        quvex_get_position(kCounterAxis, &pos);
        quvex_get_rest_command(kCounterAxis, &rest);
        EXPECT_NE(quvex_motion_done(kCounterAxis), 0) << c.max_vel;
        EXPECT_NEAR(speed, c.max_vel, unit) << c.max_vel;
        EXPECT_GT(pos, 0.0) << c.max_vel;
        EXPECT_EQ(pos + rest, c.dist) << c.max_vel;
        quvex_emg_stop(kCounterAxis);
        quvex_sim_advance(0.1);
        ASSERT_EQ(quvex_motion_done(kCounterAxis), 0) << c.max_vel;
        quvex_get_current_speed(kCounterAxis, &speed);
        EXPECT_EQ(speed, 0.0) << c.max_vel;
    }
}

TEST_F(Counters, RawRegistersReadTheirCodes) {
    start_trace();
    int32_t value = 0;
    double speed = 0;
    quvex_get_rest_command(kCounterAxis, &value);
    quvex_check_rdp(kCounterAxis, &value);
    quvex_get_current_speed(kCounterAxis, &speed);
    EXPECT_EQ(card_events(), (std::vector<CardEvent>{Y.read(reg::kReadRemainingPulses, 0),
                                                     Y.read(reg::read(reg::live(reg::kRampDownPoint)), 0),
                                                     Y.read(reg::kReadCurrentSpeed, 0)}));
}

}  // namespace
}  // namespace quvex::test
