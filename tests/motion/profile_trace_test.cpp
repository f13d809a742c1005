// Register sequences of the speed profile operations and the single-axis starts, stops and
// settings, as the chip receives them.
#include <cmath>
#include <cstdio>
#include <limits>

#include "motion/speed_profile.h"
#include "motion_fixture.h"
#include "special_values.h"

namespace quvex::test {
namespace {

// ---- speed range, speed registers, tie-break ----

struct SpeedCase {
    double str_vel;
    double max_vel;
    std::uint32_t range;
    std::uint32_t fh;
    std::uint32_t fl;
};

class SpeedRegisters : public MotionTest, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(SpeedRegisters, RangeThenMaxThenStartSpeed) {
    const SpeedCase c = GetParam();
    start_trace();
    motion::compute_speed_registers(0, c.str_vel, c.max_vel, motion::kBuffered);
    EXPECT_EQ(chip_writes(X), (Writes{X.write(reg::kSpeedRange, c.range), X.write(reg::kMaxSpeed, c.fh),
                                      X.write(reg::kStartSpeed, c.fl)}));
}

INSTANTIATE_TEST_SUITE_P(TableEdgesRaisesAndTies, SpeedRegisters,
                         ::testing::Values(
                             // range table edges: a row holds speeds up to 65535 units of its own multiplier
                             SpeedCase{0, 6553.5, 2999, 65535, 10}, SpeedCase{0, 6553.6, 1499, 32768, 5},
                             SpeedCase{0, 65535, 299, 65535, 1}, SpeedCase{0, 65536, 149, 32768, 1},
                             SpeedCase{0, 1e7, 2, 65535, 1},  // far above the table: limited to 65535 x 100 pps
                             // a start speed below the lowest one is raised to it
                             SpeedCase{0, 20000, 599, 40000, 2}, SpeedCase{0, 3276751, 2, 32767, 1},
                             // equal registers: FH one unit up, or FL one down when FH is at the top
                             SpeedCase{1000, 1000, 2999, 10001, 10000}, SpeedCase{6553.5, 6553.5, 2999, 65535, 65534}));

TEST_F(MotionTest, PinnedRangeHoldsUntilReleased) {
    ASSERT_EQ(quvex_fix_speed_range(0, 20000), 0);
    ASSERT_EQ(quvex_fix_speed_range(0, 1e6), 0) << "a second pin keeps the first range";
    start_trace();
    ASSERT_EQ(quvex_start_tr_move(0, 1e6, 0, 100000, 0.1, 0.1), 0);
    EXPECT_EQ(reg(X, reg::kSpeedRange), 599u);
    EXPECT_EQ(reg(X, reg::kMaxSpeed), 65535u) << "speeds beyond the pinned range are limited";
    EXPECT_NE(reg(X, reg::kOperationMode) & kManualRampDown, 0u) << "a pinned range forces the manual ramp-down point";
    ASSERT_EQ(quvex_unfix_speed_range(0), 0);
    ASSERT_EQ(quvex_emg_stop(0), 0);
    ASSERT_EQ(quvex_start_tr_move(0, 1000, 0, 100000, 0.1, 0.1), 0);
    EXPECT_EQ(reg(X, reg::kSpeedRange), 149u);
}

// ---- the short-move examples: 500 pulses, 100 -> 10000 pps, 0.1 s ramps, range pinned at R = 299 ----

TEST_F(MotionTest, ShortTCurveLowersThePeakSoBothRampsMeet) {
    ASSERT_EQ(quvex_fix_speed_range(0, 65535), 0);
    start_trace();
    ASSERT_EQ(quvex_start_tr_move(0, 500, 100, 10000, 0.1, 0.1), 0);
    const auto fh = static_cast<std::uint32_t>(std::sqrt(100.0 * 100 + 300.0 * 32768 * 500 / 98));
    ASSERT_EQ(fh, 7082u);
    // Rates floor(0.1 * 4915200 / 9900 - 1) = 48; the peak is lowered after the rates are set.
    EXPECT_EQ(chip_writes(X),
              (Writes{X.write(reg::kEnv2, startup::kEnv2),
                      X.write(reg::kOperationMode, kSingleAxisMode | kManualRampDown | kKindPositioning),
                      X.write(reg::kMoveAmount, 500), X.write(reg::kSpeedRange, 299), X.write(reg::kMaxSpeed, 10000),
                      X.write(reg::kStartSpeed, 100), X.write(reg::kAccelRate, 48), X.write(reg::kDecelRate, 48),
                      X.write(reg::kMaxSpeed, fh), X.write(reg::kRampDownPoint, 249), X.command(cmd::kStartRamped)}));
}

TEST_F(MotionTest, LongEnoughTCurveKeepsThePeak) {
    ASSERT_EQ(quvex_fix_speed_range(0, 65535), 0);
    ASSERT_EQ(quvex_start_tr_move(0, 1000, 100, 10000, 0.1, 0.1), 0);
    EXPECT_EQ(reg(X, reg::kMaxSpeed), 10000u);
}

TEST_F(MotionTest, ShortSCurveLowersThePeakAndRampsDownAt249) {
    ASSERT_EQ(quvex_fix_speed_range(0, 65535), 0);
    start_trace();
    ASSERT_EQ(quvex_start_sr_move(0, 500, 100, 10000, 0.1, 0.1, 0, 0), 0);
    const auto fh = static_cast<std::uint32_t>(std::sqrt(100.0 * 100 + 16384.0 * 300 * 500 / 48));
    ASSERT_EQ(fh, 7156u);
    // Pure S rates count at half the clock: floor(0.1 * 2457600 / 9900 - 1) = 23.
    EXPECT_EQ(chip_writes(X),
              (Writes{X.write(reg::kEnv2, startup::kEnv2),
                      X.write(reg::kOperationMode, kSingleAxisMode | kManualRampDown | kSCurve | kKindPositioning),
                      X.write(reg::kMoveAmount, 500), X.write(reg::kSpeedRange, 299), X.write(reg::kMaxSpeed, 10000),
                      X.write(reg::kStartSpeed, 100), X.write(reg::kSAccelSection, 0), X.write(reg::kAccelRate, 23),
                      X.write(reg::kSDecelSection, 0), X.write(reg::kDecelRate, 23), X.write(reg::kMaxSpeed, fh),
                      X.write(reg::kRampDownPoint, 249), X.command(cmd::kStartRamped)}));
}

// R = 2999, FL = 1000, FH = 50000, sections 5000 units: UR = floor(0.1 * 4915200 / 59000 - 1) = 7,
// DR = 15, ramp-down point trunc(51000 * 59000 * 16 / 3000 / 32768) = 489.
TEST_F(MotionTest, SCurveWithSectionsRampsDownOverSpanAndBothSections) {
    start_trace();
    ASSERT_EQ(quvex_start_sr_move(0, 20000, 100, 5000, 0.1, 0.2, 500, 500), 0);
    EXPECT_EQ(chip_writes(X),
              (Writes{X.write(reg::kEnv2, startup::kEnv2),
                      X.write(reg::kOperationMode, kSingleAxisMode | kManualRampDown | kSCurve | kKindPositioning),
                      X.write(reg::kMoveAmount, 20000), X.write(reg::kSpeedRange, 2999),
                      X.write(reg::kMaxSpeed, 50000), X.write(reg::kStartSpeed, 1000),
                      X.write(reg::kSAccelSection, 5000), X.write(reg::kAccelRate, 7),
                      X.write(reg::kSDecelSection, 5000), X.write(reg::kDecelRate, 15), X.write(reg::kMaxSpeed, 50000),
                      X.write(reg::kRampDownPoint, 489), X.command(cmd::kStartRamped)}));
}

// Both axes get the pair of the faster one (the first on a tie), the second axis first; the
// mirrors keep their own values.
TEST_F(MotionTest, FasterSpeedPairGoesToBothAxesWithoutTouchingTheMirrors) {
    motion::compute_speed_registers(2, 100, 1000, motion::kBuffered);  // R = 2999: FH 10000, FL 1000
    motion::compute_speed_registers(3, 100, 2000, motion::kBuffered);  // FH 20000, FL 1000
    start_trace();
    motion::copy_faster_speed_registers(2, 3, motion::kBuffered);
    EXPECT_EQ(chip_writes(U), (Writes{U.write(reg::kMaxSpeed, 20000), U.write(reg::kStartSpeed, 1000)}));
    EXPECT_EQ(chip_writes(Z), (Writes{Z.write(reg::kMaxSpeed, 20000), Z.write(reg::kStartSpeed, 1000)}));
    EXPECT_EQ(card_events().front().axis, U.number);
    EXPECT_EQ(motion::speed_profile(2).max_speed_reg, 10000u);

    motion::compute_speed_registers(3, 200, 1000, motion::kBuffered);  // same FH, FL 2000
    start_trace();
    motion::copy_faster_speed_registers(2, 3, motion::kLive);
    EXPECT_EQ(chip_writes(U),
              (Writes{U.write(reg::live(reg::kMaxSpeed), 10000), U.write(reg::live(reg::kStartSpeed), 1000)}));
    EXPECT_EQ(motion::speed_profile(3).start_speed_reg, 2000u);
}

TEST_F(MotionTest, UnpinnedShortMoveUsesTheTableRangeAndAutomaticRampDown) {
    ASSERT_EQ(quvex_start_tr_move(0, 500, 100, 10000, 0.1, 0.1), 0);
    EXPECT_EQ(reg(X, reg::kSpeedRange), 1499u);
    EXPECT_EQ(reg(X, reg::kStartSpeed), 500u);
    EXPECT_EQ(reg(X, reg::kAccelRate), 8u);
    EXPECT_EQ(reg(X, reg::kOperationMode) & 0xFFFFu, kKindPositioning) << "no manual ramp-down";
    EXPECT_EQ(reg(X, reg::kRampDownPoint), 0u);
    const auto fh = static_cast<std::uint32_t>(std::sqrt(500.0 * 500 + 1500.0 * 32768 * 500 / 18));
    EXPECT_EQ(reg(X, reg::kMaxSpeed), fh);
}

// ---- start command and ramp-down mode ----

struct StartCase {
    bool s_curve;
    double tacc;
    double tdec;
    unsigned command;
    bool manual;
    bool ramp_down_point;  // a computed (non-zero) point
};

class StartChoice : public MotionTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartChoice, CommandModeAndRampDownPoint) {
    const StartCase c = GetParam();
    start_trace();
    const quvex_status st = c.s_curve ? quvex_start_sr_move(1, 20000, 100, 5000, c.tacc, c.tdec, 0, 0)
                                      : quvex_start_tr_move(1, 20000, 100, 5000, c.tacc, c.tdec);
    ASSERT_EQ(st, 0);
    EXPECT_EQ(chip_writes(Y).back(), Y.command(c.command));
    EXPECT_EQ((reg(Y, reg::kOperationMode) & kManualRampDown) != 0, c.manual);
    EXPECT_EQ(reg(Y, reg::kRampDownPoint) != 0, c.ramp_down_point);
}

INSTANTIATE_TEST_SUITE_P(ByRampTimes, StartChoice,
                         ::testing::Values(StartCase{false, 0, 0, cmd::kStartAtMaxSpeed, true, false},
                                           StartCase{false, 0, 0.1, cmd::kStartDecelerating, true, true},
                                           StartCase{false, 0.1, 0, cmd::kStartRamped, true, false},
                                           StartCase{false, 0.1, 0.3, cmd::kStartRamped, true, true},
                                           StartCase{false, 0.1, 0.1, cmd::kStartRamped, false, false},
                                           StartCase{true, 0, 0, cmd::kStartRamped, true, false},
                                           StartCase{true, 0.1, 0.2, cmd::kStartRamped, true, true}));

TEST_F(MotionTest, VelocityMoveRunsContinuouslyInTheSignedDirection) {
    start_trace();
    ASSERT_EQ(quvex_tv_move(2, 100, -2000, 0.2), 0);
    EXPECT_EQ(reg(Z, reg::kOperationMode), kSingleAxisMode | kManualRampDown | kKindContinuousMinus);
    EXPECT_EQ(reg(Z, reg::kDecelRate), 1u) << "no deceleration time: the lowest deceleration rate";
    EXPECT_EQ(chip_writes(Z).back(), Z.command(cmd::kStartRamped));
    EXPECT_EQ(quvex_sd_stop(2, 0.1), 0);
    ASSERT_EQ(quvex_sv_move(3, 100, 2000, 0.2, 0), 0);
    EXPECT_EQ(reg(U, reg::kOperationMode), kSingleAxisMode | kManualRampDown | kSCurve | kKindContinuousPlus);
}

TEST_F(MotionTest, TargetsFollowRelativeAndAbsoluteMoves) {
    ASSERT_EQ(quvex_start_tr_move(0, 100, 100, 1000, 0, 0), 0);
    ASSERT_EQ(quvex_start_tr_move(0, -30, 100, 1000, 0, 0), 0);
    EXPECT_EQ(axis_record(0).target_pos, 70.0);
    EXPECT_EQ(axis_record(0).prev_target_pos, 100.0);
    EXPECT_EQ(static_cast<std::int32_t>(reg(X, reg::kMoveAmount)), -30);

    axis_record(1).continuous_mode = 1;
    axis_record(1).target_pos = 200;
    ASSERT_EQ(quvex_start_ta_move(1, 500, 100, 1000, 0.1, 0.1), 0);
    EXPECT_EQ(reg(Y, reg::kMoveAmount), 300u) << "continuous mode measures from the target, not the counters";
    axis_record(1).continuous_mode = 0;
}

// An absolute target is measured from the last target in continuous mode, from the command
// counter when the axis takes feedback from it, else from the ratio-scaled position.
struct ReferenceCase {
    const char* name;
    std::int16_t continuous_mode;
    std::int16_t feedback_src;
    std::int32_t amount;
};

class AbsoluteReference : public MotionTest, public ::testing::WithParamInterface<ReferenceCase> {};

TEST_P(AbsoluteReference, AmountIsTargetMinusReference) {
    const ReferenceCase c = GetParam();
    ASSERT_EQ(quvex_set_move_ratio(0, 2.0), 0);
    ASSERT_EQ(quvex_set_position(0, 100), 0);  // position counter 200
    ASSERT_EQ(quvex_set_command(0, 50), 0);
    AxisRecord& rec = axis_record(0);
    rec.target_pos = 30;
    rec.continuous_mode = c.continuous_mode;
    rec.feedback_src = c.feedback_src;
    const quvex_status t = quvex_start_ta_move(0, 500, 100, 1000, 0.1, 0.1);
    const std::uint32_t t_amount = reg(X, reg::kMoveAmount);
    rec.target_pos = 30;
    const quvex_status s = quvex_start_sa_move(0, 500, 100, 1000, 0.1, 0.1, 0, 0);
    const std::uint32_t s_amount = reg(X, reg::kMoveAmount);
    rec.continuous_mode = 0;
    rec.feedback_src = 0;
    ASSERT_EQ(quvex_set_move_ratio(0, 1.0), 0);
    ASSERT_EQ(t, 0);
    ASSERT_EQ(s, 0);
    EXPECT_EQ(static_cast<std::int32_t>(t_amount), c.amount);
    EXPECT_EQ(static_cast<std::int32_t>(s_amount), c.amount);
    EXPECT_EQ(rec.target_pos, 500.0);
    EXPECT_EQ(rec.prev_target_pos, 30.0);
}

INSTANTIATE_TEST_SUITE_P(BySource, AbsoluteReference,
                         ::testing::Values(ReferenceCase{"continuous_target", 1, 1, 470},
                                           ReferenceCase{"command_counter", 0, 1, 450},
                                           ReferenceCase{"scaled_position", 0, 0, 400}),
                         [](const ::testing::TestParamInfo<ReferenceCase>& p) { return std::string(p.param.name); });

// ---- stops and settings ----

TEST_F(MotionTest, StopsOfAnIdleAxisAreRefusedAndWriteNothing) {
    start_trace();
    EXPECT_EQ(quvex_sd_stop(0, 0.1), QUVEX_ERR_AXIS_NOT_MOVING);
    EXPECT_EQ(quvex_emg_stop(0), QUVEX_ERR_AXIS_NOT_MOVING);
    EXPECT_TRUE(chip_writes(X).empty());
}

TEST_F(MotionTest, DeceleratingStopOfAnSCurveKeepsItsShape) {
    ASSERT_EQ(quvex_sv_move(0, 100, 5000, 0.1, 0), 0);
    quvex_sim_advance(0.5);
    start_trace();
    ASSERT_EQ(quvex_sd_stop(0, 0.2), 0);
    const std::uint32_t fh = reg(X, reg::kMaxSpeed);  // R = 2999: section floor(3000 * FH / 4 / 300)
    const std::uint32_t section = std::min<std::uint32_t>(32767, 3000 * fh / 1200);
    const Writes writes = chip_writes(X);
    ASSERT_EQ(writes.size(), 5u);
    EXPECT_EQ(writes[0], X.write(reg::live(reg::kSAccelSection), 0));
    EXPECT_EQ(writes[1], X.write(reg::live(reg::kAccelRate), 0)) << "the live acceleration rate becomes 0";
    EXPECT_EQ(writes[2], X.write(reg::live(reg::kSDecelSection), section));
    EXPECT_EQ(writes[4], X.command(cmd::kDeceleratingStop));
}

constexpr std::uint32_t kDefaultCorrectionSpeed = 0x87D0;

TEST_F(MotionTest, SettingsProgramTheirFields) {
    start_trace();
    ASSERT_EQ(quvex_set_idle_pulse(0, 5), 0);
    ASSERT_EQ(quvex_set_idle_pulse(0, 2), 0);
    ASSERT_EQ(quvex_suppress_vibration(0, 3, 4), 0);
    ASSERT_EQ(quvex_backlash_comp(0, 5000), 0);
    // Idle pulses in env5 bits 8-10, ORed in (5 then 2 leaves 7); suppression times 3 and 4 in
    // env7's halves; backlash 5000 in the 12-bit amount (5000 - 4096 = 904) with the enable bit 12,
    // the correction output (env3 bit 24) on the start-up env3, and, with no start speed
    // programmed yet, the default correction speed.
    EXPECT_EQ(chip_writes(X),
              (Writes{X.write(reg::kEnv5, 5 << 8), X.write(reg::kEnv5, 7 << 8), X.write(reg::kEnv7, 4 << 16 | 3),
                      X.write(reg::kEnv6, 1 << 12 | 904), X.write(reg::kEnv3, startup::kEnv3 | 1 << 24),
                      X.write(reg::live(reg::kCorrectionSpeed), kDefaultCorrectionSpeed)}));
}

TEST_F(MotionTest, BacklashCorrectsAtTheProgrammedStartSpeed) {
    ASSERT_EQ(quvex_start_tr_move(0, 10, 150, 1000, 0, 0), 0);
    ASSERT_EQ(quvex_backlash_comp(0, 12), 0);
    EXPECT_EQ(reg(X, reg::live(reg::kCorrectionSpeed)), 1500u);
}

// ---- refusals ----

struct Refusal {
    const char* name;
    quvex_status (*call)();
    quvex_status status;
};

class Refusals : public MotionTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, ReturnTheirCodeAndTouchNothing) {
    start_trace();
    EXPECT_EQ(GetParam().call(), GetParam().status);
    EXPECT_TRUE(card_events().empty());
    EXPECT_EQ(axis_record(0).target_pos, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, Refusals,
    ::testing::Values(
        Refusal{"zero_max", [] { return quvex_start_tr_move(0, 100, 10, 0, 0.1, 0.1); }, 11},
        Refusal{"nan_max", [] { return quvex_start_sa_move(0, 100, 10, kNaN, 0.1, 0.1, 0, 0); }, 11},
        Refusal{"inf_start", [] { return quvex_start_ta_move(0, 100, kInf, 100, 0.1, 0.1); }, 11},
        Refusal{"nan_time", [] { return quvex_start_tr_move(0, 100, 10, 100, kNaN, 0.1); }, 11},
        Refusal{"inf_section", [] { return quvex_start_sr_move(0, 100, 10, 100, 0.1, 0.1, kInf, 0); }, 11},
        Refusal{"nan_distance", [] { return quvex_start_tr_move(0, kNaN, 10, 100, 0.1, 0.1); }, 13},
        Refusal{"inf_target", [] { return quvex_start_sa_move(0, -kInf, 10, 100, 0.1, 0.1, 0, 0); }, 13},
        Refusal{"zero_velocity", [] { return quvex_tv_move(0, 10, 0, 0.1); }, 11},
        Refusal{"nan_velocity_time", [] { return quvex_sv_move(0, 10, 100, kNaN, 0); }, 11},
        Refusal{"absent_card", [] { return quvex_start_tr_move(4, 100, 10, 100, 0.1, 0.1); }, 30},
        Refusal{"axis_out_of_range", [] { return quvex_emg_stop(-1); }, 30},
        Refusal{"fix_zero", [] { return quvex_fix_speed_range(0, 0); }, 11},
        Refusal{"fix_absent", [] { return quvex_fix_speed_range(48, 1000); }, 30},
        Refusal{"backlash_absent", [] { return quvex_backlash_comp(47, 1); }, 30},
        Refusal{"check_nan", [] { return quvex_check_s_vel(kNaN, 1, 2, 0, 0, 0, 0, nullptr, nullptr, nullptr); }, 11},
        Refusal{"verify_inf", [] { return quvex_verify_speed(1, kInf, nullptr, nullptr, 1); }, 11}),
    [](const ::testing::TestParamInfo<Refusal>& p) { return std::string(p.param.name); });

TEST_F(MotionTest, DeceleratingStopRefusesAnUnusableTime) {
    ASSERT_EQ(quvex_tv_move(0, 100, 1000, 0), 0);
    start_trace();
    EXPECT_EQ(quvex_sd_stop(0, kNaN), 11);
    EXPECT_TRUE(chip_writes(X).empty());
}

// ---- computing utilities ----

TEST(SpeedChecks, VerifySpeedUsesTheFinestFittingRange) {
    double lo = 0, hi = 0;
    ASSERT_EQ(quvex_verify_speed(100, 10000, &lo, &hi, 20000), 0);
    // R = floor(19660500 / 10000 - 1) = 1965: FH = 65533, FL = 656; scaled by 10000 / 20000
    EXPECT_DOUBLE_EQ(lo, 0.5 * 2 * (65533 - 656) / 4915200.0);
    EXPECT_DOUBLE_EQ(hi, lo * 65535 / 2);
    EXPECT_EQ(quvex_verify_speed(100, 10000, nullptr, nullptr, 1), 0) << "null results are not written";
}

TEST(SpeedChecks, SReachReturnsTheInputsWhenDecelerationIsShort) {
    double v = 0, a = 0, d = 0;
    ASSERT_EQ(quvex_check_s_vel(100, 10, 5000, 0.2, 0.3, 700, 800, &v, &a, &d), 0);
    EXPECT_EQ(v, 5000.0);
    EXPECT_EQ(a, 700.0);
    EXPECT_EQ(d, 800.0);
}

TEST(SpeedChecks, SReachLowersThePeakOfAShortMoveAndAlwaysEnds) {
    double v = 0, a = 0, d = 0;
    ASSERT_EQ(quvex_check_s_vel(500, 100, 10000, 0.1, 0.2, 3000, 3000, &v, &a, &d), 0);
    EXPECT_LT(v, 10000.0);
    EXPECT_EQ(a, 3000.0) << "the lowered peak lets the deceleration fit at once: sections kept";
    // A zero distance never lets the deceleration fit: the loop must still end.
    ASSERT_EQ(quvex_check_s_vel(0, 100, 10000, 0.1, 0.2, 0, 0, &v, &a, &d), 0);
    EXPECT_TRUE(std::isfinite(v));
    // A long move reaches its peak unchanged.
    ASSERT_EQ(quvex_check_s_vel(1e6, 100, 10000, 0.1, 0.2, 1000, 1000, &v, &a, &d), 0);
    EXPECT_NEAR(v, 10000.0, 0.1);
    EXPECT_EQ(a, 1000.0);
}

}  // namespace
}  // namespace quvex::test
