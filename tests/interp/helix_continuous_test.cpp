// Register traces of the helical starts and of continuous operation: the mode values by the ramp
// times, U's step count, the Z/U equalisation, the four-axis continuous arc and the queue watch.
#include <functional>

#include "card/card_table.h"
#include "line_support.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {



constexpr std::uint32_t kBit28 = 1u << 28;

// ---- helices ----

class Helix : public CardTest {};

TEST_F(Helix, WritesInOrderAndEqualisesZAndULast) {
    start_trace();
    ASSERT_EQ(quvex_start_tr_arc_xyz(0, 100, 0, 0, 0, 500, 1, 100, 1000, 0.1, 0.3), QUVEX_OK);
    EXPECT_EQ(register_sequence(),
              (written_codes({X, Y, Z, U}, {reg::kEnv1}) +
                  Seq{U.write(reg::kEnv2), X.write(reg::kOperationMode), Y.write(reg::kOperationMode),
                      U.write(reg::kOperationMode), Z.write(reg::kOperationMode), X.write(reg::kMoveAmount),
                      Y.write(reg::kMoveAmount), X.write(reg::kAuxAmount), Y.write(reg::kAuxAmount),
                      Z.write(reg::kMoveAmount), U.write(reg::kMoveAmount)} +
                  written_codes({X, Y, Z, U}, {reg::kSpeedRange, reg::kMaxSpeed, reg::kStartSpeed}) +
                  written_codes({X, Y, Z, U}, {reg::kAccelRate, reg::kDecelRate}) +
                  Seq{Z.write(reg::kMaxSpeed), U.write(reg::kMaxSpeed)} +
                  written_codes({X, Y, Z, U}, {reg::kRampDownPoint}) +
                  Seq{U.write(reg::kMaxSpeed), U.write(reg::kStartSpeed), Z.write(reg::kMaxSpeed),
                      Z.write(reg::kStartSpeed), X.command(cmd::on_axes(cmd::kStartRamped, 0b1111))}));
    for (int axis = 0; axis < 4; ++axis) EXPECT_EQ(axis_record(axis).mirror[chip::kEnv1] & kBit28, kBit28);
    EXPECT_EQ(axis_record(3).mirror[chip::kEnv2] & kBit28, kBit28) << "only U carries the helical bit";
    EXPECT_EQ(axis_record(2).mirror[chip::kEnv2] & kBit28, 0u);
}

TEST_F(Helix, FullTurnCountsItsStepsOnU) {
    ASSERT_EQ(quvex_start_tr_arc_xyz(0, 100, 0, 0, 0, 500, 0, 100, 1000, 0.1, 0.1), QUVEX_OK);
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(3, 0x80)), 567) << "trunc(565.685 + 2)";
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(2, 0x80)), 500);
    EXPECT_EQ(axis_record(3).target_pos, 567);
    EXPECT_EQ(axis_record(2).target_pos, 500);
}

struct HelixMode {
    const char* name;
    bool s_curve;
    int16_t dir;
    double tacc, tdec;
    std::uint32_t xy_mode, zu_mode;
    std::uint16_t command;
};

class HelixModes : public CardTest, public ::testing::WithParamInterface<HelixMode> {};

TEST_P(HelixModes, FollowTheRampTimes) {
    const HelixMode& c = GetParam();
    start_trace();
    const quvex_status s = c.s_curve
                               ? quvex_start_sr_arc_xyz(0, 100, 0, 0, 0, 500, c.dir, 100, 1000, c.tacc, c.tdec, 0, 0)
                               : quvex_start_tr_arc_xyz(0, 100, 0, 0, 0, 500, c.dir, 100, 1000, c.tacc, c.tdec);
    ASSERT_EQ(s, QUVEX_OK);
    for (const ChipAxis axis : {X, Y}) {
        EXPECT_EQ(written_values(axis, reg::kOperationMode), std::vector<std::uint32_t>{c.xy_mode}) << axis;
    }
    for (const ChipAxis axis : {Z, U}) {
        EXPECT_EQ(written_values(axis, reg::kOperationMode), std::vector<std::uint32_t>{c.zu_mode}) << axis;
    }
    EXPECT_EQ(commands_of(X), std::vector<std::uint32_t>{c.command});
}

