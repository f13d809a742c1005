// Group moves and group synchronisation: register traces and refusals.
#include <cmath>
#include <limits>

#include "card/card_table.h"
#include "line_support.h"
#include "sim_fixture.h"
#include "special_values.h"

namespace quvex::test {
namespace {

// Three axes X, Y, Z of card 0 with their parallel arrays.
struct Arrays {
    int16_t axes[3] = {0, 1, 2};
    double value[3] = {100, 200, 300};
    double str_vel[3] = {10, 10, 10};
    double max_vel[3] = {1000, 1000, 1000};
    double tacc[3] = {0.1, 0.1, 0.1};
    double tdec[3] = {0.1, 0.1, 0.1};
    double sv_acc[3] = {0, 0, 0};
    double sv_dec[3] = {0, 0, 0};

    quvex_status tr(int16_t n) { return quvex_set_tr_move_all(n, axes, value, str_vel, max_vel, tacc, tdec); }
    quvex_status ta(int16_t n) { return quvex_set_ta_move_all(n, axes, value, str_vel, max_vel, tacc, tdec); }
    quvex_status sr(int16_t n) {
        return quvex_set_sr_move_all(n, axes, value, str_vel, max_vel, tacc, tdec, sv_acc, sv_dec);
    }
    quvex_status sa(int16_t n) {
        return quvex_set_sa_move_all(n, axes, value, str_vel, max_vel, tacc, tdec, sv_acc, sv_dec);
    }
};

class GroupMove : public CardTest {
protected:
    Arrays a;
};

TEST_F(GroupMove, ProgramsAndStartsEachAxisInTurn) {
    start_trace();
    ASSERT_EQ(a.tr(2), QUVEX_OK);
    const auto one_axis = [](ChipAxis axis) {
        return Seq{axis.write(reg::kOperationMode), axis.write(reg::kMoveAmount), axis.write(reg::kSpeedRange),
                   axis.write(reg::kMaxSpeed), axis.write(reg::kStartSpeed), axis.write(reg::kAccelRate),
                   axis.write(reg::kDecelRate), axis.write(reg::kMaxSpeed), axis.write(reg::kRampDownPoint),
                   axis.command(cmd::kStartRamped)};
    };
    EXPECT_EQ(register_sequence(), one_axis(X) + one_axis(Y)) << "env2 is not written by group moves";
    EXPECT_EQ(axis_record(1).target_pos, 200);
    EXPECT_EQ(axis_record(1).last_decel_time, 0.1);
}

TEST_F(GroupMove, ZeroMaxSpeedStopsAtThatAxis) {
    a.max_vel[1] = 0;
    start_trace();
    EXPECT_EQ(a.tr(3), QUVEX_ERR_ZERO_MAX_SPEED);
    EXPECT_EQ(commands_of(X), std::vector<std::uint32_t>{cmd::kStartRamped});
    EXPECT_TRUE(card_events({.device = 0, .axis = Y}).empty());
    EXPECT_TRUE(card_events({.device = 0, .axis = Z}).empty());
    EXPECT_EQ(axis_record(0).target_pos, 100);
    EXPECT_EQ(axis_record(1).target_pos, 0);
}

TEST_F(GroupMove, NanMaxSpeedIsTreatedAsZero) {
    a.max_vel[2] = kNaN;
    EXPECT_EQ(a.sr(3), QUVEX_ERR_ZERO_MAX_SPEED);
    EXPECT_EQ(axis_record(1).target_pos, 200);
    EXPECT_EQ(axis_record(2).target_pos, 0);
}

struct GroupModeCase {
    const char* name;
    bool s_curve;
    double tacc, tdec;
    std::uint32_t mode;
    bool ramp_down_point;
    std::uint16_t command;
};

class GroupMode : public CardTest, public ::testing::WithParamInterface<GroupModeCase> {};

// Always the manual ramp-down point, whatever the times; bit 26 set, bit 27 from start-up kept.
TEST_P(GroupMode, AlwaysManualRampDown) {
    const GroupModeCase& c = GetParam();
    Arrays a;
    a.tacc[0] = c.tacc;
    a.tdec[0] = c.tdec;
    start_trace();
    ASSERT_EQ(c.s_curve ? a.sr(1) : a.tr(1), QUVEX_OK);
    EXPECT_EQ(written_values(X, reg::kOperationMode), std::vector<std::uint32_t>{c.mode});
    EXPECT_EQ(chip_register(0, 0x86) != 0, c.ramp_down_point);
    EXPECT_EQ(commands_of(X), std::vector<std::uint32_t>{c.command});
}

INSTANTIATE_TEST_SUITE_P(
    RampTimes, GroupMode,
    ::testing::Values(GroupModeCase{"t_equal_times", false, 0.1, 0.1, 0x0C002041, true, cmd::kStartRamped},
                      GroupModeCase{"t_no_ramps", false, 0, 0, 0x0C002041, false, cmd::kStartAtMaxSpeed},
                      GroupModeCase{"s_no_accel", true, 0, 0.1, 0x0C002441, true, cmd::kStartDecelerating},
                      GroupModeCase{"s_no_ramps", true, 0, 0, 0x0C002441, false, cmd::kStartAtMaxSpeed}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(GroupMove, AbsoluteMeasuresFromPositionOrTarget) {
    ASSERT_EQ(quvex_set_position(0, 40), QUVEX_OK);
    ASSERT_EQ(quvex_set_command(1, 90), QUVEX_OK);
    axis_record(1).feedback_src = 1;  // ignored by group moves: the position is used
    axis_record(2).continuous_mode = 1;
    axis_record(2).target_pos = 250;
    ASSERT_EQ(a.ta(3), QUVEX_OK);
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(0, 0x80)), 60);
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(1, 0x80)), 200);
    EXPECT_EQ(static_cast<std::int32_t>(chip_register(2, 0x80)), 50);
    EXPECT_EQ(axis_record(2).target_pos, 300);
    EXPECT_EQ(axis_record(2).prev_target_pos, 250);
}

