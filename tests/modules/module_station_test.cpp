// The virtual one-axis module driven through the library: moves that end on their count, stops,
// inputs reaching the status exports and outputs reaching the module.
#include "module_station_fixture.h"

namespace quvex::test {
namespace {

TEST_F(ModuleStationTest, RingFindsTheModule) {
    std::uint32_t table[2] = {};
    ASSERT_EQ(kring_get_ring_active_table(r(), table), 0);
    EXPECT_EQ(table[0], 1u << kSlave);
    EXPECT_EQ(kring_get_slave_info(r(), kSlave), 0xA3);
}

TEST_F(ModuleStationTest, MoveOf10000EndsOn10000AndReadsBackThroughTheRing) {
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 100, 20000, 0.1, 0.1), 0);
    ASSERT_EQ(kring_m1_start_r_move(r(), kSlave, 10000), 0);
    EXPECT_NE(done(), 0);
    ASSERT_TRUE(run_until_stopped());

    const quvex_sim_motion_info info = chip();
    EXPECT_EQ(info.command_counter, 10000);
    EXPECT_EQ(info.position_counter, 10000);
    EXPECT_EQ(info.stop_reason, 0u);
    EXPECT_LE(info.peak_speed, 20000.0);

    std::uint32_t cmd = 0, pos = 0;
    ASSERT_EQ(kring_m1_get_command(r(), kSlave, &cmd), 0);
    ASSERT_EQ(kring_m1_get_position(r(), kSlave, &pos), 0);
    EXPECT_EQ(cmd, 10000u);
    EXPECT_EQ(pos, 10000u);

    // An absolute move back below zero reads the counter first and lands on the target.
    ASSERT_EQ(kring_m1_start_a_move(r(), kSlave, -2500), 0);
    ASSERT_TRUE(run_until_stopped());
    ASSERT_EQ(kring_m1_get_position(r(), kSlave, &pos), 0);
    EXPECT_EQ(static_cast<std::int32_t>(pos), -2500);
}

TEST_F(ModuleStationTest, SpeedAndRemainingPulsesReadWhileMoving) {
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 0, 5000, 0.05, 0.05), 0);
    ASSERT_EQ(kring_m1_start_r_move(r(), kSlave, 20000), 0);
    quvex_sim_advance(1.0);
    double speed = 0, rmv_now = 0, rmv_set = 0, fh_now = 0, fh_set = 0;
    ASSERT_EQ(kring_m1_get_current_speed(r(), kSlave, &speed), 0);
    EXPECT_DOUBLE_EQ(speed, 5000.0);
    ASSERT_EQ(kring_m1_get_rmv(r(), kSlave, &rmv_now, &rmv_set), 0);
    EXPECT_EQ(rmv_set, 20000.0);
    EXPECT_LT(rmv_now, 20000.0);  // the pulses left of the running move
    std::uint32_t left = 0;
    ASSERT_EQ(quvex_sim_module_register(0, kSlave, 0, 0xF4, &left), 0);
    EXPECT_EQ(rmv_now, static_cast<double>(left));
    ASSERT_EQ(kring_m1_get_FH(r(), kSlave, &fh_now, &fh_set), 0);
    EXPECT_EQ(fh_now, fh_set);
    EXPECT_EQ(done(), 2);  // constant speed
}

// A stop during a move: how the axis comes to rest and what the module reports.
TEST_F(ModuleStationTest, StopsEndTheMove) {
    struct Case {
        const char* name;
        void (*stop)(std::uint16_t ring, std::uint16_t slave);
        bool decelerates;
        std::uint16_t error_status;
    };
    const Case cases[] = {
        {"decelerating stop", [](std::uint16_t g, std::uint16_t s) { kring_m1_sd_stop(g, s); }, true, 0x04},
        {"emergency stop", [](std::uint16_t g, std::uint16_t s) { kring_m1_emg_stop(g, s); }, false, 0x08},
        {"+ end limit", [](std::uint16_t, std::uint16_t s) { quvex_sim_module_set_input(0, s, 0, QUVEX_SIM_INPUT_EL_PLUS, 1); },
         false, 0x01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        input(QUVEX_SIM_INPUT_EL_PLUS, false);
        ASSERT_EQ(kring_m1_reset_command(r(), kSlave), 0);
        ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 100, 10000, 0.2, 0.2), 0);
        ASSERT_EQ(kring_m1_start_r_move(r(), kSlave, 100000), 0);
        quvex_sim_advance(0.5);  // at full speed
        c.stop(r(), kSlave);
        const std::int32_t at_stop = chip().command_counter;
        if (c.decelerates) {
            EXPECT_EQ(done(), 4);  // decelerating
            quvex_sim_advance(0.05);
            const quvex_sim_motion_info mid = chip();
            EXPECT_GT(mid.command_counter, at_stop);
            EXPECT_LT(mid.speed, 10000.0);
            EXPECT_GT(mid.speed, 0.0);
        }
        ASSERT_TRUE(run_until_stopped(1.0));
        const quvex_sim_motion_info end = chip();
        EXPECT_LT(end.command_counter, 100000);
        if (c.decelerates) {
            EXPECT_GT(end.ended_at - end.started_at, 0.5 + 0.15);
        } else {
            EXPECT_EQ(end.command_counter, at_stop);
        }
        std::uint8_t flags = 0;
        ASSERT_EQ(kring_m1_check_int(r(), kSlave, &flags), 0);
        EXPECT_EQ(flags & 0x05, 0x05);  // stopped, error status pending
        std::uint16_t serr = 0;
        ASSERT_EQ(kring_m1_get_serr(r(), kSlave, &serr), 0);
        EXPECT_EQ(serr, c.error_status);
        ASSERT_EQ(kring_m1_check_int(r(), kSlave, &flags), 0);
        EXPECT_EQ(flags & 0x04, 0);  // reading the error status cleared it
    }
}

