// The four-axis module's profiles and single-axis moves: the arithmetic in the module's units and
// the registers each export sends, with its codes and check order.
#include "m4_fixture.h"
#include "modules/four_axis_profile.h"

namespace quvex::test {
namespace {

namespace m4 = modules::m4;

TEST(FourAxisProfile, SpeedRegistersFollowTheUnitTable) {
    struct Case {
        const char* name;
        double str_vel, max_vel;
        std::uint32_t range, fh, fl;
    };
    const Case cases[] = {
        {"16383 pps still counts in whole pulses", 0, 16383, 1199, 16383, 1},
        {"16384 pps takes two-pulse units", 0, 16384, 599, 8192, 1},
        {"4914 pps is the finest unit's top", 0, 4914, 3999, 16380, 4},
        {"just above it half-pulse units", 0, 4914.5, 2399, 9829, 2},
        {"a start below the lowest speed is raised to ceil(u)", 0.1, 1000, 3999, 3333, 4},
        {"top of the table", 0, 6553200, 2, 16383, 1},
        {"above the cap the coarsest unit", 0, 5e7, 1, 16383, 1},
        {"tie below the top: FH + 1", 9999.5, 10000.5, 1199, 10001, 10000},
        {"FL above FH: FH raised, then the tie", 10000.2, 10000.5, 1199, 10002, 10001},
        {"tie at the top: FL 8192", 16382.5, 16383, 1199, 16383, 8192},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const motion::SpeedRegisters s = m4::kProfile.speeds(c.str_vel, c.max_vel, std::nullopt);
        EXPECT_EQ(s.range, c.range);
        EXPECT_EQ(s.fh, c.fh);
        EXPECT_EQ(s.fl, c.fl);
    }
}

TEST(FourAxisProfile, RampRates) {
    // R 1199: FH 16383, FL 1, span 16382; one second is 9 830 400 / 16382 = 600.07 per unit.
    const double one_and_a_half = 1.5 * 16382 / 9830400.0;
    struct Case {
        const char* name;
        double tacc, sv;
        bool s_curve;
        std::uint32_t section, rate;
    };
    const Case cases[] = {
        {"T", 0.1, 0, false, 0, 59},
        {"T zero time is 1", 0, 0, false, 0, 1},
        {"T a quotient of 1.5 gives 0", one_and_a_half, 0, false, 0, 0},
        {"T long time at the 14-bit top", 100, 0, false, 0, 16383},
        {"S without a section counts half as fast", 0.1, 0, true, 0, 29},
        {"S with a section: the T formula", 0.1, 100, true, 100, 59},
        {"S tiny section is 1", 0.1, 0.4, true, 1, 59},
        {"S section at its top", 0.1, 1e7, true, 8191, 59},
        {"S long time at the 16-bit top", 1000, 100, true, 100, 65535},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const m4::Profile p = c.s_curve
                                  ? m4::kProfile.s_profile(0, 16383, c.tacc, c.tacc, c.sv, c.sv, std::nullopt)
                                  : m4::kProfile.t_profile(0, 16383, c.tacc, c.tacc, std::nullopt);
        EXPECT_EQ(p.rates.s_accel, c.section);
        EXPECT_EQ(p.rates.accel, c.rate);
        EXPECT_EQ(p.rates.decel, c.rate);
    }
}

TEST(FourAxisProfile, PinTakesItsOwnThresholds) {
    struct Case {
        double max_vel;
        std::uint32_t range, fh, fl;
    };
    const Case cases[] = {
        {4900, 3999, 16333, 4}, {4900.5, 2399, 9801, 2}, {8100.5, 1199, 8100, 1},
        {16000.5, 599, 8000, 1}, {6553000.5, 1, 10921, 1}, {1e8, 1, 16383, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.max_vel);
        const motion::SpeedRegisters s = m4::kProfile.pinned_speeds(c.max_vel);
        EXPECT_EQ(s.range, c.range);
        EXPECT_EQ(s.fh, c.fh);
        EXPECT_EQ(s.fl, c.fl);
    }
}

using FourAxisMotion = FourAxisTest;

TEST_F(FourAxisMotion, TCurveLoadsTheLiveRegistersThenTheStartSpeedCopy) {
    ASSERT_EQ(kring_m4_set_tmove_speed(r(), kSlave, 2, 0, -16383, 0.1, 0.2), KRING_ERR_SPEED_ORDER);
    ASSERT_EQ(kring_m4_set_tmove_speed(r(), kSlave, 2, -5, 16383, 0.1, 0.2), 0);
    const std::vector<AxisWrite> expected = {{0x95, 1199}, {0x92, 16383}, {0x91, 5}, {0x93, 59},
                                             {0x94, 119},  {0x97, 0},     {0x9B, 5}};
    EXPECT_EQ(axis_writes(2), expected);
    EXPECT_EQ(block(2).last_decel_time, 0.2);
}

TEST_F(FourAxisMotion, TieAtTheTopSendsFl8192) {
    ASSERT_EQ(kring_m4_set_tmove_speed(r(), kSlave, 0, 16382.5, 16383, 0.1, 0.1), 0);
    const std::vector<AxisWrite> w = axis_writes(0);
    ASSERT_EQ(w.size(), 7u);
    EXPECT_EQ(w[2], (AxisWrite{0x91, 8192}));
    EXPECT_EQ(w[6], (AxisWrite{0x9B, 8192}));
}

TEST_F(FourAxisMotion, SCurveOrderAndCurveBit) {
    ASSERT_EQ(kring_m4_set_smove_speed(r(), kSlave, 1, 0, 16383, 0.1, 0.1, 100, 0), 0);
    const std::vector<AxisWrite> expected = {{0x95, 1199}, {0x92, 16383}, {0x91, 1},     {0x99, 100}, {0x93, 59},
                                             {0x9A, 0},    {0x94, 29},    {0x97, 0x400}, {0x9B, 1}};
    EXPECT_EQ(axis_writes(1), expected);
    clear();
    ASSERT_EQ(kring_m4_set_tmove_speed(r(), kSlave, 1, 0, 16383, 0.1, 0.1), 0);
    EXPECT_EQ(axis_writes(1)[5], (AxisWrite{0x97, 0}));
}

TEST_F(FourAxisMotion, PinWritesFhAndFlAndHoldsTheUnitForLaterProfiles) {
    ASSERT_EQ(kring_m4_fix_speed_range(r(), kSlave, 3, 4900), 0);
    EXPECT_EQ(axis_writes(3), (std::vector<AxisWrite>{{0x92, 16333}, {0x91, 4}}));
    clear();
    ASSERT_EQ(kring_m4_set_tmove_speed(r(), kSlave, 3, 0, 100000, 0.1, 0.1), 0);
    EXPECT_EQ(axis_writes(3)[0], (AxisWrite{0x95, 3999}));
    ASSERT_EQ(kring_m4_unfix_speed_range(r(), kSlave, 3), 0);
    clear();
    ASSERT_EQ(kring_m4_set_tmove_speed(r(), kSlave, 3, 0, 100000, 0.1, 0.1), 0);
    EXPECT_EQ(axis_writes(3)[0], (AxisWrite{0x95, 119}));
}

TEST_F(FourAxisMotion, RelativeAndAbsoluteMoves) {
    EXPECT_EQ(kring_m4_start_r_move(r(), kSlave, 1, 1000), KRING_ERR_NO_PROFILE);
    EXPECT_TRUE(transfers().empty());
    ASSERT_EQ(kring_m4_set_tmove_speed(r(), kSlave, 1, 0, 1000, 0.1, 0.1), 0);
    clear();
    ASSERT_EQ(kring_m4_start_r_move(r(), kSlave, 1, -1), 0);
    EXPECT_EQ(axis_writes(1), (std::vector<AxisWrite>{{0x97, 0x41}, {0x90, 0x0FFFFFFF}, {0x53, 0}}));
    EXPECT_EQ(block(1).target_pos, -1);

    station.axis_regs[1][0xE4] = static_cast<std::uint32_t>(-300);
    clear();
    ASSERT_EQ(kring_m4_start_a_move(r(), kSlave, 1, 200), 0);
    EXPECT_EQ(transfers()[0], (Words{axis_command_word(1), 0xE4, axis_data_read(1)}));
    EXPECT_EQ(axis_writes(1), (std::vector<AxisWrite>{{0x97, 0x41}, {0x90, 500}, {0x53, 0}}));
    EXPECT_EQ(block(1).target_pos, 200);
    EXPECT_EQ(block(1).prev_target_pos, -1);
}

TEST_F(FourAxisMotion, MoveChecksInOrder) {
    struct Case {
        const char* name;
        std::uint16_t ring, slave;
        std::int16_t axis;
        std::int32_t dist;
        quvex_status expected;
    };
    const Case cases[] = {
        {"distance first", 3, 64, 9, 134217728, KRING_ERR_MOVE_RANGE},
        {"lowest distance passes to the slave check", 3, 64, 9, -134217728, KRING_ERR_SLAVE},
        {"then the ring", 3, kSlave, 9, 0, KRING_ERR_NOT_OPEN},
        {"then the axis", 0, kSlave, -1, 0, KRING_ERR_AXIS},
        {"then the profile", 0, kSlave, 3, 0, KRING_ERR_NO_PROFILE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(kring_m4_start_r_move(c.ring, c.slave, c.axis, c.dist), c.expected);
    }
    EXPECT_TRUE(transfers().empty());
}

TEST_F(FourAxisMotion, CountersAndReadings) {
    EXPECT_EQ(kring_m4_set_command(r(), kSlave, 0, 134217729), KRING_ERR_COUNTER_RANGE);
    ASSERT_EQ(kring_m4_set_command(r(), kSlave, 0, 134217728), 0);
    ASSERT_EQ(kring_m4_set_position(r(), kSlave, 0, -1), 0);
    EXPECT_EQ(axis_writes(0), (std::vector<AxisWrite>{{0xA3, 0x08000000}, {0xA4, 0x0FFFFFFF}}));

    ASSERT_EQ(kring_m4_set_tmove_speed(r(), kSlave, 2, 0, 16384, 0.1, 0.1), 0);  // R 599: two pulses a unit
    station.axis_regs[2][0xF5] = 0x12345;
    station.axis_regs[2][0xF1] = 0xABCD;
    station.axis_regs[2][0xE3] = 0xFFFFFFFF;
    double speed = 0;
    std::uint16_t done = 0;
    std::uint32_t command = 0;
    ASSERT_EQ(kring_m4_get_current_speed(r(), kSlave, 2, &speed), 0);
    ASSERT_EQ(kring_m4_motion_done(r(), kSlave, 2, &done), 0);
    ASSERT_EQ(kring_m4_get_command(r(), kSlave, 2, &command), 0);
    EXPECT_EQ(speed, 0x2345 * 2.0);
    EXPECT_EQ(done, 0x0D);
    EXPECT_EQ(command, 0xFFFFFFFFu);
}

TEST_F(FourAxisMotion, LatchReadingIsSignedAndTheThirdIsScaled) {
    EXPECT_EQ(kring_m4_get_latch_data(7, 99, 9, 0, nullptr), KRING_ERR_LATCH_NUMBER);
    station.axis_regs[1][0xEE] = static_cast<std::uint32_t>(-10);
    station.axis_regs[1][0xEF] = 30;
    block(1).move_ratio = 2.0;
    double latch2 = 0, latch3 = 0;
    ASSERT_EQ(kring_m4_get_latch_data(r(), kSlave, 1, 2, &latch2), 0);
    ASSERT_EQ(kring_m4_get_latch_data(r(), kSlave, 1, 3, &latch3), 0);
    EXPECT_EQ(latch2, -10);
    EXPECT_EQ(latch3, 15);
}

}  // namespace
}  // namespace quvex::test
