// Register traces of the line starts: the order of the writes, the mode bits, the path speed
// scaling, the dominant axis's speed registers, the start command word and the refusals.
#include <cmath>
#include <functional>
#include <limits>

#include "card/card_table.h"
#include "interp/line_mode.h"
#include "line_support.h"
#include "sim_fixture.h"
#include "special_values.h"

namespace quvex::test {
namespace {

const int16_t kLineXY[2] = {0, 1};

// ---- order of the register writes ----

class LineSequence : public CardTest, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(LineSequence, WritesInGroupOrder) {
    start_trace();
    ASSERT_EQ(GetParam().start(), QUVEX_OK);
    EXPECT_EQ(register_sequence(), GetParam().expected);
}

const Seq kXYModeAndAmounts = written_codes({X, Y}, {reg::kEnv2}) + written_codes({X, Y}, {reg::kOperationMode});

INSTANTIATE_TEST_SUITE_P(
    Lines, LineSequence,
    ::testing::Values(
        // Y dominant: its speed registers are copied to X last.
        SequenceCase{"t_two_axes_second_dominant",
                     [] { return quvex_start_tr_line2(0, kLineXY, 30, 40, 100, 1000, 0.1, 0.2); },
                     kXYModeAndAmounts + written_codes({X, Y}, {reg::kMoveAmount}) +
                         written_codes({X, Y}, {reg::kSpeedRange, reg::kMaxSpeed, reg::kStartSpeed}) +
                         written_codes({X, Y}, {reg::kAccelRate, reg::kDecelRate}) +
                         written_codes({X, Y}, {reg::kMaxSpeed}) +
                         written_codes({X, Y}, {reg::kRampDownPoint}) +
                         Seq{X.write(reg::kMaxSpeed), X.write(reg::kStartSpeed),
                             X.command(cmd::on_axes(cmd::kStartRamped, 0b0011))}},
        SequenceCase{"s_two_axes_first_dominant",
                     [] { return quvex_start_sr_line2(0, kLineXY, 40, -40, 100, 1000, 0.1, 0.2, 0, 0); },
                     kXYModeAndAmounts + written_codes({X, Y}, {reg::kSpeedRange, reg::kMaxSpeed, reg::kStartSpeed}) +
                         written_codes({X, Y}, {reg::kAccelRate, reg::kDecelRate}) +
                         written_codes({X, Y}, {reg::kMoveAmount}) +
                         written_codes({X, Y}, {reg::kSAccelSection, reg::kAccelRate, reg::kSDecelSection,
                                                reg::kDecelRate}) +
                         written_codes({X, Y}, {reg::kMaxSpeed}) + written_codes({X, Y}, {reg::kRampDownPoint}) +
                         Seq{X.command(cmd::on_axes(cmd::kStartRamped, 0b0011))}},
        // Z dominant: copied to X first, then U.
        SequenceCase{"t_three_axes_middle_dominant",
                     [] {
                         const int16_t axes[3] = {0, 2, 3};
                         return quvex_start_tr_line3(0, axes, 10, -50, 20, 100, 1000, 0, 0);
                     },
                     written_codes({X, Z, U}, {reg::kEnv2}) + written_codes({X, Z, U}, {reg::kOperationMode}) +
                         written_codes({X, Z, U}, {reg::kMoveAmount}) +
                         written_codes({X, Z, U}, {reg::kSpeedRange, reg::kMaxSpeed, reg::kStartSpeed}) +
                         written_codes({X, Z, U}, {reg::kAccelRate, reg::kDecelRate}) +
                         written_codes({X, Z, U}, {reg::kMaxSpeed}) +
                         written_codes({X, Z, U}, {reg::kRampDownPoint}) +
                         Seq{X.write(reg::kMaxSpeed), X.write(reg::kStartSpeed), U.write(reg::kMaxSpeed),
                             U.write(reg::kStartSpeed), X.command(cmd::on_axes(cmd::kStartAtMaxSpeed, 0b1101))}},
        // Status first; the mode is written again after the start.
        SequenceCase{"t_four_axes",
                     [] { return quvex_start_tr_line4(0, 5, 5, 5, 5, 100, 1000, 0, 0.1); },
                     Seq{X.read(reg::kReadStatus32)} + written_codes({X, Y, Z, U}, {reg::kEnv2}) +
                         written_codes({X, Y, Z, U}, {reg::kOperationMode}) +
                         written_codes({X, Y, Z, U}, {reg::kMoveAmount}) +
                         written_codes({X, Y, Z, U}, {reg::kSpeedRange, reg::kMaxSpeed, reg::kStartSpeed}) +
                         written_codes({X, Y, Z, U}, {reg::kAccelRate, reg::kDecelRate}) +
                         written_codes({X, Y, Z, U}, {reg::kMaxSpeed}) +
                         written_codes({X, Y, Z, U}, {reg::kRampDownPoint}) +
                         Seq{X.command(cmd::on_axes(cmd::kStartDecelerating, 0b1111))} +
                         written_codes({X, Y, Z, U}, {reg::kOperationMode})},
        SequenceCase{"fixed_pair_zu",
                     [] { return quvex_start_tr_move_zu(0, 0, 0, 100, 1000, 0.1, 0.1); },
                     written_codes({Z, U}, {reg::kEnv2}) + written_codes({Z, U}, {reg::kOperationMode}) +
                         written_codes({Z, U}, {reg::kMoveAmount}) +
                         written_codes({Z, U}, {reg::kSpeedRange, reg::kMaxSpeed, reg::kStartSpeed}) +
                         written_codes({Z, U}, {reg::kAccelRate, reg::kDecelRate}) +
                         written_codes({Z, U}, {reg::kMaxSpeed}) + written_codes({Z, U}, {reg::kRampDownPoint}) +
                         Seq{Z.command(cmd::on_axes(cmd::kStartRamped, 0b1100))}}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- mode bits, ramp-down point and start code by the ramp times ----

struct LineModeCase {
    const char* name;
    bool s_curve;
    double tacc, tdec;
    bool pinned_range;
    std::uint32_t mode;     // the operation mode written to both axes
    bool ramp_down_point;   // a computed (non-zero) ramp-down point
    std::uint16_t command;
};

class LineMode : public CardTest, public ::testing::WithParamInterface<LineModeCase> {};

TEST_P(LineMode, FollowsTheRampTimes) {
    const LineModeCase& c = GetParam();
    if (c.pinned_range) {
        ASSERT_EQ(quvex_fix_speed_range(0, 20000), QUVEX_OK);
    }
    start_trace();
    const quvex_status s = c.s_curve ? quvex_start_sr_move_xy(0, 3000, 4000, 100, 1000, c.tacc, c.tdec, 0, 0)
                                     : quvex_start_tr_move_xy(0, 3000, 4000, 100, 1000, c.tacc, c.tdec);
    ASSERT_EQ(s, QUVEX_OK);
    EXPECT_EQ(written_values(X, reg::kOperationMode), std::vector<std::uint32_t>{c.mode});
    EXPECT_EQ(written_values(Y, reg::kOperationMode), std::vector<std::uint32_t>{c.mode});
    EXPECT_EQ(axis_record(0).mirror[chip::kMirrorOperationMode], c.mode);
    EXPECT_EQ(axis_record(1).mirror[chip::kMirrorOperationMode], chip::kStartupMirror[chip::kMirrorOperationMode])
        << "only the lead axis keeps the group's mode";
    EXPECT_EQ(chip_register(0, 0x86) != 0, c.ramp_down_point);
    EXPECT_EQ(chip_register(1, 0x86) != 0, c.ramp_down_point);
    EXPECT_EQ(commands_of(X), std::vector<std::uint32_t>{c.command});
    EXPECT_EQ(axis_record(0).last_decel_time, c.tdec);
}

// Start-up operation mode 0x08000000: bit 27 stays, bit 26 is cleared by every line.
INSTANTIATE_TEST_SUITE_P(
    RampTimes, LineMode,
    ::testing::Values(LineModeCase{"decel_twice_accel", false, 0.1, 0.2, false, 0x08002061, true, kXYRamped},
                      LineModeCase{"equal_times_automatic", false, 0.1, 0.1, false, 0x08000061, false, kXYRamped},
                      LineModeCase{"no_decel", false, 0.1, 0, false, 0x08002061, false, kXYRamped},
                      LineModeCase{"no_accel", false, 0, 0.1, false, 0x08002061, true, kXYDecelerating},
                      LineModeCase{"no_ramps", false, 0, 0, false, 0x08002061, false, kXYAtMaxSpeed},
                      LineModeCase{"pinned_range", false, 0.1, 0.1, true, 0x08002061, true, kXYRamped},
                      LineModeCase{"s_equal_times", true, 0.1, 0.1, false, 0x08000461, false, kXYRamped},
                      LineModeCase{"s_decel_twice_accel", true, 0.1, 0.2, false, 0x08002461, true, kXYRamped}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- path speed scaling and the dominant axis ----

class LineSpeed : public CardTest {};

TEST_F(LineSpeed, PathSpeedScaledToTheDominantAxis) {
    // (3000, 4000) at 1000 pps along the path: the dominant Y runs at 800 pps, X follows it.
    ASSERT_EQ(quvex_start_tr_line2(0, kLineXY, 3000, 4000, 100, 1000, 0.1, 0.1), QUVEX_OK);
    for (int axis : {0, 1}) {
        EXPECT_EQ(chip_register(axis, 0x85), 2999u);
        EXPECT_EQ(chip_register(axis, 0x82), 8000u) << "800 pps in 0.1 pps units";
        EXPECT_EQ(chip_register(axis, 0x81), 800u) << "80 pps";
    }
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(0, 0x80)), 3000);
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(1, 0x80)), 4000);
}

TEST_F(LineSpeed, SignsOfTheSpeedsAreIgnored) {
    ASSERT_EQ(quvex_start_tr_line2(0, kLineXY, 3000, 4000, -100, -1000, 0.1, 0.1), QUVEX_OK);
    for (int axis : {0, 1}) {
        EXPECT_EQ(chip_register(axis, 0x82), 8000u);
        EXPECT_EQ(chip_register(axis, 0x81), 800u);
    }
}

TEST_F(LineSpeed, ShortLineTakesTheDominantAxisPeak) {
    // Both axes are programmed for 800 pps, then limited by their own short move; the copy
    // leaves X on Y's lowered peak.
    start_trace();
    ASSERT_EQ(quvex_start_tr_line2(0, kLineXY, 30, 40, 100, 1000, 0.1, 0.1), QUVEX_OK);
    EXPECT_EQ(written_values(X, reg::kMaxSpeed).front(), 8000u);
    EXPECT_EQ(written_values(Y, reg::kMaxSpeed).front(), 8000u);
    const std::uint32_t y_peak = chip_register(1, 0x82);
    EXPECT_LT(y_peak, 8000u);
    EXPECT_EQ(chip_register(0, 0x82), y_peak);
    EXPECT_EQ(chip_register(0, 0x81), chip_register(1, 0x81));
    EXPECT_EQ(axis_record(0).mirror[chip::kMirrorMaxSpeed], y_peak);
}

TEST_F(LineSpeed, TieKeepsTheLeadAxis) {
    start_trace();
    ASSERT_EQ(quvex_start_tr_line2(0, kLineXY, 40, -40, 100, 1000, 0.1, 0.1), QUVEX_OK);
    EXPECT_EQ(written_values(X, reg::kStartSpeed).size(), 1u) << "nothing copied";
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(1, 0x80)), -40);
}

