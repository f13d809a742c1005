// Register and board-port traces of the manual exports, their status codes and check order.
#include <functional>
#include <limits>
#include <utility>

#include "frame/card_table.h"
#include "manual_support.h"
#include "trace_match.h"
#include "special_values.h"

namespace quvex::test {
namespace {

using Lines = std::vector<std::string>;
const int16_t kXY[2] = {0, 1};

class ManualTrace : public CardTest {};

// ---- what each export writes, in order ----

struct TraceCase {
    const char* name;
    std::function<quvex_status()> call;
    Lines expected;
};

class ManualSequence : public CardTest, public ::testing::WithParamInterface<TraceCase> {};

TEST_P(ManualSequence, WritesInOrder) {
    start_trace();
    ASSERT_EQ(GetParam().call(), QUVEX_OK);
    EXPECT_EQ(manual_writes(), GetParam().expected);
}

Lines per_axis(std::initializer_list<const char*> lines) {
    Lines out;
    for (const char* axis : {"X", "Y", "Z", "U"}) {
        for (const char* l : lines) out.push_back(std::string(axis) + " " + l);
    }
    return out;
}

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Exports, ManualSequence,
    ::testing::Values(
        TraceCase{"jog_on", [] { return quvex_enable_jog(0, 1); },
                  Lines{"board 10 <- 0080"} + per_axis({"reg 97 <- 08000002", "cmd 0053"})},
        TraceCase{"jog_off", [] { return quvex_enable_jog(0, 0); },
                  Lines{"board 10 <- 0000"} + per_axis({"cmd 0049"})},
        TraceCase{"jog_other_value", [] { return quvex_enable_jog(0, 7); }, Lines{"board 10 <- 0000"}},
        TraceCase{"step_on", [] { return quvex_enable_step(1, 1, 250.9); },
                  Lines{"Y reg 90 <- 000000FA", "board 10 <- 0080", "Y reg 97 <- 08000056", "Y cmd 0053"}},
        TraceCase{"step_off", [] { return quvex_enable_step(1, 0, 250); }, Lines{"board 10 <- 0000", "Y cmd 0049"}},
        TraceCase{"step_other_value", [] { return quvex_enable_step(1, 2, 250); }, Lines{}},
        // Start speed 50 % of 200, maximum 50 % of 1000: range 2999, FH 5000, FL 1000.
        TraceCase{"jog_velocity", [] { return quvex_set_jog_velocity(2, 200, 1000, 0.1, 0.1, 50); },
                  Lines{"Z reg 95 <- 00000BB7", "Z reg 92 <- 00001388", "Z reg 91 <- 000003E8", "Z reg 93 <- 00000079",
                        "Z reg 94 <- 00000079"}},
        TraceCase{"step_velocity", [] { return quvex_set_step_velocity(2, 200, 1000, 0.1, 0.1, 50); },
                  Lines{"Z reg 95 <- 00000BB7", "Z reg 92 <- 00001388", "Z reg 91 <- 000003E8", "Z reg 93 <- 00000079",
                        "Z reg 94 <- 00000079", "Z reg 96 <- 00000000"}},
        // The hand wheel starts at 100 pulses per second whatever str_vel says.
        TraceCase{"mpg_velocity", [] { return quvex_set_mpg_velocity(0, 700, 1000, 0.1, 0.1); },
                  Lines{"X reg 95 <- 00000BB7", "X reg 92 <- 00002710", "X reg 91 <- 000003E8", "X reg 93 <- 00000035",
                        "X reg 94 <- 00000035"}},
        TraceCase{"mpg_on_all_axes", [] { return quvex_set_mpg_config(0, 1, 0, 0); },
                  Lines{"board 10 -> 0000", "board 10 <- 0080"} +
                      per_axis({"reg 97 <- 08000001", "cmd 0051", "reg 9E <- 00F02000"})},
        TraceCase{"mpg_on_one_axis", [] { return quvex_set_mpg_config(0, 1, 1, 2); },
                  Lines{"board 10 -> 0000", "board 10 <- 00E0", "Z reg 97 <- 08000001", "Z cmd 0051",
                        "Z reg 9E <- 00F02000"}},
        TraceCase{"mpg_off", [] { return quvex_set_mpg_config(0, 0, 1, 3); },
                  Lines{"board 10 -> 0000", "board 10 <- 0070"} + per_axis({"reg 9E <- 00F02000", "cmd 0049"})},
        TraceCase{"pulser_ratio", [] { return quvex_set_pulser_ratio(3, 10, 3); }, Lines{"U reg A1 <- 10090000"}},
        TraceCase{"pulser_input_mode", [] { return quvex_set_pulser_iptmode(0, 7, 3); },
                  Lines{"X reg 9D <- 0730C515"}},
        TraceCase{"pulser_speed_move", [] { return quvex_pulser_vmove(0, 500); },
                  Lines{"X reg 87 <- 08000001", "X reg 85 <- 00000BB7", "X reg 82 <- 00001389",
                        "X reg 81 <- 00001388", "X cmd 0050"}},
        TraceCase{"pulser_positioning", [] { return quvex_pulser_pmove(1, -1000.7, 500); },
                  Lines{"Y reg 87 <- 08000051", "Y reg 80 <- FFFFFC18", "Y reg 85 <- 00000BB7",
                        "Y reg 82 <- 00001389", "Y reg 81 <- 00001388", "Y cmd 0050"}},
        TraceCase{"pulser_home_minus", [] { return quvex_pulser_home_move(0, 1, 500); },
                  Lines{"X reg 87 <- 08000055", "X reg 85 <- 00000BB7", "X reg 82 <- 00001389",
                        "X reg 81 <- 00001388", "X cmd 0050"}},
        // Both axes at |speed| unscaled (FH one unit above FL), 0.1 s ramps over that one unit, the
        // ramp-down point from the full speed.
        TraceCase{"pulser_line", [] { return quvex_pulser_r_line2(0, kXY, 300, -400, -500); },
                  Lines{"X reg 87 <- 0800206A", "Y reg 87 <- 0800206A", "X reg 80 <- 0000012C",
                        "Y reg 80 <- FFFFFE70", "X reg 85 <- 00000BB7", "X reg 82 <- 00001389",
                        "X reg 81 <- 00001388", "Y reg 85 <- 00000BB7", "Y reg 82 <- 00001389",
                        "Y reg 81 <- 00001388", "X reg 83 <- 0000FFFF", "X reg 84 <- 0000FFFF",
                        "Y reg 83 <- 0000FFFF", "Y reg 84 <- 0000FFFF", "X reg 86 <- 00000006",
                        "Y reg 86 <- 00000006", "X cmd 0353"}},
        // The arc's start speed of 0 is raised to the range's lowest, 1 pps.
        TraceCase{"pulser_arc", [] { return quvex_pulser_r_arc2(0, kXY, 100, 0, 200, 0, 1, 500); },
                  Lines{"X reg 87 <- 0800006D", "Y reg 87 <- 0800006D", "X reg 80 <- 000000C8",
                        "Y reg 80 <- 00000000", "X reg 88 <- 00000064", "Y reg 88 <- 00000000",
                        "X reg 85 <- 00000BB7", "X reg 82 <- 00001388", "X reg 81 <- 0000000A",
                        "Y reg 85 <- 00000BB7", "Y reg 82 <- 00001388", "Y reg 81 <- 0000000A", "X cmd 0351"}},
        TraceCase{"wheel_axis_choice", [] {
                      quvex_set_mof_mode(0, 1);
                      return quvex_manual_mpg(0, 2);
                  },
                  Lines{"board 10 -> 0000", "board 10 <- 0020"}}),
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
    const uint32_t env6 = chip_reg(0, 0xA1);
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
    const uint32_t low = chip_reg(0, 0xA1) & 0xFFFF;
    ASSERT_EQ(quvex_set_pulser_ratio(0, 2048, 1), QUVEX_OK);
    EXPECT_EQ(chip_reg(0, 0xA1), (2047u << 16) | low);
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
        return texts_matching({.kind = QUVEX_SIM_EV_CHIP_COMMAND, .device = device, .code = 0x0049}).size();
    };
    EXPECT_EQ(stops(0), 0u);
    EXPECT_EQ(stops(1), 4u);
    EXPECT_TRUE(texts_matching({.kind = QUVEX_SIM_EV_CHIP_REG_WRITE, .device = 0}).empty());
    EXPECT_EQ(texts_matching({.kind = QUVEX_SIM_EV_CHIP_REG_WRITE, .device = 1, .code = 0x9E}).size(), 4u);
}