// The start-up high half 0x0800: bit 27 stays on X/Y (the arc sets it), bit 26 is clear on Z/U.
INSTANTIATE_TEST_SUITE_P(
    RampTimes, HelixModes,
    ::testing::Values(HelixMode{"ccw_decel_three_times", false, 1, 0.1, 0.3, 0x08002067, 0x08002061, kXYZURamped},
                      HelixMode{"ccw_equal_times", false, 1, 0.1, 0.1, 0x08000067, 0x08000061, kXYZURamped},
                      // A zero deceleration time does not make the ramp-down manual here.
                      HelixMode{"no_decel", false, 0, 0.1, 0, 0x08000066, 0x08000061, kXYZURamped},
                      HelixMode{"no_accel", false, 0, 0, 0.1, 0x08002066, 0x08002061, kXYZUDecelerating},
                      HelixMode{"s_curve_keeps_trapezoid_modes", true, 0, 0.1, 0.3, 0x08002066, 0x08002061,
                                kXYZURamped}),
    [](const auto& p) { return std::string(p.param.name); });

struct Equalise {
    const char* name;
    double ez;  // U runs 567 pulses
    const char* giver;
};

class HelixEqualisation : public CardTest, public ::testing::WithParamInterface<Equalise> {};

TEST_P(HelixEqualisation, FasterOfZAndUGivesItsSpeeds) {
    const Equalise& c = GetParam();
    start_trace();
    // Long ramps limit the short one of the pair more than the long one.
    ASSERT_EQ(quvex_start_tr_arc_xyz(0, 100, 0, 0, 0, c.ez, 0, 100, 20000, 1, 1), QUVEX_OK);
    const std::uint32_t z_peak = written_values(Z, reg::kMaxSpeed).at(1);
    const std::uint32_t u_peak = written_values(U, reg::kMaxSpeed).at(1);
    const std::uint32_t expected = std::string(c.giver) == "Z" ? z_peak : u_peak;
    EXPECT_EQ(std::max(z_peak, u_peak), expected);
    EXPECT_EQ(chip_register(2, 0x82), expected);
    EXPECT_EQ(chip_register(3, 0x82), expected);
    EXPECT_EQ(axis_record(2).mirror[chip::kMirrorMaxSpeed], z_peak) << "the mirrors keep their own values";
    EXPECT_EQ(axis_record(3).mirror[chip::kMirrorMaxSpeed], u_peak);
}