TEST_F(GroupMove, KeepsTheSyncOptions) {
    ASSERT_EQ(quvex_set_sync_option(0, 1, 1, 3, 3), QUVEX_OK);
    ASSERT_EQ(a.sa(1), QUVEX_OK);
    EXPECT_EQ(axis_record(0).mirror[chip::kMirrorOperationMode] & 0xFFFF0000u, 0x0F3C0000u) << "options 24, 25, 3 at bit 18, 3 at bit 20; 26 from the start; 27 from start-up";
}

// ---- refusals before anything is written ----

struct GroupRefusalCase {
    const char* name;
    quvex_status (*call)(Arrays&);
    quvex_status status;
};

class GroupRefusal : public CardTest, public ::testing::WithParamInterface<GroupRefusalCase> {};

TEST_P(GroupRefusal, TouchesNothing) {
    Arrays a;
    start_trace();
    EXPECT_EQ(GetParam().call(a), GetParam().status);
    EXPECT_TRUE(card_events().empty());
    for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(axis_record(axis).target_pos, 0);
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, GroupRefusal,
    ::testing::Values(
        GroupRefusalCase{"no_axes", [](Arrays& a) { return a.tr(0); }, QUVEX_OK},
        GroupRefusalCase{"negative_count_with_null_arrays",
                         [](Arrays&) {
                             return quvex_set_sr_move_all(-1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                          nullptr, nullptr);
                         },
                         QUVEX_OK},
        GroupRefusalCase{"more_than_48_axes", [](Arrays& a) { return a.tr(49); }, 15},
        GroupRefusalCase{"null_axes",
                         [](Arrays& a) {
                             return quvex_set_tr_move_all(3, nullptr, a.value, a.str_vel, a.max_vel, a.tacc, a.tdec);
                         },
                         15},
        GroupRefusalCase{"null_section",
                         [](Arrays& a) {
                             return quvex_set_sr_move_all(3, a.axes, a.value, a.str_vel, a.max_vel, a.tacc, a.tdec,
                                                          a.sv_acc, nullptr);
                         },
                         15},
        GroupRefusalCase{"absent_card_late_in_array",
                         [](Arrays& a) {
                             a.axes[2] = 5;  // card 1 is not installed
                             return a.tr(3);
                         },
                         30},
        GroupRefusalCase{"nan_distance_late_in_array",
                         [](Arrays& a) {
                             a.value[2] = kNaN;
                             return a.tr(3);
                         },
                         13},
        GroupRefusalCase{"nan_distance_before_nan_time_of_an_earlier_axis",
                         [](Arrays& a) {
                             a.tdec[0] = kNaN;
                             a.value[1] = kNaN;
                             return a.tr(3);
                         },
                         13},
        GroupRefusalCase{"nan_start_speed",
                         [](Arrays& a) {
                             a.str_vel[1] = kNaN;
                             return a.ta(3);
                         },
                         11},
        GroupRefusalCase{"infinite_section",
                         [](Arrays& a) {
                             a.sv_dec[2] = std::numeric_limits<double>::infinity();
                             return a.sa(3);
                         },
                         11}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- synchronisation ----

class GroupSync : public CardTest {};

TEST_F(GroupSync, OptionBitsInTheHighHalf) {
    start_trace();
    ASSERT_EQ(quvex_set_sync_option(1, 1, 0, 1, 2), QUVEX_OK);
    // Start-up 0x08000000: bit 24 set, bit 25 clear, 1*4 + 2*16 = 0x24 in bits 2-7 of the high half.
    EXPECT_EQ(register_sequence(), (Seq{Y.write(reg::live(reg::kOperationMode)), Y.write(reg::kEnv2)}));
    EXPECT_EQ(written_values(Y, reg::live(reg::kOperationMode)), std::vector<std::uint32_t>{0x09240000});
    EXPECT_EQ(written_values(Y, reg::kEnv2), std::vector<std::uint32_t>{0x2030C515});

    // A second call replaces the option fields; bit 24 needs exactly 1.
    quvex_sim_trace_clear();
    ASSERT_EQ(quvex_set_sync_option(1, 2, 1, 0, 1), QUVEX_OK);
    EXPECT_EQ(written_values(Y, reg::live(reg::kOperationMode)), std::vector<std::uint32_t>{0x0A100000});
}

TEST_F(GroupSync, WideOptionValuesStayInTheHighHalf) {
    ASSERT_EQ(quvex_set_sync_option(0, 0, 0, -1, 0), QUVEX_OK);
    EXPECT_EQ(axis_record(0).mirror[chip::kMirrorOperationMode], 0xFFFC0000u);
}

TEST_F(GroupSync, StopModeSetsAndClearsEnv1Bit27) {
    start_trace();
    ASSERT_EQ(quvex_set_sync_stop_mode(2, 1), QUVEX_OK);
    ASSERT_EQ(quvex_set_sync_stop_mode(2, 0), QUVEX_OK);
    ASSERT_EQ(quvex_set_sync_stop_mode(2, 1), QUVEX_OK);
    ASSERT_EQ(quvex_set_sync_stop_mode(2, 7), QUVEX_OK);
    EXPECT_EQ(written_values(Z, reg::kEnv1),
              (std::vector<std::uint32_t>{0x0C8002C7, 0x048002C7, 0x0C8002C7, 0x048002C7}));
}

TEST_F(GroupSync, SimultaneousStartAndStopCommands) {
    start_trace();
    ASSERT_EQ(quvex_start_move_all(3), QUVEX_OK);
    ASSERT_EQ(quvex_stop_move_all(1), QUVEX_OK);
    EXPECT_EQ(register_sequence(), (Seq{U.command(cmd::kSyncStart), Y.command(cmd::kSyncStop)}));
}

TEST_F(GroupSync, UnusableAxisIsRefused) {
    start_trace();
    for (int16_t axis : {int16_t{4}, int16_t{-1}}) {
        EXPECT_EQ(quvex_start_move_all(axis), 30);
        EXPECT_EQ(quvex_stop_move_all(axis), 30);
        EXPECT_EQ(quvex_set_sync_option(axis, 1, 1, 1, 1), 30);
        EXPECT_EQ(quvex_set_sync_stop_mode(axis, 1), 30);
    }
    EXPECT_TRUE(card_events().empty());
}

}  // namespace
}  // namespace quvex::test