TEST_F(ManualTrace, SwitchToJogReappliesTheJogProfileAndKeepsTheStepOne) {
    ASSERT_EQ(quvex_set_step_velocity(0, 300, 3000, 0.2, 0.3, 40), QUVEX_OK);
    ASSERT_EQ(quvex_set_jog_velocity(0, 200, 1000, 0.1, 0.1, 50), QUVEX_OK);
    ASSERT_EQ(quvex_set_mpg_velocity(0, 100, 8000, 0.1, 0.1), QUVEX_OK);  // overwrites the live speeds
    ASSERT_EQ(quvex_set_mof_config(0, 2), QUVEX_OK);
    EXPECT_EQ(chip_reg(0, 0x92), 5000u);
    EXPECT_EQ(chip_reg(0, 0x91), 1000u);
    EXPECT_EQ(chip_reg(0, 0x97) & 0x7F, 0x02u);
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
    const Lines expected = Lines{"board 10 -> 0000", "board 10 <- 0000"} + per_axis({"reg 9E <- 00F02000", "cmd 0049"}) +
                           Lines{"board 10 <- 0000", "X cmd 0049", "board 10 <- 0000", "Y cmd 0049",
                                 "board 10 <- 0000", "Z cmd 0049", "board 10 <- 0000", "U cmd 0049",
                                 "board 10 <- 0000"} +
                           per_axis({"cmd 0049"});
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
    EXPECT_EQ(chip_reg(2, 0x92), 20000u);
    EXPECT_EQ(chip_reg(2, 0xA1) >> 16, (1u << 11) | 3u);
    // Only the chosen axis is put into the hand-wheel kind.
    EXPECT_EQ(texts_matching({.kind = QUVEX_SIM_EV_CHIP_COMMAND, .device = 0, .code = 0x0051}),
              std::vector<std::string>{"d0.Z cmd 0051"});
}

}  // namespace
}  // namespace quvex::test