TEST_F(LineSpeed, ZeroLengthLineStillStarts) {
    start_trace();
    ASSERT_EQ(quvex_start_tr_line2(0, kLineXY, 0, 0, 100, 1000, 0.1, 0.1), QUVEX_OK);
    // Speed registers from 0 and 0: the lowest speed range and the smallest register values.
    EXPECT_EQ(chip_register(0, 0x85), 2999u);
    EXPECT_EQ(commands_of(X), std::vector<std::uint32_t>{kXYRamped});
}

TEST_F(LineSpeed, TargetsMoveByTheDistances) {
    ASSERT_EQ(quvex_start_tr_line2(0, kLineXY, 100, 40, 100, 1000, 0.1, 0.1), QUVEX_OK);
    ASSERT_EQ(quvex_start_tr_line2(0, kLineXY, -30, 5, 100, 1000, 0.1, 0.1), QUVEX_OK);
    EXPECT_EQ(axis_record(0).target_pos, 70);
    EXPECT_EQ(axis_record(0).prev_target_pos, 100);
    EXPECT_EQ(axis_record(1).target_pos, 45);
    EXPECT_EQ(axis_record(1).prev_target_pos, 40);
}

// ---- four-axis lines: env2 and the high half of the mode ----

class FourAxisLine : public CardTest {};

