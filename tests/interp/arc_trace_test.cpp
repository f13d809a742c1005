// Register traces of the two-axis arc starts: the order of the writes, the mode bits and start
// codes by the ramp times, the step-count register, the amounts, the absolute references and
// the refusals. Nothing here watches the axes move: arc_motion_test.cpp runs the arcs on the
// virtual chip's circular path.
#include <functional>
#include <limits>

#include "card/card_table.h"
#include "line_support.h"
#include "sim_fixture.h"
#include "special_values.h"

namespace quvex::test {
namespace {

const int16_t kXY[2] = {0, 1};

class ArcSequence : public CardTest, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(ArcSequence, WritesInOrder) {
    start_trace();
    ASSERT_EQ(GetParam().start(), QUVEX_OK);
    EXPECT_EQ(register_sequence(), GetParam().expected);
}

const Seq kXYEnvModeAmounts =
    written_codes({X, Y}, {reg::kEnv1, reg::kEnv2}) +
        Seq{X.write(reg::kOperationMode), Y.write(reg::kOperationMode), X.write(reg::kMoveAmount),
            Y.write(reg::kMoveAmount), X.write(reg::kAuxAmount), Y.write(reg::kAuxAmount)};

INSTANTIATE_TEST_SUITE_P(
    Arcs, ArcSequence,
    ::testing::Values(
        SequenceCase{"trapezoid", [] { return quvex_start_tr_arc_xy(0, 100, 0, 100, -100, 1, 100, 1000, 0.1, 0.2); },
                     kXYEnvModeAmounts + written_codes({X, Y}, {reg::kSpeedRange, reg::kMaxSpeed, reg::kStartSpeed}) +
                         written_codes({X, Y}, {reg::kAccelRate, reg::kDecelRate}) +
                         Seq{X.write(reg::kArcStepCount), X.write(reg::kRampDownPoint), Y.write(reg::kRampDownPoint),
                             X.command(cmd::on_axes(cmd::kStartRamped, 0b0011))}},
        SequenceCase{"s_curve_zu",
                     [] { return quvex_start_sr_arc_zu(0, 100, 0, 100, -100, 0, 100, 1000, 0.1, 0.2, 0, 0); },
                     written_codes({Z, U}, {reg::kEnv1, reg::kEnv2}) +
                         Seq{Z.write(reg::kOperationMode), U.write(reg::kOperationMode), Z.write(reg::kMoveAmount),
                             U.write(reg::kMoveAmount), Z.write(reg::kAuxAmount), U.write(reg::kAuxAmount)} +
                         written_codes({Z, U}, {reg::kSpeedRange, reg::kMaxSpeed, reg::kStartSpeed}) +
                         written_codes({Z, U}, {reg::kAccelRate, reg::kDecelRate}) +
                         written_codes({Z, U}, {reg::kSAccelSection, reg::kAccelRate, reg::kSDecelSection,
                                                reg::kDecelRate}) +
                         Seq{Z.write(reg::kArcStepCount), Z.write(reg::kRampDownPoint), U.write(reg::kRampDownPoint),
                             Z.command(cmd::on_axes(cmd::kStartRamped, 0b1100))}},
        // No rates, no step count, no ramp-down point.
        SequenceCase{"constant_speed", [] { return quvex_start_r_arc_xy(0, 100, 0, 200, 0, 0, 1000); },
                     kXYEnvModeAmounts + written_codes({X, Y}, {reg::kSpeedRange, reg::kMaxSpeed, reg::kStartSpeed}) +
                         Seq{X.command(cmd::on_axes(cmd::kStartAtMaxSpeed, 0b0011))}},
        // The absolute constant-speed arc reads where the axes stand after its mode is written.
        SequenceCase{"constant_speed_absolute", [] { return quvex_start_a_arc_xy(0, 100, 0, 200, 0, 0, 1000); },
                     written_codes({X, Y}, {reg::kEnv1, reg::kEnv2}) +
                         Seq{X.write(reg::kOperationMode), Y.write(reg::kOperationMode),
                             X.read(reg::read(reg::kPositionCounter)), Y.read(reg::read(reg::kPositionCounter)),
                             X.write(reg::kMoveAmount), Y.write(reg::kMoveAmount),
                             X.write(reg::kAuxAmount), Y.write(reg::kAuxAmount)} +
                         written_codes({X, Y}, {reg::kSpeedRange, reg::kMaxSpeed, reg::kStartSpeed}) +
                         Seq{X.command(cmd::on_axes(cmd::kStartAtMaxSpeed, 0b0011))}}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- mode, ramp-down point and start code by the ramp times ----

struct ModeCase {
    const char* name;
    bool s_curve;
    int16_t dir;
    double tacc, tdec;
    std::uint32_t mode;
    bool ramp_down_point;
    std::uint16_t command;
};

class ArcMode : public CardTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ArcMode, FollowsTheRampTimes) {
    const ModeCase& c = GetParam();
    start_trace();
    const quvex_status s =
        c.s_curve ? quvex_start_sr_arc_xy(0, 1000, 0, 2000, 0, c.dir, 100, 1000, c.tacc, c.tdec, 0, 0)
                  : quvex_start_tr_arc_xy(0, 1000, 0, 2000, 0, c.dir, 100, 1000, c.tacc, c.tdec);
    ASSERT_EQ(s, QUVEX_OK);
    EXPECT_EQ(written_values(X, reg::kOperationMode), std::vector<std::uint32_t>{c.mode});
    EXPECT_EQ(written_values(Y, reg::kOperationMode), std::vector<std::uint32_t>{c.mode});
    EXPECT_EQ(axis_record(0).mirror[chip::kMirrorOperationMode], c.mode);
    EXPECT_EQ(written_values(X, reg::kRampDownPoint).at(0) != 0, c.ramp_down_point);
    EXPECT_EQ(commands_of(X), std::vector<std::uint32_t>{c.command});
    EXPECT_EQ(axis_record(0).last_decel_time, 0) << "arcs leave the last deceleration time";
}

// Start-up mode 0x08000000; the arc bit 27 is set, bit 10 never (S-curve arcs included).
INSTANTIATE_TEST_SUITE_P(
    RampTimes, ArcMode,
    ::testing::Values(ModeCase{"ccw_decel_twice_accel", false, 1, 0.1, 0.2, 0x08002065, true, kXYRamped},
                      ModeCase{"cw_equal_times", false, 0, 0.1, 0.1, 0x08000064, false, kXYRamped},
                      ModeCase{"other_direction_value_is_ccw_mode", false, 5, 0.1, 0.1, 0x08000065, false, kXYRamped},
                      ModeCase{"no_decel", false, 0, 0.1, 0, 0x08002064, false, kXYRamped},
                      ModeCase{"no_accel", false, 0, 0, 0.1, 0x08002064, true, kXYDecelerating},
                      ModeCase{"no_ramps", false, 0, 0, 0, 0x08002064, false, kXYAtMaxSpeed},
                      ModeCase{"s_curve_equal_times", true, 1, 0.1, 0.1, 0x08000065, false, kXYRamped},
                      ModeCase{"s_curve_decel_twice_accel", true, 0, 0.1, 0.2, 0x08002064, true, kXYRamped}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- registers ----

class ArcRegisters : public CardTest {};

TEST_F(ArcRegisters, StepCountOfCircleAndQuarters) {
    struct {
        double ex, ey;
        int16_t dir;
        std::uint32_t count;
    } const cases[] = {{0, 0, 0, 567}, {100, -100, 1, 143}, {100, -100, 0, 426}};
    for (const auto& c : cases) {
        start_trace();
        ASSERT_EQ(quvex_start_tr_arc_xy(0, 100, 0, c.ex, c.ey, c.dir, 100, 1000, 0.1, 0.1), QUVEX_OK);
        EXPECT_EQ(written_values(X, reg::kArcStepCount), std::vector<std::uint32_t>{c.count}) << c.ex << " " << c.dir;
    }
}

TEST_F(ArcRegisters, EndAndCentreAsAmountsPathSpeedUnscaled) {
    ASSERT_EQ(quvex_start_tr_arc_xy(0, -100, 50, -200, 100, 0, 100, 1000, 0.1, 0.1), QUVEX_OK);
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(0, 0x80)), -200);
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(1, 0x80)), 100);
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(0, 0x88)), -100);
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(1, 0x88)), 50);
    for (int axis : {0, 1}) {
        EXPECT_EQ(chip_register(axis, 0x82), 10000u) << "1000 pps in 0.1 pps units on both axes";
        EXPECT_EQ(chip_register(axis, 0x81), 1000u);
    }
    EXPECT_EQ(axis_record(0).target_pos, -200);
    EXPECT_EQ(axis_record(1).target_pos, 100);
    EXPECT_EQ(axis_record(0).mirror[chip::kEnv1] & (1u << 28), 1u << 28) << "env1 bit 28 stays set";
}