INSTANTIATE_TEST_SUITE_P(Pairs, HelixEqualisation,
                         ::testing::Values(Equalise{"z_longer", 100000, "Z"}, Equalise{"u_longer", 50, "U"},
                                           Equalise{"same_length_goes_to_z", 567, "Z"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(Helix, RefusesZeroMaxSpeedBeforeAnything) {
    start_trace();
    EXPECT_EQ(quvex_start_ta_arc_xyz(0, 100, 0, 0, 0, 500, 0, 100, 0, 0.1, 0.1), QUVEX_ERR_ZERO_MAX_SPEED);
    EXPECT_EQ(register_sequence(), (Seq{X.read(reg::read(reg::kPositionCounter)),
                                        Y.read(reg::read(reg::kPositionCounter)),
                                        Z.read(reg::read(reg::kPositionCounter))})) << "the references come first";
    EXPECT_EQ(quvex_start_tr_arc_xyz(5, 100, 0, 0, 0, 500, 0, 100, 1000, 0.1, 0.1), QUVEX_ERR_CARD_NUMBER);
}

// ---- continuous operation ----

class Continuous : public CardTest {
protected:
    Continuous() : CardTest(2) {}
};

TEST_F(Continuous, ArcOnCardOneKeepsAllFourAxesInStep) {
    const int16_t pair[2] = {1, 3};
    start_trace();
    ASSERT_EQ(quvex_start_tr_arc2_conti(1, pair, 100, 0, 0, 0, 0, 100, 1000, 0.1, 0.1), QUVEX_OK);
    const std::vector<std::uint32_t> commands = commands_of(Y, 1);
    // Status reads first (Y, U, X, Z), then the start with all four selection bits.
    std::vector<CardEvent> axis_events = without_values(card_events({.device = 1}));
    std::erase_if(axis_events, [](const CardEvent& e) { return e.axis < 0; });
    ASSERT_GE(axis_events.size(), 4u);
    axis_events.resize(4);
    EXPECT_EQ(axis_events, on_device(1, status_reads({Y, U, X, Z})));
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back(), cmd::on_axes(cmd::kStartRamped, 0b1111));
    EXPECT_EQ(axis_record(4).mirror[chip::kMirrorOperationMode] & 0x7F, 0x41u) << "O1 is the card's X";
    EXPECT_EQ(written_values(Z, reg::kOperationMode, 1).size(), 2u) << "O2 gets the mode, then the rearmed mode";
}

TEST_F(Continuous, OtherAxesHoldStillOnlyInContinuousMode) {
    ASSERT_EQ(quvex_set_continuous_move(2, 1), QUVEX_OK);
    start_trace();
    ASSERT_EQ(quvex_start_tr_arc_xy_conti(0, 100, 0, 0, 0, 1, 100, 1000, 0.1, 0.3), QUVEX_OK);
    EXPECT_EQ(register_sequence(),
              (status_reads({X, Y, Z, U}) + written_codes({X, Y}, {reg::kEnv1, reg::kEnv2}) +
                  Seq{X.write(reg::kOperationMode), Y.write(reg::kOperationMode), Z.write(reg::kOperationMode),
                      U.write(reg::kOperationMode), X.write(reg::kMoveAmount), Y.write(reg::kMoveAmount),
                      X.write(reg::kAuxAmount), Y.write(reg::kAuxAmount)} +
                  written_codes({X, Y}, {reg::kSpeedRange, reg::kMaxSpeed, reg::kStartSpeed}) +
                  written_codes({X, Y}, {reg::kAccelRate, reg::kDecelRate}) +
                  Seq{Z.write(reg::kMoveAmount), Z.write(reg::kAuxAmount), Z.write(reg::kSpeedRange),
                      Z.write(reg::kMaxSpeed), Z.write(reg::kStartSpeed), Z.write(reg::kAccelRate),
                      Z.write(reg::kDecelRate)} +
                  Seq{X.write(reg::kArcStepCount), X.write(reg::kRampDownPoint), Y.write(reg::kRampDownPoint),
                      X.command(cmd::on_axes(cmd::kStartRamped, 0b1111)), X.write(reg::kOperationMode),
                      Y.write(reg::kOperationMode), Z.write(reg::kOperationMode), U.write(reg::kOperationMode)}));
    // X is not in continuous mode: bit 27 is clear until the start, then set for the next arc.
    EXPECT_EQ(written_values(X, reg::kOperationMode), (std::vector<std::uint32_t>{0x00002065, 0x08002065}));
    EXPECT_EQ(written_values(Z, reg::kOperationMode), (std::vector<std::uint32_t>{0x00000041, 0x08002065}));
    EXPECT_EQ(written_values(X, reg::kArcStepCount), std::vector<std::uint32_t>{567});
}

TEST_F(Continuous, ModeOfTwoIsNotOn) {
    ASSERT_EQ(quvex_start_tr_arc_xy(0, 50, 0, 100, 0, 0, 100, 1000, 0.1, 0.1), QUVEX_OK);
    ASSERT_EQ(quvex_set_continuous_move(0, 2), QUVEX_OK);
    EXPECT_EQ(axis_record(0).continuous_mode, 2);
    EXPECT_EQ(axis_record(0).target_pos, 0) << "switching on takes the present position";
    start_trace();
    ASSERT_EQ(quvex_start_ta_arc_xy_conti(0, 200, 0, 300, 0, 0, 100, 1000, 0.1, 0.1), QUVEX_OK);
    EXPECT_FALSE((reads_of(X, reg::read(reg::kPositionCounter)) == 0)) << "only 1 counts as on";
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(0, 0x80)), 300);
}

TEST_F(Continuous, BufferWatchAndCancel) {
    EXPECT_EQ(quvex_check_continuous_buffer(1), 0);
    EXPECT_EQ(quvex_check_continuous_buffer(47), 0) << "an absent axis has nothing queued";
    start_trace();
    EXPECT_EQ(quvex_cancel_continuous_buffer(1), QUVEX_OK);
    EXPECT_EQ(commands_of(Y), std::vector<std::uint32_t>{cmd::kCancelQueuedStart});
    EXPECT_EQ(quvex_cancel_continuous_buffer(47), QUVEX_ERR_CARD_NUMBER);
    EXPECT_EQ(quvex_set_continuous_move(-1, 1), QUVEX_ERR_CARD_NUMBER);
}

TEST_F(Continuous, RefusalsWriteNothing) {
    const int16_t same[2] = {1, 1};
    start_trace();
    EXPECT_EQ(quvex_start_tr_arc2_conti(0, same, 100, 0, 0, 0, 0, 100, 1000, 0, 0), QUVEX_ERR_AXIS_GROUP);
    EXPECT_EQ(register_sequence(), Seq{});
    EXPECT_EQ(quvex_start_tr_arc_xy_conti(0, 100, 0, 0, 0, 0, 100, 0, 0, 0), QUVEX_ERR_ZERO_MAX_SPEED);
    EXPECT_EQ(register_sequence(), status_reads({X, Y, Z, U})) << "the status reads come first";
}

}  // namespace
}  // namespace quvex::test