TEST_F(FourAxisLine, ClearsSyncAndContinuousBitsWhenNotContinuous) {
    // The sync option leaves env2 bit 29 and mode bits 18-23 and 24 set on X.
    ASSERT_EQ(quvex_set_sync_option(0, 1, 0, 3, 3), QUVEX_OK);
    start_trace();
    ASSERT_EQ(quvex_start_tr_line4(0, 10, 20, 30, 40, 100, 1000, 0.1, 0.1), QUVEX_OK);
    for (const ChipAxis axis : {X, Y, Z, U}) {
        const auto env2 = written_values(axis, reg::kEnv2);
        ASSERT_EQ(env2.size(), 1u);
        EXPECT_EQ(env2[0] & 0x30000000u, 0u) << axis;
    }
    // Bit 24 (a sync option) stays; 18-23, 26, 27 cleared; after the start bit 26 comes back.
    EXPECT_EQ(written_values(Y, reg::kOperationMode), (std::vector<std::uint32_t>{0x01000061, 0x05000061}));
    EXPECT_EQ(commands_of(X), std::vector<std::uint32_t>{kXYZURamped});
    EXPECT_EQ(axis_record(0).mirror[chip::kMirrorOperationMode], 0x05000061u);
}

TEST_F(FourAxisLine, TwoAxisLineLeavesSyncAndContinuousBitsAlone) {
    ASSERT_EQ(quvex_set_sync_option(0, 1, 0, 3, 3), QUVEX_OK);  // env2 bit 29, mode 0x093C0000
    axis_record(0).continuous_mode = 1;
    start_trace();
    ASSERT_EQ(quvex_start_tr_line2(0, kLineXY, 10, 20, 100, 1000, 0.1, 0.2), QUVEX_OK);
    EXPECT_EQ(register_sequence().front(), X.write(reg::kEnv2)) << "no status read";
    EXPECT_EQ(written_values(X, reg::kEnv2), std::vector<std::uint32_t>{0x2030C515u});
    EXPECT_EQ(written_values(Y, reg::kOperationMode), std::vector<std::uint32_t>{0x093C2061u}) << "written once";
}