TEST_F(ArcRegisters, SCurveArcStartsFromTheLowestSpeed) {
    ASSERT_EQ(quvex_start_sr_arc_xy(0, 100, 0, 200, 0, 0, 500, 1000, 0.1, 0.1, 0, 0), QUVEX_OK);
    EXPECT_EQ(chip_register(0, 0x81), 10u) << "1 pps, the range's lowest; str_vel is not used";
}

TEST_F(ArcRegisters, ConstantSpeedArcStartsWithItsOwnCommand) {
    ASSERT_EQ(quvex_start_tr_arc_xy(0, 100, 0, 200, 0, 0, 100, 1000, 0.1, 0.2), QUVEX_OK);
    start_trace();
    ASSERT_EQ(quvex_start_r_arc_xy(0, 100, 0, 200, 0, 0, 1000), QUVEX_OK);
    EXPECT_EQ(commands_of(X), std::vector<std::uint32_t>{kXYAtMaxSpeed});
    EXPECT_EQ(written_values(X, reg::kOperationMode), std::vector<std::uint32_t>{0x08000064}) << "no manual ramp-down";
    EXPECT_EQ(axis_record(0).target_pos, 400);
}

TEST_F(ArcRegisters, AbsoluteArcsMeasureFromTheQueuedEndInContinuousMode) {
    ASSERT_EQ(quvex_set_continuous_move(0, 1), QUVEX_OK);
    ASSERT_EQ(quvex_start_tr_arc_xy(0, 50, 0, 100, 0, 0, 100, 1000, 0.1, 0.1), QUVEX_OK);
    start_trace();
    // X stands at 0 but its queued end is 100: the arc about (200, 0) to (300, 0) is relative (100, 0), (200, 0).
    ASSERT_EQ(quvex_start_ta_arc_xy(0, 200, 0, 300, 0, 0, 100, 1000, 0.1, 0.1), QUVEX_OK);
    EXPECT_TRUE((reads_of(X, reg::read(reg::kPositionCounter)) == 0));
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(0, 0x80)), 200);
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(0, 0x88)), 100);
    EXPECT_EQ(axis_record(0).target_pos, 300);
}

