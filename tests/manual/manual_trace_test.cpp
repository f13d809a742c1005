// Register and board-port traces of the manual exports, their status codes and check order.
#include <functional>
#include <limits>
#include <utility>

#include "card/card_table.h"
#include "manual_support.h"
#include "special_values.h"

namespace quvex::test {
namespace {

using Events = std::vector<CardEvent>;
const int16_t kXY[2] = {0, 1};

class ManualTrace : public CardTest {};

// Operation-mode words: the start-up word (bit 27) with the manual source's or the pulser
// move's kind; the pulser line also asks for the manual ramp-down point (bit 13).
constexpr std::uint32_t kManualRampDown = 1u << 13;
constexpr std::uint32_t kKindHandWheel = 0x01;  // also the pulser speed move
constexpr std::uint32_t kKindJog = 0x02;
constexpr std::uint32_t kKindStep = 0x56;
constexpr std::uint32_t kKindPulserPositioning = 0x51;
constexpr std::uint32_t kKindPulserHomeMinus = 0x55;
constexpr std::uint32_t kKindPulserLine = 0x6A;
constexpr std::uint32_t kKindPulserArcCcw = 0x6D;
// The board's manual control word: the enable bit, the one-axis choice and the wheel's axis.
constexpr std::uint32_t kManualEnable = 0x80;
constexpr std::uint32_t kWheelOneAxis = 0x40;
constexpr std::uint32_t wheel_axis(unsigned axis) { return axis << 4; }
// Speed registers at range 2999 count 10 units per pps.
constexpr std::uint32_t kRange2999 = 2999;
constexpr std::uint32_t at_r2999(std::uint32_t pps) { return pps * 10; }

// ---- what each export writes, in order ----

struct TraceCase {
    const char* name;
    std::function<quvex_status()> call;
    Events expected;
};

class ManualSequence : public CardTest, public ::testing::WithParamInterface<TraceCase> {};

TEST_P(ManualSequence, WritesInOrder) {
    start_trace();
    ASSERT_EQ(GetParam().call(), QUVEX_OK);
    EXPECT_EQ(manual_writes(), GetParam().expected);
}

// The events of `Each` repeated on each axis in turn, X to U.
constexpr ChipAxis Each{-1};
Events each_axis(const Events& events) {
    Events out;
    for (const ChipAxis axis : {X, Y, Z, U}) {
        for (CardEvent e : events) {
            e.axis = axis;
            out.push_back(e);
        }
    }
    return out;
}

Events manual_control(std::uint32_t word) { return {board_write(board::kManualControl, word)}; }
Events manual_control_read_then(std::uint32_t word) {
    return {board_read(board::kManualControl, 0), board_write(board::kManualControl, word)};
}

// Range, FH, FL, then the rates floor(0.1 s * 4915200 / (FH - FL) - 1), in the live bank.
Events speed_profile(ChipAxis a, std::uint32_t fh, std::uint32_t fl, std::uint32_t rate) {
    return {a.write(reg::live(reg::kSpeedRange), kRange2999), a.write(reg::live(reg::kMaxSpeed), fh),
            a.write(reg::live(reg::kStartSpeed), fl), a.write(reg::live(reg::kAccelRate), rate),
            a.write(reg::live(reg::kDecelRate), rate)};
}

// A pulser move at 500 pps on one axis: FH one unit above FL.
Events pulser_speeds(ChipAxis a) {
    return {a.write(reg::kSpeedRange, kRange2999), a.write(reg::kMaxSpeed, at_r2999(500) + 1),
            a.write(reg::kStartSpeed, at_r2999(500))};
}

INSTANTIATE_TEST_SUITE_P(
    Exports, ManualSequence,
    ::testing::Values(
        TraceCase{"jog_on", [] { return quvex_enable_jog(0, 1); },
                  manual_control(kManualEnable) +
                      each_axis({Each.write(reg::live(reg::kOperationMode), startup::kOperationMode | kKindJog),
                                 Each.command(cmd::kStartRamped)})},
        TraceCase{"jog_off", [] { return quvex_enable_jog(0, 0); },
                  manual_control(0) + each_axis({Each.command(cmd::kImmediateStop)})},
        TraceCase{"jog_other_value", [] { return quvex_enable_jog(0, 7); }, manual_control(0)},
        // 250.9 pulses per step, truncated.
        TraceCase{"step_on", [] { return quvex_enable_step(1, 1, 250.9); },
                  Events{Y.write(reg::live(reg::kMoveAmount), 250)} + manual_control(kManualEnable) +
                      Events{Y.write(reg::live(reg::kOperationMode), startup::kOperationMode | kKindStep),
                             Y.command(cmd::kStartRamped)}},
        TraceCase{"step_off", [] { return quvex_enable_step(1, 0, 250); },
                  manual_control(0) + Events{Y.command(cmd::kImmediateStop)}},
        TraceCase{"step_other_value", [] { return quvex_enable_step(1, 2, 250); }, Events{}},
        // Start speed 50 % of 200, maximum 50 % of 1000: FH 500 pps, FL 100 pps; rates 0.1 s over
        // 4000 units: 121.
        TraceCase{"jog_velocity", [] { return quvex_set_jog_velocity(2, 200, 1000, 0.1, 0.1, 50); },
                  speed_profile(Z, at_r2999(500), at_r2999(100), 121)},
        TraceCase{"step_velocity", [] { return quvex_set_step_velocity(2, 200, 1000, 0.1, 0.1, 50); },
                  speed_profile(Z, at_r2999(500), at_r2999(100), 121) +
                      Events{Z.write(reg::live(reg::kRampDownPoint), 0)}},
        // The hand wheel starts at 100 pulses per second whatever str_vel says: FH 1000 pps, rates
        // 0.1 s over 9000 units: 53.
        TraceCase{"mpg_velocity", [] { return quvex_set_mpg_velocity(0, 700, 1000, 0.1, 0.1); },
                  speed_profile(X, at_r2999(1000), at_r2999(100), 53)},
        TraceCase{"mpg_on_all_axes", [] { return quvex_set_mpg_config(0, 1, 0, 0); },
                  manual_control_read_then(kManualEnable) +
                      each_axis({Each.write(reg::live(reg::kOperationMode), startup::kOperationMode | kKindHandWheel),
                                 Each.command(cmd::kStartAtMaxSpeed), Each.write(reg::kEnv3, startup::kEnv3)})},
        TraceCase{"mpg_on_one_axis", [] { return quvex_set_mpg_config(0, 1, 1, 2); },
                  manual_control_read_then(kManualEnable | kWheelOneAxis | wheel_axis(2)) +
                      Events{Z.write(reg::live(reg::kOperationMode), startup::kOperationMode | kKindHandWheel),
                             Z.command(cmd::kStartAtMaxSpeed), Z.write(reg::kEnv3, startup::kEnv3)}},
        TraceCase{"mpg_off", [] { return quvex_set_mpg_config(0, 0, 1, 3); },
                  manual_control_read_then(kWheelOneAxis | wheel_axis(3)) +
                      each_axis({Each.write(reg::kEnv3, startup::kEnv3), Each.command(cmd::kImmediateStop)})},
        // Ratio 10 / 3 in env6's upper half: (3 - 1) << 11 | (10 - 1).
        TraceCase{"pulser_ratio", [] { return quvex_set_pulser_ratio(3, 10, 3); },
                  Events{U.write(reg::kEnv6, ((3 - 1) << 11 | (10 - 1)) << 16)}},
        // Mode 7 masked to env2's two bits 24-25, inverse 3 masked to its one bit 26.
        TraceCase{"pulser_input_mode", [] { return quvex_set_pulser_iptmode(0, 7, 3); },
                  Events{X.write(reg::kEnv2, startup::kEnv2 | 3u << 24 | 1u << 26)}},
        TraceCase{"pulser_speed_move", [] { return quvex_pulser_vmove(0, 500); },
                  Events{X.write(reg::kOperationMode, startup::kOperationMode | kKindHandWheel)} + pulser_speeds(X) +
                      Events{X.command(cmd::kStartAtStartSpeed)}},
        // -1000.7 pulses, truncated.
        TraceCase{"pulser_positioning", [] { return quvex_pulser_pmove(1, -1000.7, 500); },
                  Events{Y.write(reg::kOperationMode, startup::kOperationMode | kKindPulserPositioning),
                         Y.write(reg::kMoveAmount, static_cast<std::uint32_t>(-1000))} +
                      pulser_speeds(Y) + Events{Y.command(cmd::kStartAtStartSpeed)}},
        TraceCase{"pulser_home_minus", [] { return quvex_pulser_home_move(0, 1, 500); },
                  Events{X.write(reg::kOperationMode, startup::kOperationMode | kKindPulserHomeMinus)} +
                      pulser_speeds(X) +
                      Events{X.command(cmd::kStartAtStartSpeed)}},
        // Both axes at |speed| unscaled (FH one unit above FL), 0.1 s ramps over that one unit (the
        // rate limited to 0xFFFF), the ramp-down point from the full speed.
        TraceCase{"pulser_line", [] { return quvex_pulser_r_line2(0, kXY, 300, -400, -500); },
                  Events{X.write(reg::kOperationMode, startup::kOperationMode | kManualRampDown | kKindPulserLine),
                         Y.write(reg::kOperationMode, startup::kOperationMode | kManualRampDown | kKindPulserLine),
                         X.write(reg::kMoveAmount, 300),
                         Y.write(reg::kMoveAmount, static_cast<std::uint32_t>(-400))} +
                      pulser_speeds(X) + pulser_speeds(Y) +
                      Events{X.write(reg::kAccelRate, 0xFFFF), X.write(reg::kDecelRate, 0xFFFF),
                             Y.write(reg::kAccelRate, 0xFFFF), Y.write(reg::kDecelRate, 0xFFFF),
                             X.write(reg::kRampDownPoint, 6), Y.write(reg::kRampDownPoint, 6),
                             X.command(cmd::on_axes(cmd::kStartRamped, 0b0011))}},
        // Counter-clockwise, end (200, 0), centre (100, 0); the arc's start speed of 0 is raised
        // to the range's lowest, 1 pps.
        TraceCase{"pulser_arc", [] { return quvex_pulser_r_arc2(0, kXY, 100, 0, 200, 0, 1, 500); },
                  Events{X.write(reg::kOperationMode, startup::kOperationMode | kKindPulserArcCcw),
                         Y.write(reg::kOperationMode, startup::kOperationMode | kKindPulserArcCcw),
                         X.write(reg::kMoveAmount, 200), Y.write(reg::kMoveAmount, 0),
                         X.write(reg::kAuxAmount, 100), Y.write(reg::kAuxAmount, 0),
                         X.write(reg::kSpeedRange, kRange2999), X.write(reg::kMaxSpeed, at_r2999(500)),
                         X.write(reg::kStartSpeed, at_r2999(1)), Y.write(reg::kSpeedRange, kRange2999),
                         Y.write(reg::kMaxSpeed, at_r2999(500)), Y.write(reg::kStartSpeed, at_r2999(1)),
                         X.command(cmd::on_axes(cmd::kStartAtMaxSpeed, 0b0011))}},
        TraceCase{"wheel_axis_choice", [] {
                      quvex_set_mof_mode(0, 1);
                      return quvex_manual_mpg(0, 2);
                  },
                  manual_control_read_then(wheel_axis(2))}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- worked figures and refusals ----

TEST_F(ManualTrace, JogPercentageZeroIsRefusedAndStoresNothing) {
    start_trace();
    EXPECT_EQ(quvex_set_jog_velocity(0, 200, 1000, 0.1, 0.1, 0), QUVEX_ERR_SPEED_PERCENT);
    EXPECT_EQ(quvex_set_step_velocity(0, 200, 1000, 0.1, 0.1, 0), QUVEX_ERR_SPEED_PERCENT);
    EXPECT_TRUE(manual_writes().empty());
    const AxisRecord& rec = axis_record(0);
    EXPECT_EQ(rec.jog.start_speed, 100.0);
    EXPECT_EQ(rec.jog_param, 10);
    EXPECT_EQ(rec.step_param, 10);
}

TEST_F(ManualTrace, MofModeFourChangesNothingAndFiveIsRefused) {
    ASSERT_EQ(quvex_set_mof_mode(0, 2), QUVEX_OK);
    for (const int accepted : {4, -1, -32768}) {
        EXPECT_EQ(quvex_set_mof_mode(0, static_cast<int16_t>(accepted)), QUVEX_OK);
        EXPECT_EQ(card_record(0).mof_mode, 2);
    }
    for (const int value : {5, 6, 32767}) {
        const auto refused = static_cast<int16_t>(value);
        EXPECT_EQ(quvex_set_mof_mode(0, refused), QUVEX_ERR_MOF_MODE);
        EXPECT_EQ(quvex_set_mof_config(0, refused), QUVEX_ERR_MOF_MODE);
    }
    EXPECT_EQ(card_record(0).mof_mode, 2);
}

// Which mof setters each mode allows (0) and refuses (51).
struct OwnerCase {
    int16_t mode;
    quvex_status mpg, jog, step, distance, wheel_axis;
};

class MofOwner : public CardTest, public ::testing::WithParamInterface<OwnerCase> {};

TEST_P(MofOwner, SettersActOnlyInTheirMode) {
    const OwnerCase& c = GetParam();
    ASSERT_EQ(quvex_set_mof_config(0, c.mode), QUVEX_OK);
    EXPECT_EQ(card_record(0).mof_mode, c.mode);
    EXPECT_EQ(quvex_set_mof_mpg_velocity(1, 100, 2000, 0.1, 0.1), c.mpg);
    EXPECT_EQ(quvex_set_mof_jog_velocity(1, 100, 2000, 0.1, 0.1, 20), c.jog);
    EXPECT_EQ(quvex_set_mof_step_velocity(1, 100, 2000, 0.1, 0.1, 20), c.step);
    EXPECT_EQ(quvex_set_mof_step_distance(1, 123), c.distance);
    EXPECT_EQ(quvex_manual_mpg(0, 1), c.wheel_axis);
    EXPECT_EQ(axis_record(1).step_distance, c.distance == QUVEX_OK ? 123.0 : 400.0);
}

constexpr quvex_status kOk = QUVEX_OK, kNo = QUVEX_ERR_MOF_MODE_OWNER;
INSTANTIATE_TEST_SUITE_P(Modes, MofOwner,
                         ::testing::Values(OwnerCase{0, kOk, kNo, kNo, kNo, kNo}, OwnerCase{1, kOk, kNo, kNo, kNo, kOk},
                                           OwnerCase{2, kNo, kOk, kNo, kNo, kOk}, OwnerCase{3, kNo, kNo, kOk, kOk, kOk}));

TEST_F(ManualTrace, WheelAxisChoiceRightAfterStartUpIsRefused) {
    start_trace();
    EXPECT_EQ(quvex_manual_mpg(0, 1), QUVEX_ERR_MOF_MODE_OWNER);
    EXPECT_TRUE(manual_writes().empty());
    EXPECT_EQ(card_record(0).mpg_option, 3);
}

TEST_F(ManualTrace, HandWheelConfigChecksInOrder) {
    start_trace();
    EXPECT_EQ(quvex_set_mpg_config(1, 2, 2, 4), QUVEX_ERR_CARD_NUMBER);  // above max_card first
    EXPECT_EQ(quvex_set_mpg_config(-1, 1, 0, 0), QUVEX_ERR_CARD_NUMBER);
    EXPECT_EQ(quvex_set_mpg_config(0, 2, 2, 4), QUVEX_ERR_MPG_ENABLE);
    EXPECT_EQ(quvex_set_mpg_config(0, -1, 0, 0), QUVEX_ERR_MPG_ENABLE);
    EXPECT_EQ(quvex_set_mpg_config(0, 1, 2, 4), QUVEX_ERR_MPG_MODE);
    EXPECT_EQ(quvex_set_mpg_config(0, 1, 1, 4), QUVEX_ERR_MPG_AXIS);
    EXPECT_EQ(quvex_set_mpg_config(0, 1, 1, -1), QUVEX_ERR_MPG_AXIS);
    uint16_t status = 0xBEEF;
    EXPECT_EQ(quvex_get_mpg_status(1, &status), QUVEX_ERR_CARD_NUMBER);
    EXPECT_EQ(quvex_get_mof_status(-3, &status), QUVEX_ERR_CARD_NUMBER);
    EXPECT_EQ(status, 0xBEEF);
    EXPECT_TRUE(manual_writes().empty());
}

TEST_F(ManualTrace, PulserHomeDirectionOutOfRangeWritesNothing) {
    start_trace();
    for (const int dir : {2, -1, 255}) {
        EXPECT_EQ(quvex_pulser_home_move(0, static_cast<int16_t>(dir), 500), QUVEX_ERR_PULSER_HOME_DIR);
    }
    EXPECT_EQ(quvex_pulser_home_move(99, 2, 500), QUVEX_ERR_PULSER_HOME_DIR);  // direction before the axis
    EXPECT_TRUE(manual_writes().empty());
}

TEST_F(ManualTrace, PulserPairMovesCheckPairThenSpeedThenValuesThenCard) {
    const int16_t bad[2] = {1, 0};
    start_trace();
    EXPECT_EQ(quvex_pulser_r_line2(0, bad, 10, 10, 0), QUVEX_ERR_AXIS_GROUP);
    EXPECT_EQ(quvex_pulser_r_line2(0, nullptr, 10, 10, 100), QUVEX_ERR_AXIS_GROUP);
    EXPECT_EQ(quvex_pulser_r_arc2(5, kXY, 0, 0, 1, 1, 0, 0), QUVEX_ERR_ZERO_MAX_SPEED);
    EXPECT_EQ(quvex_pulser_r_line2(5, kXY, 10, 10, kNaN), QUVEX_ERR_ZERO_MAX_SPEED);
    EXPECT_EQ(quvex_pulser_r_arc2(5, kXY, kNaN, 0, 1, 1, 0, 100), QUVEX_ERR_PULSE_RANGE);
    EXPECT_EQ(quvex_pulser_r_line2(5, kXY, 10, 10, 100), QUVEX_ERR_CARD_NUMBER);
    EXPECT_TRUE(manual_writes().empty());
    EXPECT_EQ(axis_record(0).target_pos, 0.0);
}

TEST_F(ManualTrace, AbsentAxesAndCardsAreRefused) {
    start_trace();
    EXPECT_EQ(quvex_enable_jog(-1, 1), QUVEX_ERR_CARD_NUMBER);
    EXPECT_EQ(quvex_enable_step(4, 1, 10), QUVEX_ERR_CARD_NUMBER);
    EXPECT_EQ(quvex_set_pulser_ratio(-1, 1, 1), QUVEX_ERR_CARD_NUMBER);
    EXPECT_EQ(quvex_set_mof_config(12, 0), QUVEX_ERR_CARD_NUMBER);
    EXPECT_EQ(quvex_enable_mof(-1), QUVEX_ERR_CARD_NUMBER);
    EXPECT_EQ(quvex_set_mof_jog_velocity(47, 1, 2, 0, 0, 10), QUVEX_ERR_CARD_NUMBER);
    EXPECT_TRUE(manual_writes().empty());
}

// set_pulser_ratio: bits 16-26 hold ratio_p - 1, bits 27-31 ratio_m - 1, the low half stays.
struct RatioCase {
    int16_t p, m;
    uint32_t high_half;
};

class PulserRatio : public CardTest, public ::testing::WithParamInterface<RatioCase> {};

TEST_P(PulserRatio, FillsTheUpperHalfOfEnv6) {
    ASSERT_EQ(quvex_set_pulser_ratio(0, GetParam().p, GetParam().m), QUVEX_OK);
    const uint32_t env6 = chip_reg(X, reg::kEnv6);
    EXPECT_EQ(env6 >> 16, GetParam().high_half);
    EXPECT_EQ(env6 & 0xFFFF, axis_record(0).mirror[chip::kEnv6] & 0xFFFF);
    EXPECT_EQ(axis_record(0).ratio_p, GetParam().p);
    EXPECT_EQ(axis_record(0).ratio_m, GetParam().m);
}

INSTANTIATE_TEST_SUITE_P(Fields, PulserRatio,
                         ::testing::Values(RatioCase{2048, 1, 2047}, RatioCase{1, 1, 0}, RatioCase{1, 32, 31u << 11},
                                           RatioCase{2048, 32, 0xFFFF}, RatioCase{10, 3, (2u << 11) | 9}));

TEST_F(ManualTrace, RatioKeepsTheBacklashHalf) {
    ASSERT_EQ(quvex_backlash_comp(0, 100), QUVEX_OK);
    const uint32_t low = chip_reg(X, reg::kEnv6) & 0xFFFF;
    ASSERT_EQ(quvex_set_pulser_ratio(0, 2048, 1), QUVEX_OK);
    EXPECT_EQ(chip_reg(X, reg::kEnv6), (2047u << 16) | low);
}

// ---- the status word: control bits 0-3, then the status port's fields ----

TEST_F(ManualTrace, StatusReadsBothPorts) {
    ASSERT_EQ(quvex_set_mpg_config(0, 1, 1, 2), QUVEX_OK);  // control word 0x00E0: bits 0-3 clear
    // Status port bits 0-2 go to 4-6, bits 4-5 to 7-8, bit 7 to 9; the others are dropped.
    for (const auto& [port, expected] : {std::pair<uint16_t, uint16_t>{0xFF35, 0x01D0}, {0x0080, 0x0200},
                                         {0xFF48, 0x0000}}) {
        quvex_sim_set_wheel_status(0, port);
        uint16_t mpg = 0, mof = 0;
        EXPECT_EQ(quvex_get_mpg_status(0, &mpg), QUVEX_OK);
        EXPECT_EQ(quvex_get_mof_status(0, &mof), QUVEX_OK);
        EXPECT_EQ(mpg, expected) << std::hex << port;
        EXPECT_EQ(mof, expected);
    }
    EXPECT_EQ(quvex_get_mpg_status(0, nullptr), QUVEX_OK);
}

// ---- mode switches ----

class ManualTwoCards : public CardTest {
protected:
    ManualTwoCards() : CardTest(2) {}
};

TEST_F(ManualTwoCards, HandWheelDisableStopsOnlyItsCardsAxes) {
    start_trace();
    ASSERT_EQ(quvex_set_mpg_config(1, 0, 0, 0), QUVEX_OK);
    const auto stops = [](int device) {
        return card_events({.kind = QUVEX_SIM_EV_CHIP_COMMAND, .device = device, .code = cmd::kImmediateStop}).size();
    };
    EXPECT_EQ(stops(0), 0u);
    EXPECT_EQ(stops(1), 4u);
    EXPECT_TRUE(card_events({.kind = QUVEX_SIM_EV_CHIP_REG_WRITE, .device = 0}).empty());
    EXPECT_EQ(card_events({.kind = QUVEX_SIM_EV_CHIP_REG_WRITE, .device = 1, .code = reg::kEnv3}).size(), 4u);
}

TEST_F(ManualTrace, SwitchToJogReappliesTheJogProfileAndKeepsTheStepOne) {
    ASSERT_EQ(quvex_set_step_velocity(0, 300, 3000, 0.2, 0.3, 40), QUVEX_OK);
    ASSERT_EQ(quvex_set_jog_velocity(0, 200, 1000, 0.1, 0.1, 50), QUVEX_OK);
    ASSERT_EQ(quvex_set_mpg_velocity(0, 100, 8000, 0.1, 0.1), QUVEX_OK);  // overwrites the live speeds
    ASSERT_EQ(quvex_set_mof_config(0, 2), QUVEX_OK);
    EXPECT_EQ(chip_reg(X, reg::live(reg::kMaxSpeed)), 5000u);
    EXPECT_EQ(chip_reg(X, reg::live(reg::kStartSpeed)), 1000u);
    EXPECT_EQ(chip_reg(X, reg::live(reg::kOperationMode)) & 0x7F, kKindJog);
    const AxisRecord& rec = axis_record(0);
    EXPECT_EQ(rec.step.start_speed, 300.0);
    EXPECT_EQ(rec.step.max_speed, 3000.0);
    EXPECT_EQ(rec.step.accel_time, 0.2);
    EXPECT_EQ(rec.step.decel_time, 0.3);
    EXPECT_EQ(rec.step_param, 40);
}

TEST_F(ManualTrace, EverySwitchDisablesAllSourcesFirst) {
    start_trace();
    ASSERT_EQ(quvex_set_mof_config(0, 4), QUVEX_OK);
    // The hand wheel off, jog off and step off on each axis, then the idle switches the jog off.
    const Events expected = manual_control_read_then(0) +
                            each_axis({Each.write(reg::kEnv3, startup::kEnv3), Each.command(cmd::kImmediateStop)}) +
                            manual_control(0) + Events{X.command(cmd::kImmediateStop)} + manual_control(0) +
                            Events{Y.command(cmd::kImmediateStop)} + manual_control(0) +
                            Events{Z.command(cmd::kImmediateStop)} + manual_control(0) +
                            Events{U.command(cmd::kImmediateStop)} + manual_control(0) +
                            each_axis({Each.command(cmd::kImmediateStop)});
    EXPECT_EQ(manual_writes(), expected);
}

TEST_F(ManualTrace, HandWheelModesReapplyProfileAndRatio) {
    ASSERT_EQ(quvex_set_pulser_ratio(2, 4, 2), QUVEX_OK);
    ASSERT_EQ(quvex_set_mpg_velocity(2, 100, 2000, 0.1, 0.1), QUVEX_OK);
    ASSERT_EQ(quvex_set_jog_velocity(2, 100, 500, 0.1, 0.1, 100), QUVEX_OK);
    ASSERT_EQ(quvex_set_mof_mode(0, 1), QUVEX_OK);
    ASSERT_EQ(quvex_manual_mpg(0, 2), QUVEX_OK);
    start_trace();
    ASSERT_EQ(quvex_enable_mof(0), QUVEX_OK);
    EXPECT_EQ(card_record(0).mof_mode, 1);
    EXPECT_EQ(chip_reg(Z, reg::live(reg::kMaxSpeed)), 20000u);
    EXPECT_EQ(chip_reg(Z, reg::kEnv6) >> 16, (1u << 11) | 3u);
    // Only the chosen axis is put into the hand-wheel kind.
    EXPECT_EQ(card_events({.kind = QUVEX_SIM_EV_CHIP_COMMAND, .device = 0, .code = cmd::kStartAtMaxSpeed}),
              Events{Z.command(cmd::kStartAtMaxSpeed)});
}

}  // namespace
}  // namespace quvex::test