TEST_F(FourAxisLine, ContinuousModeSetsItsBits) {
    axis_record(0).continuous_mode = 1;
    start_trace();
    ASSERT_EQ(quvex_start_tr_line4(0, 10, 20, 30, 40, 100, 1000, 0.1, 0.2), QUVEX_OK);
    for (const ChipAxis axis : {X, U}) {
        const auto env2 = written_values(axis, reg::kEnv2);
        ASSERT_EQ(env2.size(), 1u);
        EXPECT_EQ(env2[0], 0x2030C515u) << axis << ": bit 29 on the start-up value";
    }
    const auto status = read_values(X, reg::kReadStatus32);
    ASSERT_EQ(status.size(), 1u);
    const std::uint32_t state = (status[0] >> 20) & 3u;
    const std::uint32_t first = (state == 1 || state == 2) ? 0x04FC2061u : 0x04002061u;
    EXPECT_EQ(written_values(Z, reg::kOperationMode), (std::vector<std::uint32_t>{first, 0x04002061u}));
}

// The continuous-buffer state in status bits 20-21 picks the high-half bits of the line.
TEST(FourAxisContinuousBits, ByStatusState) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {0x00000000, 0x04000000}, {0x00100000, 0x04FC0000}, {0x00200000, 0x04FC0000},
        {0x00300000, 0x04000000}, {0xFFCFFFFF, 0x04000000}};
    for (auto [status, bits] : cases) EXPECT_EQ(interp::continuous_line_bits(status), bits) << std::hex << status;
}