TEST_F(ArcRegisters, AbsoluteConstantArcTakesTheEndAsTarget) {
    ASSERT_EQ(quvex_start_tr_arc_xy(0, 50, 0, 100, 0, 0, 100, 1000, 0.1, 0.1), QUVEX_OK);  // target 100, not run
    ASSERT_EQ(quvex_start_a_arc_xy(0, 25, 5, 40, 10, 0, 1000), QUVEX_OK);
    EXPECT_EQ(axis_record(0).target_pos, 40);
    EXPECT_EQ(axis_record(0).prev_target_pos, 100);
    // The clock has not moved: the axes still stand at 0, so the amounts are the coordinates.
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(0, 0x80)), 40);
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(1, 0x88)), 5);
}

// ---- refusals ----

struct RefusalCase {
    const char* name;
    std::function<quvex_status()> start;
    quvex_status status;
};

class ArcRefusal : public CardTest, public ::testing::WithParamInterface<RefusalCase> {};

// Absolute forms may read the counters before they refuse; nothing is written.
TEST_P(ArcRefusal, WritesNothingAndKeepsTheTargets) {
    start_trace();
    EXPECT_EQ(GetParam().start(), GetParam().status);
    for (const CardEvent& access : register_sequence()) EXPECT_EQ(access.kind, QUVEX_SIM_EV_CHIP_REG_READ) << access;
    EXPECT_EQ(axis_record(0).target_pos, 0);
    EXPECT_EQ(axis_record(1).target_pos, 0);
}

const int16_t kBackwards[2] = {2, 1};
const int16_t kOutside[2] = {0, 4};

INSTANTIATE_TEST_SUITE_P(
    Starts, ArcRefusal,
    ::testing::Values(
        RefusalCase{"zero_max_speed", [] { return quvex_start_tr_arc_xy(0, 100, 0, 0, 0, 0, 100, 0, 0.1, 0.1); },
                    QUVEX_ERR_ZERO_MAX_SPEED},
        RefusalCase{"zero_max_speed_constant", [] { return quvex_start_r_arc_xy(0, 100, 0, 0, 0, 0, 0); },
                    QUVEX_ERR_ZERO_MAX_SPEED},
        RefusalCase{"zero_max_speed_absolute",
                    [] { return quvex_start_sa_arc_xy(0, 100, 0, 0, 0, 0, 100, 0, 0.1, 0.1, 0, 0); },
                    QUVEX_ERR_ZERO_MAX_SPEED},
        RefusalCase{"pair_backwards", [] { return quvex_start_tr_arc2(0, kBackwards, 100, 0, 0, 0, 0, 1, 1000, 0, 0); },
                    QUVEX_ERR_AXIS_GROUP},
        // The pair is checked before the speed.
        RefusalCase{"pair_outside", [] { return quvex_start_a_arc2(0, kOutside, 100, 0, 0, 0, 0, 0); },
                    QUVEX_ERR_AXIS_GROUP},
        RefusalCase{"null_pair", [] { return quvex_start_r_arc2(0, nullptr, 100, 0, 0, 0, 0, 1000); },
                    QUVEX_ERR_AXIS_GROUP},
        RefusalCase{"centre_not_a_number",
                    [] { return quvex_start_tr_arc2(0, kXY, kNaN, 0, 0, 0, 0, 1, 1000, 0, 0); }, QUVEX_ERR_PULSE_RANGE},
        RefusalCase{"absent_card", [] { return quvex_start_tr_arc2(3, kXY, 100, 0, 0, 0, 0, 1, 1000, 0, 0); },
                    QUVEX_ERR_CARD_NUMBER}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quvex::test