TEST_F(ModuleStationTest, EventStatusFollowsTheInterruptFactors) {
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 100, 10000, 0.1, 0.1), 0);
    ASSERT_EQ(kring_m1_start_r_move(r(), kSlave, 2000), 0);
    ASSERT_TRUE(run_until_stopped());
    std::uint8_t flags = 0;
    ASSERT_EQ(kring_m1_check_int(r(), kSlave, &flags), 0);
    EXPECT_EQ(flags, 0x03);  // stopped, a move ended; no factor enabled, no event status
    std::uint16_t sevt = 0xFFFF;
    ASSERT_EQ(kring_m1_get_sevt(r(), kSlave, &sevt), 0);
    EXPECT_EQ(sevt, 0);

    ASSERT_EQ(kring_m1_set_int_factor(r(), kSlave, 0x1), 0);  // move ended
    ASSERT_EQ(kring_m1_set_int_factor(r(), kSlave, 0x4), 0);  // deceleration begun
    ASSERT_EQ(kring_m1_start_r_move(r(), kSlave, 2000), 0);
    ASSERT_TRUE(run_until_stopped());
    ASSERT_EQ(kring_m1_check_int(r(), kSlave, &flags), 0);
    EXPECT_EQ(flags, 0x0B);
    ASSERT_EQ(kring_m1_get_sevt(r(), kSlave, &sevt), 0);
    EXPECT_EQ(sevt, 0x5);
    ASSERT_EQ(kring_m1_check_int(r(), kSlave, &flags), 0);
    EXPECT_EQ(flags, 0x01);
}

// Each machine input of the module and where the library reports it.
TEST_F(ModuleStationTest, InputsReachTheStatusExports) {
    struct Case {
        int signal;
        std::uint32_t io_bit;
    };
    const Case cases[] = {
        {QUVEX_SIM_INPUT_ALARM, 0},        {QUVEX_SIM_INPUT_ORIGIN, 1},       {QUVEX_SIM_INPUT_INDEX, 2},
        {QUVEX_SIM_INPUT_IN_POSITION, 3},  {QUVEX_SIM_INPUT_SLOW_DOWN, 4},    {QUVEX_SIM_INPUT_LATCH, 5},
        {QUVEX_SIM_INPUT_GENERAL0, 6},     {QUVEX_SIM_INPUT_GENERAL0 + 1, 7}, {QUVEX_SIM_INPUT_GENERAL0 + 2, 8},
        {QUVEX_SIM_INPUT_GENERAL0 + 3, 12}, {QUVEX_SIM_INPUT_EL_PLUS, 14},     {QUVEX_SIM_INPUT_EL_MINUS, 15},
    };
    ASSERT_EQ(io_status(), 0u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signal);
        input(c.signal, true);
        EXPECT_EQ(io_status(), 1u << c.io_bit);
        input(c.signal, false);
        EXPECT_EQ(io_status(), 0u);
    }
    for (std::uint16_t ch = 0; ch < 2; ++ch) {
        SCOPED_TRACE(ch);
        EXPECT_EQ(kring_m1_dio_input(r(), kSlave, ch), 0);
        input(QUVEX_SIM_M1_INPUT_DI0 + ch, true);
        EXPECT_EQ(kring_m1_dio_input(r(), kSlave, ch), 1);
        EXPECT_EQ(kring_m1_dio_input(r(), kSlave, static_cast<std::uint16_t>(1 - ch)), 0);
        input(QUVEX_SIM_M1_INPUT_DI0 + ch, false);
    }
}