TEST_F(FourAxisLine, DominantAxisIsTheFirstOfTheLongest) {
    ASSERT_EQ(quvex_start_tr_line4(0, 1, -7, 7, 3, 100, 1000, 0.1, 0.1), QUVEX_OK);
    // Y and Z tie at 7: Y is dominant and every other axis takes its registers.
    for (int axis : {0, 2, 3}) EXPECT_EQ(chip_register(axis, 0x82), chip_register(1, 0x82)) << axis;
}

// ---- absolute lines: where the distance is measured from ----

class AbsoluteLine : public CardTest {};

TEST_F(AbsoluteLine, ContinuousModeMeasuresFromTargets) {
    axis_record(0).continuous_mode = 1;
    axis_record(0).target_pos = 200;
    axis_record(1).target_pos = 50;
    start_trace();
    ASSERT_EQ(quvex_start_ta_move_xy(0, 500, 50, 100, 1000, 0.1, 0.1), QUVEX_OK);
    EXPECT_EQ(written_values(X, reg::kMoveAmount), std::vector<std::uint32_t>{300});
    EXPECT_EQ(written_values(Y, reg::kMoveAmount), std::vector<std::uint32_t>{0});
    EXPECT_TRUE(read_codes(X).empty()) << "no counter is read";
    EXPECT_EQ(axis_record(0).target_pos, 500);
    EXPECT_EQ(axis_record(0).prev_target_pos, 200);
}

TEST_F(AbsoluteLine, CountersByFeedbackSource) {
    ASSERT_EQ(quvex_set_move_ratio(0, 2.0), QUVEX_OK);
    ASSERT_EQ(quvex_set_position(0, 100), QUVEX_OK);  // counter 200, position 100
    ASSERT_EQ(quvex_set_command(1, 40), QUVEX_OK);
    ASSERT_EQ(quvex_set_position(1, 70), QUVEX_OK);
    axis_record(1).feedback_src = 1;
    start_trace();
    const double targets[2] = {500, 100};
    ASSERT_EQ(quvex_start_sa_move_xy(0, targets[0], targets[1], 100, 1000, 0.1, 0.1, 0, 0), QUVEX_OK);
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(0, 0x80)), 400) << "from the position (counter / ratio)";
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(1, 0x80)), 60) << "from the command counter";
    EXPECT_EQ(reads_of(X, reg::read(reg::kPositionCounter)), 1u);
    EXPECT_EQ(reads_of(Y, reg::read(reg::kCommandCounter)), 1u);
}

TEST_F(AbsoluteLine, FourAxisFormCallsTheFourAxisLine) {
    start_trace();
    ASSERT_EQ(quvex_start_ta_line4(0, 1, 2, 3, 4, 100, 1000, 0, 0), QUVEX_OK);
    EXPECT_EQ(written_values(U, reg::kMoveAmount), std::vector<std::uint32_t>{4});
    EXPECT_EQ(commands_of(X), std::vector<std::uint32_t>{kXYZUAtMaxSpeed});
}

// ---- refusals: nothing written, nothing changed ----

struct LineRefusalCase {
    const char* name;
    std::function<quvex_status()> call;
    quvex_status status;
    // Reads made before the refusal: the four-axis line reads X's status before its value
    // checks, an absolute line reads its reference counters before the relative form checks.
    Seq reads;
};

