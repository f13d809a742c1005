// The one-axis module's set-up, counter and I/O exports: the messages they send, the mirrors
// they keep, and their codes and check order.
#include <functional>

#include "module_fixture.h"
#include "modules/one_axis_readings.h"
#include "ring/ring_table.h"

namespace quvex::test {
namespace {

struct FrameCase {
    const char* name;
    std::function<quvex_status(std::uint16_t, std::uint16_t)> call;
    std::vector<Frame> expected;
};

class ModuleSignals : public ModuleTest {};

TEST_F(ModuleSignals, InitialResetsTheModuleAndSetsItsEnvironment) {
    ASSERT_EQ(kring_m1_initial(r(), kSlave), 0);
    EXPECT_EQ(sent(), (std::vector<Frame>{frame(0x04), frame(0x9D, 0x000F), frame(0x9E, 0x1000)}));
}

TEST_F(ModuleSignals, EachSetterSendsItsWholeMirror) {
    // After initial env1 = 0, env2 = 0x000F, env3 = 0x1000, env4 = 0; each case starts from there.
    const std::vector<FrameCase> cases = {
        {"pulse output", [](auto g, auto s) { return kring_m1_set_pls_outmode(g, s, 0xF); }, {frame(0x9C, 7)}},
        {"pulse input", [](auto g, auto s) { return kring_m1_set_pls_iptmode(g, s, 7, 3); },
         {frame(0x9D, 0x000F | 0x0600 | 0x0800)}},
        {"feedback source", [](auto g, auto s) { return kring_m1_set_feedback_src(g, s, 6); },
         {frame(0x9E, 0x1000 | 0x0200)}},
        {"alarm", [](auto g, auto s) { return kring_m1_set_alm(g, s, 1, 0); }, {frame(0x9C, 0x0200)}},
        {"in-position", [](auto g, auto s) { return kring_m1_set_inp(g, s, 1, 1); }, {frame(0x9C, 1u << 22)}},
        {"slow-down", [](auto g, auto s) { return kring_m1_set_sd(g, s, 1, 1, 0, 1); },
         {frame(0x9C, 0x50), frame(0x97, 0x100)}},
        {"erc", [](auto g, auto s) { return kring_m1_set_erc(g, s, 1, 0xF, 2); },
         {frame(0x9C, 0x7000 | 0x8000 | 0x20000)}},
        {"erc on", [](auto g, auto s) { return kring_m1_set_erc_on(g, s, 1); }, {frame(0x24)}},
        {"erc off", [](auto g, auto s) { return kring_m1_set_erc_on(g, s, 0); }, {frame(0x25)}},
        {"erc other", [](auto g, auto s) { return kring_m1_set_erc_on(g, s, 2); }, {}},
        {"pcs", [](auto g, auto s) { return kring_m1_set_pcs(g, s, 5); }, {frame(0x9C, 1u << 24)}},
        {"clear", [](auto g, auto s) { return kring_m1_set_clr(g, s, 6); }, {frame(0x9C, 2u << 20)}},
        {"clear mask", [](auto g, auto s) { return kring_m1_set_clr_mask(g, s, 5); },
         {frame(0x9E, 0x1000 | (5u << 16))}},
        {"latch logic", [](auto g, auto s) { return kring_m1_set_ltc_logic(g, s, 3); }, {frame(0x9C, 1u << 23)}},
        {"home", [](auto g, auto s) { return kring_m1_set_home_config(g, s, 0x1A, 1, 1, 0x13, 1); },
         {frame(0x9C, 0x0880), frame(0x9D, 0x100F), frame(0x9E, 0x1000 | 0x700000 | 0x3A)}},
        {"set command", [](auto g, auto s) { return kring_m1_set_command(g, s, -2); }, {frame(0xA3, 0x0FFFFFFE)}},
        {"set position", [](auto g, auto s) { return kring_m1_set_position(g, s, 134217728); },
         {frame(0xA4, 0x08000000)}},
        {"reset counters", [](auto g, auto s) {
             kring_m1_reset_command(g, s);
             kring_m1_reset_position(g, s);
             return kring_m1_reset_error_counter(g, s);
         }, {frame(0x20), frame(0x21), frame(0x22)}},
        {"stops", [](auto g, auto s) {
             kring_m1_sd_stop(g, s);
             return kring_m1_emg_stop(g, s);
         }, {frame(0x4A), frame(0x05)}},
        {"home move", [](auto g, auto s) {
             kring_m1_start_home_move(g, s, 1);
             return kring_m1_start_home_move(g, s, 0);
         }, {frame(0x97, 0x10), frame(0x53), frame(0x97, 0x18), frame(0x53)}},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(kring_m1_initial(r(), kSlave), 0);
        clear();
        EXPECT_EQ(c.call(r(), kSlave), 0);
        EXPECT_EQ(sent(), c.expected);
    }
}

TEST_F(ModuleSignals, InPositionEnableWaitsForTheNextOperationModeWrite) {
    ASSERT_EQ(kring_m1_set_inp(r(), kSlave, 1, 0), 0);
    ASSERT_EQ(kring_m1_start_home_move(r(), kSlave, 1), 0);
    EXPECT_EQ(writes()[1], (std::pair<std::uint16_t, std::uint32_t>{0x97, 0x210}));
}

TEST_F(ModuleSignals, InterruptFactorsOnlyAddBits) {
    ASSERT_EQ(kring_m1_set_int_factor(r(), kSlave, 1), 0);
    ASSERT_EQ(kring_m1_set_int_factor(r(), kSlave, 2 | 0x4000), 0);
    EXPECT_EQ(sent(), (std::vector<Frame>{frame(0xAC, 1), frame(0xAC, 3)}));
}

TEST_F(ModuleSignals, CommonChecksComeSlaveFirstThenRing) {
    EXPECT_EQ(kring_m1_set_alm(r(), 64, 0, 0), KRING_ERR_SLAVE);
    EXPECT_EQ(kring_m1_set_alm(2, 64, 0, 0), KRING_ERR_SLAVE);
    EXPECT_EQ(kring_m1_set_alm(2, kSlave, 0, 0), KRING_ERR_NOT_OPEN);
    EXPECT_EQ(kring_m1_set_alm(9, kSlave, 0, 0), KRING_ERR_NOT_OPEN);
    // The unchecked readers still refuse a ring that is not open and a slave that does not exist.
    std::uint16_t done = 0;
    EXPECT_EQ(kring_m1_motion_done(2, 64, &done), KRING_ERR_NOT_OPEN);
    EXPECT_EQ(kring_m1_motion_done(r(), 64, &done), KRING_ERR_SLAVE);
    double a = 0, b = 0;
    EXPECT_EQ(kring_m1_get_FH(2, kSlave, &a, &b), KRING_ERR_NOT_OPEN);
    EXPECT_EQ(kring_m1_get_rmv(r(), 70, &a, &b), KRING_ERR_SLAVE);
    EXPECT_TRUE(sent().empty());
}

TEST_F(ModuleSignals, CounterValuesOutOfRange) {
    EXPECT_EQ(kring_m1_set_command(r(), kSlave, 134217729), KRING_ERR_COUNTER_RANGE);
    EXPECT_EQ(kring_m1_set_position(r(), kSlave, -134217729), KRING_ERR_COUNTER_RANGE);
    EXPECT_EQ(kring_m1_set_command(r(), 64, 134217729), KRING_ERR_SLAVE);
    EXPECT_TRUE(sent().empty());
}

TEST_F(ModuleSignals, DigitalOutputsKeepTheirByteAndRefuseOtherChannels) {
    ASSERT_EQ(kring_m1_set_svon(r(), kSlave, 1), 0);
    ASSERT_EQ(kring_m1_dio_output(r(), kSlave, 1, 1), 0);
    EXPECT_EQ(quvex_sim_ring_io_get(0, kSlave, 3), 0x09);
    EXPECT_EQ(kring_m1_dio_output(r(), kSlave, 2, 1), KRING_ERR_IO_CHANNEL);
    EXPECT_EQ(quvex_sim_ring_io_get(0, kSlave, 3), 0x09);
    EXPECT_EQ(master().slave(kSlave).axes[0].dio_byte, 0x09);
    ASSERT_EQ(kring_m1_set_ralm(r(), kSlave, 1), 0);
    ASSERT_EQ(kring_m1_set_svon(r(), kSlave, 0), 0);
    EXPECT_EQ(quvex_sim_ring_io_get(0, kSlave, 3), 0x0A);
}

TEST_F(ModuleSignals, DigitalInputsAndFlagsReadTheCyclicBytes) {
    quvex_sim_ring_io_set(0, kSlave, 2, 0x20);
    EXPECT_EQ(kring_m1_dio_input(r(), kSlave, 0), 0);
    EXPECT_EQ(kring_m1_dio_input(r(), kSlave, 1), 1);
    EXPECT_EQ(kring_m1_dio_input(r(), kSlave, 2), KRING_ERR_IO_CHANNEL);

    quvex_sim_ring_io_set(0, kSlave, 0, 0xF6);
    std::uint8_t flags = 0;
    ASSERT_EQ(kring_m1_check_int(r(), kSlave, &flags), 0);
    EXPECT_EQ(flags, 0x06);
    station.registers[0xF2] = 0xFFFF1234;
    station.registers[0xF3] = 0xFFFF5678;
    std::uint16_t serr = 1, sevt = 1;
    ASSERT_EQ(kring_m1_get_serr(r(), kSlave, &serr), 0);
    ASSERT_EQ(kring_m1_get_sevt(r(), kSlave, &sevt), 0);
    EXPECT_EQ(serr, 0x1234);
    EXPECT_EQ(sevt, 0);  // no event pending: nothing read
    EXPECT_EQ(sent(), (std::vector<Frame>{{0xF2}}));
}

TEST_F(ModuleSignals, ReadingsTurnRegistersIntoValues) {
    station.registers[0xE3] = 0x0FFFFFFF;
    station.registers[0xE4] = static_cast<std::uint32_t>(-300);
    station.registers[0xE5] = 12;
    station.registers[0xF1] = 0x1234567A;
    station.registers[0xF5] = 0xFFFE0000 | 5000;
    std::uint32_t cmd = 0, pos = 0, err = 0;
    ASSERT_EQ(kring_m1_get_command(r(), kSlave, &cmd), 0);
    ASSERT_EQ(kring_m1_get_error_counter(r(), kSlave, &err), 0);
    ASSERT_EQ(kring_m1_get_position(r(), kSlave, &pos), 0);
    EXPECT_EQ(cmd, 0x0FFFFFFFu);
    EXPECT_EQ(err, 12u);
    EXPECT_EQ(static_cast<std::int32_t>(pos), -300);
    ASSERT_EQ(kring_m1_set_move_ratio(r(), kSlave, 2.0), 0);
    ASSERT_EQ(kring_m1_get_position(r(), kSlave, &pos), 0);
    EXPECT_EQ(static_cast<std::int32_t>(pos), -150);
    EXPECT_EQ(kring_m1_set_move_ratio(r(), kSlave, 0.0), KRING_ERR_SPEED_ORDER);

    std::uint16_t done = 0;
    ASSERT_EQ(kring_m1_motion_done(r(), kSlave, &done), 0);
    EXPECT_EQ(done, 0x0A);
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 0, 1000, 0.1, 0.1), 0);  // R = 1999
    double speed = 0;
    ASSERT_EQ(kring_m1_get_current_speed(r(), kSlave, &speed), 0);
    EXPECT_DOUBLE_EQ(speed, 500.0);
}

TEST(ModuleIoStatus, BitsComeFromStatusAndInputByte) {
    struct Case {
        std::uint32_t s;
        std::uint8_t b;
        std::uint32_t io;
    };
    const Case cases[] = {
        {0, 0x40, 1u << 0},         {1u << 5, 0, 1u << 1},      {1u << 8, 0, 1u << 4},
        {1u << 4, 0, 1u << 5},      {1u << 13, 0, 1u << 6},     {1u << 15, 0, 1u << 8},
        {1u << 16, 0, 1u << 9},     {1u << 18, 0, 1u << 11},    {1u << 9, 0, 1u << 12},
        {1u << 19, 0, 1u << 13},    {0, 0x03, 3u << 14},        {0xFFF00C0Fu, 0xBC, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.io);
        EXPECT_EQ(modules::m1::io_status_word(c.s, c.b), c.io);
    }
}

}  // namespace
}  // namespace quvex::test