TEST_F(ModuleStationTest, OutputsReachTheModule) {
    struct Case {
        const char* name;
        int (*set)(std::uint16_t ring, std::uint16_t slave, std::uint16_t on);
        int module_bit;      // in the module's output byte, -1: none
        std::uint32_t io_bit;  // in the I/O status word, 0: none
    };
    const Case cases[] = {
        {"servo on", [](std::uint16_t g, std::uint16_t s, std::uint16_t on) { return int{kring_m1_set_svon(g, s, on)}; }, 0,
         1u << 9},
        {"alarm reset", [](std::uint16_t g, std::uint16_t s, std::uint16_t on) { return int{kring_m1_set_ralm(g, s, on)}; }, 1,
         1u << 10},
        {"deviation clear", [](std::uint16_t g, std::uint16_t s, std::uint16_t on) { return int{kring_m1_set_erc_on(g, s, on ? 1 : 0)}; },
         -1, 1u << 11},
        {"digital output 0", [](std::uint16_t g, std::uint16_t s, std::uint16_t on) { return int{kring_m1_dio_output(g, s, 0, on)}; },
         2, 0},
        {"digital output 1", [](std::uint16_t g, std::uint16_t s, std::uint16_t on) { return int{kring_m1_dio_output(g, s, 1, on)}; },
         3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.set(r(), kSlave, 1), 0);
        const int expected = c.module_bit < 0 ? 0 : 1 << c.module_bit;
        EXPECT_EQ(quvex_sim_m1_outputs(0, kSlave), expected);
        EXPECT_EQ(quvex_sim_ring_io_get(0, kSlave, 3), expected);
        ASSERT_EQ(c.set(r(), kSlave, 0), 0);
        EXPECT_EQ(quvex_sim_m1_outputs(0, kSlave), 0);
        // Status read last: it copies the input byte into the output mirror.
        ASSERT_EQ(c.set(r(), kSlave, 1), 0);
        EXPECT_EQ(io_status(), c.io_bit);
        ASSERT_EQ(c.set(r(), kSlave, 0), 0);
    }
}

TEST_F(ModuleStationTest, CountersAreSetAndClearedOnTheModule) {
    ASSERT_EQ(kring_m1_set_command(r(), kSlave, 1234), 0);
    ASSERT_EQ(kring_m1_set_position(r(), kSlave, 5678), 0);
    quvex_sim_motion_info info = chip();
    EXPECT_EQ(info.command_counter, 1234);
    EXPECT_EQ(info.position_counter, 5678);
    ASSERT_EQ(kring_m1_reset_command(r(), kSlave), 0);
    info = chip();
    EXPECT_EQ(info.command_counter, 0);
    EXPECT_EQ(info.position_counter, 5678);
    ASSERT_EQ(kring_m1_reset_position(r(), kSlave), 0);
    EXPECT_EQ(chip().position_counter, 0);
}

TEST_F(ModuleStationTest, VelocityMoveRunsUntilStoppedAndChangesSpeed) {
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 100, 4000, 0.1, 0.1), 0);
    ASSERT_EQ(kring_m1_v_move(r(), kSlave, 0), 0);  // minus
    quvex_sim_advance(1.0);
    EXPECT_DOUBLE_EQ(chip().speed, 4000.0);
    EXPECT_LT(chip().command_counter, -3000);
    ASSERT_EQ(kring_m1_v_change(r(), kSlave, 2000, 0.1), 0);
    quvex_sim_advance(0.5);
    EXPECT_DOUBLE_EQ(chip().speed, 2000.0);
    ASSERT_EQ(kring_m1_sd_stop(r(), kSlave), 0);
    ASSERT_TRUE(run_until_stopped(1.0));
}

TEST_F(ModuleStationTest, ModuleResetStopsTheAxisAndClearsItsRegisters) {
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 100, 4000, 0.1, 0.1), 0);
    ASSERT_EQ(kring_m1_v_move(r(), kSlave, 1), 0);
    quvex_sim_advance(0.2);
    ASSERT_EQ(kring_m1_initial(r(), kSlave), 0);
    EXPECT_EQ(done(), 0);
    std::uint32_t fh = 1;
    ASSERT_EQ(quvex_sim_module_register(0, kSlave, 0, 0xD2, &fh), 0);
    EXPECT_EQ(fh, 0u);
    std::uint8_t flags = 0;
    ASSERT_EQ(kring_m1_check_int(r(), kSlave, &flags), 0);
    EXPECT_EQ(flags, 0x01);  // the reset's own stop leaves nothing pending
}

TEST(ModuleStationControls, RefuseWhatIsNotAModule) {
    install_cards({0});
    ASSERT_EQ(quvex_sim_ring_add_io_slave(0, 2, 0x81, 0), 0);
    ASSERT_EQ(quvex_sim_ring_add_m1_module(0, 3), 0);
    quvex_sim_motion_info info{};
    EXPECT_EQ(quvex_sim_module_motion_info(0, 2, 0, &info), -1);  // an I/O station
    EXPECT_EQ(quvex_sim_module_motion_info(0, 3, 1, &info), -1);  // one axis only
    EXPECT_EQ(quvex_sim_module_motion_info(1, 3, 0, &info), -1);  // no card
    EXPECT_EQ(quvex_sim_ring_add_m1_module(0, 64), -1);
    EXPECT_EQ(quvex_sim_module_set_input(0, 3, 0, 99, 1), -1);
    EXPECT_EQ(quvex_sim_module_set_input(0, 3, 0, QUVEX_SIM_M1_INPUT_DI1 + 1, 1), -1);
    EXPECT_EQ(quvex_sim_module_register(0, 3, 0, 0x49, nullptr), -1);  // a command, not a register
    EXPECT_EQ(quvex_sim_m1_outputs(0, 2), -1);
    reset_installation();
}

}  // namespace
}  // namespace quvex::test