class LineRefusal : public CardTest, public ::testing::WithParamInterface<LineRefusalCase> {};

TEST_P(LineRefusal, TouchesNothing) {
    axis_record(0).target_pos = 5;
    start_trace();
    EXPECT_EQ(GetParam().call(), GetParam().status);
    EXPECT_EQ(register_sequence(), GetParam().reads);
    EXPECT_EQ(axis_record(0).target_pos, 5);
    EXPECT_EQ(axis_record(0).last_decel_time, 0);
}

const int16_t kDescending[2] = {1, 0};
const int16_t kRepeated[2] = {2, 2};
const int16_t kNegative[3] = {-1, 0, 1};

INSTANTIATE_TEST_SUITE_P(
    BadInput, LineRefusal,
    ::testing::Values(
        LineRefusalCase{"descending", [] { return quvex_start_tr_line2(0, kDescending, 1, 1, 1, 10, 0, 0); }, 15, {}},
        LineRefusalCase{"repeated", [] { return quvex_start_sr_line2(0, kRepeated, 1, 1, 1, 10, 0, 0, 0, 0); }, 15, {}},
        LineRefusalCase{"negative_index", [] { return quvex_start_tr_line3(0, kNegative, 1, 1, 1, 1, 10, 0, 0); },
                        15, {}},
        LineRefusalCase{"null_axes", [] { return quvex_start_tr_line2(0, nullptr, 1, 1, 1, 10, 0, 0); }, 15, {}},
        LineRefusalCase{"absolute_group_before_counters",
                    [] { return quvex_start_ta_line2(0, kDescending, 1, 1, 1, 10, 0, 0); }, 15, {}},
        LineRefusalCase{"group_before_card", [] { return quvex_start_tr_line2(7, kRepeated, 1, 1, 1, 10, 0, 0); },
                        15, {}},
        LineRefusalCase{"zero_max_speed", [] { return quvex_start_tr_line2(0, kLineXY, 1, 1, 1, 0, 0, 0); }, 11, {}},
        LineRefusalCase{"zero_max_speed_absolute", [] { return quvex_start_ta_move_xy(0, 1, 1, 1, 0, 0, 0); }, 11,
                    {X.read(reg::read(reg::kPositionCounter)), Y.read(reg::read(reg::kPositionCounter))}},
        LineRefusalCase{"four_axis_zero_max_speed",
                        [] { return quvex_start_sr_line4(0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0); },
                    11, {X.read(reg::kReadStatus32)}},
        LineRefusalCase{"nan_max_speed", [] { return quvex_start_tr_line2(0, kLineXY, 1, 1, 1, kNaN, 0, 0); }, 11, {}},
        LineRefusalCase{"nan_section", [] { return quvex_start_sr_move_xy(0, 1, 1, 1, 10, 0, 0, 0, kNaN); }, 11, {}},
        LineRefusalCase{"nan_distance", [] { return quvex_start_tr_line4(0, 1, kNaN, 1, 1, 1, 10, 0, 0); },
                        13, {X.read(reg::kReadStatus32)}},
        LineRefusalCase{"infinite_target", [] { return quvex_start_ta_move_zu(0, 1, -kInf, 1, 10, 0, 0); }, 13,
                    {Z.read(reg::read(reg::kPositionCounter)), U.read(reg::read(reg::kPositionCounter))}},
        LineRefusalCase{"absent_card", [] { return quvex_start_tr_move_xy(1, 1, 1, 1, 10, 0, 0); }, 30, {}},
        LineRefusalCase{"negative_card", [] { return quvex_start_sa_line2(-1, kLineXY, 1, 1, 1, 10, 0, 0, 0, 0); },
                        30, {}},
        LineRefusalCase{"four_axis_absent_card", [] { return quvex_start_tr_line4(3, 1, 1, 1, 1, 1, 0, 0, 0); },
                        30, {}}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quvex::test
