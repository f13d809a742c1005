// The four-axis module's transfers on the wire, its configuration setters, outputs, status words
// and manual operation.
#include <functional>

#include "m4_fixture.h"
#include "modules/four_axis_status.h"

namespace quvex::test {
namespace {

using FourAxisRegisters = FourAxisTest;

TEST_F(FourAxisRegisters, WireFormsOfEachAccess) {
    station.module_regs[0] = 0x4A31;
    station.axis_regs[1][0xF1] = 0x00120034;
    station.axis_regs[2][0xE3] = 0x00010002;
    station.axis_regs[2][0xE4] = 0x00030004;
    station.axis_regs[2][0xF1] = 0x00050006;
    std::uint16_t id = 0;
    std::uint32_t value = 0;
    std::uint16_t data[6] = {};
    ASSERT_EQ(kring_m4_get_idnum(r(), kSlave, &id), 0);
    ASSERT_EQ(kring_m4_write_cpld(r(), kSlave, 0x10, 0xBEEF), 0);
    ASSERT_EQ(kring_m4_write_asic_reg(r(), kSlave, 3, 0x88, 0x12345678), 0);
    ASSERT_EQ(kring_m4_read_asic_reg(r(), kSlave, 1, 0xF1, &value), 0);
    ASSERT_EQ(kring_m4_get_motion_data(r(), kSlave, 2, data), 0);
    const std::vector<Words> expected = {
        {0x0A00},
        {0x0910, 0xBEEF},
        {0x19BC, 0x5678, 0x1234, 0x0938, 0x88},
        {0x0928, 0xF1, 0x1AAC},
        {0x0930, 0xE3, 0x1AB4, 0x0930, 0xE4, 0x1AB4, 0x0930, 0xF1, 0x1AB4},
    };
    EXPECT_EQ(transfers(), expected);
    EXPECT_EQ(id, 0x4A31);
    EXPECT_EQ(value, 0x00120034u);
    EXPECT_EQ(Words(data, data + 6), (Words{2, 1, 4, 3, 6, 5}));
}

TEST_F(FourAxisRegisters, ReadsThatAreNotEchoed) {
    station.echo = false;
    std::uint16_t cpld = 7, status = 7;
    std::uint32_t asic = 7;
    std::uint16_t motion[6] = {7, 7, 7, 7, 7, 7};
    station.axis_regs[0][0xE3] = 0x00010002;
    EXPECT_EQ(kring_m4_read_cpld(r(), kSlave, 6, &cpld), 0);
    EXPECT_EQ(kring_m4_read_asic_reg(r(), kSlave, 0, 0xF1, &asic), 0);
    EXPECT_EQ(kring_m4_get_mof_status(r(), kSlave, &status), KRING_ERR_NOT_ECHOED);
    EXPECT_EQ(kring_m4_get_motion_data(r(), kSlave, 0, motion), 0);
    EXPECT_EQ(cpld, 7);
    EXPECT_EQ(asic, 7u);
    EXPECT_EQ(status, 7);
    EXPECT_EQ(Words(motion, motion + 6), (Words{7, 7, 7, 7, 7, 7}));
}

TEST_F(FourAxisRegisters, IoStationAtSlaveZeroNeitherBlocksNorIsWritten) {
    // The handshake word is slave 0's first cyclic word: its bit 1 set or clear, the transfers
    // go on and leave the station's bytes alone.
    ASSERT_EQ(quvex_sim_ring_add_io_slave(0, 0, 0x81, 0), 0);
    station.module_regs[0] = 0x1234;
    for (const std::uint8_t port0 : {std::uint8_t{0x02}, std::uint8_t{0x00}}) {
        SCOPED_TRACE(static_cast<int>(port0));
        ASSERT_EQ(quvex_sim_ring_io_set(0, 0, 0, port0), 0);
        std::uint16_t id = 0;
        EXPECT_EQ(kring_m4_get_idnum(r(), kSlave, &id), 0);
        EXPECT_EQ(kring_m4_write_cpld(r(), kSlave, 4, 0), 0);
        EXPECT_EQ(id, 0x1234);
        EXPECT_EQ(quvex_sim_ring_io_get(0, 0, 0), port0);
    }
}

TEST_F(FourAxisRegisters, AddressesBeyondTheModuleByteSendNothing) {
    std::uint16_t v = 7;
    EXPECT_EQ(kring_m4_write_cpld(r(), kSlave, 0x100, 1), 0);
    EXPECT_EQ(kring_m4_read_cpld(r(), kSlave, 0x100, &v), 0);
    EXPECT_TRUE(transfers().empty());
}

TEST_F(FourAxisRegisters, InitialResetsEveryAxis) {
    block(3).env[0] = 0xFF;
    block(3).speed_range_fixed = 1;
    block(3).move_ratio = 4;
    ASSERT_EQ(kring_m4_initial(r(), kSlave), 0);
    for (int a = 0; a < 4; ++a) {
        SCOPED_TRACE(a);
        EXPECT_EQ(axis_writes(a), (std::vector<AxisWrite>{{0x04, 0}, {0x9D, 0x0105}}));
    }
    EXPECT_EQ(transfers()[3][4], 0x04);  // the four resets go out before the first env2 write
    EXPECT_EQ(block(3).env[0], 0u);
    EXPECT_EQ(block(3).speed_range_fixed, 0);
    EXPECT_EQ(block(3).move_ratio, 1.0);
}

TEST_F(FourAxisRegisters, EnvironmentSetters) {
    struct Case {
        const char* name;
        std::function<quvex_status(std::uint16_t, std::uint16_t)> call;
        std::vector<AxisWrite> writes;
    };
    const Case cases[] = {
        {"pulse output", [](auto g, auto s) { return kring_m4_set_pls_outmode(g, s, 2, 13); }, {{0x9C, 5}}},
        {"pulse input", [](auto g, auto s) { return kring_m4_set_pls_iptmode(g, s, 2, 7, 3); }, {{0x9D, 0x0B0105}}},
        {"pulser input", [](auto g, auto s) { return kring_m4_set_pulser_iptmode(g, s, 2, 2, 1); },
         {{0x9D, 0xA00105}}},
        {"feedback", [](auto g, auto s) { return kring_m4_set_feedback_src(g, s, 2, 3); }, {{0x9E, 2}}},
        {"alarm", [](auto g, auto s) { return kring_m4_set_alm(g, s, 2, 1, 1); }, {{0x9C, 0x300}}},
        {"in-position: buffered operation mode",
         [](auto g, auto s) { return kring_m4_set_inp(g, s, 2, 1, 1); }, {{0x9C, 0x400000}, {0x87, 0x200}}},
        {"ERC", [](auto g, auto s) { return kring_m4_set_erc(g, s, 2, 1, 15, 7); }, {{0x9C, 0x3F000}}},
        {"ERC on", [](auto g, auto s) { return kring_m4_set_erc_on(g, s, 2, 1); }, {{0x24, 0}}},
        {"ERC off", [](auto g, auto s) { return kring_m4_set_erc_on(g, s, 2, 0); }, {{0x25, 0}}},
        {"ERC other", [](auto g, auto s) { return kring_m4_set_erc_on(g, s, 2, 2); }, {}},
        {"SD: live operation mode", [](auto g, auto s) { return kring_m4_set_sd(g, s, 2, 1, 1, 1, 1); },
         {{0x9C, 0x70}, {0x97, 0x100}}},
        {"latch logic", [](auto g, auto s) { return kring_m4_set_ltc_logic(g, s, 2, 3); }, {{0x9C, 0x800000}}},
        {"home", [](auto g, auto s) { return kring_m4_set_home_config(g, s, 2, 1, 1, 1, 31, 1); },
         {{0x9C, 0x880}, {0x9D, 0x3F000105}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(kring_m4_initial(r(), kSlave), 0);
        clear();
        EXPECT_EQ(c.call(r(), kSlave), 0);
        EXPECT_EQ(axis_writes(2), c.writes);
        EXPECT_EQ(transfers().size(), c.writes.size());
    }
}

TEST_F(FourAxisRegisters, ServoAndAlarmResetShareTheAxisPort) {
    ASSERT_EQ(kring_m4_set_svon(r(), kSlave, 1, 5), 0);
    ASSERT_EQ(kring_m4_set_ralm(r(), kSlave, 1, 1), 0);
    ASSERT_EQ(kring_m4_set_svon(r(), kSlave, 1, 0), 0);
    EXPECT_EQ(transfers(), (std::vector<Words>{{0x092A, 1}, {0x092A, 3}, {0x092A, 2}}));
    EXPECT_EQ(block(1).dio_byte, 2);
}

TEST_F(FourAxisRegisters, LimitEnableRewritesRegisterTwo) {
    struct Case {
        std::int16_t axis, on;
        std::uint16_t written;
    };
    const Case cases[] = {{1, 1, 0x7}, {0, 0, 0x4}, {3, 2, 0x5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.axis);
        station.module_regs[2] = 0x5;
        clear();
        ASSERT_EQ(kring_m4_set_ell(r(), kSlave, c.axis, c.on), 0);
        EXPECT_EQ(transfers(), (std::vector<Words>{{0x0A02}, {0x0902, c.written}}));
    }
}

TEST_F(FourAxisRegisters, IoStatusGathersChipAndPortBits) {
    // s: bit 16, bits 7..10 = 0b1010, bits 13..15 = 0b101; port: bit 3, bits 0..1, bits 11..14 = 0b0110.
    station.axis_regs[3][0xF1] = (1u << 16) | (0xAu << 7) | (0x5u << 13);
    station.module_regs[0x3A] = static_cast<std::uint16_t>((0x6u << 11) | 0x8 | 0x3);
    std::uint32_t io = 0;
    ASSERT_EQ(kring_m4_get_io_status(r(), kSlave, 3, &io), 0);
    EXPECT_EQ(io, 1u | (0x6u << 1) | (1u << 5) | (0xAu << 6) | (0x5u << 11) | (0x3u << 14));
    EXPECT_EQ(block(3).dio_byte, 0x0B);
    EXPECT_EQ(transfers().size(), 3u);
}

TEST(FourAxisStatus, ManualStatusMapping) {
    const std::pair<std::uint16_t, std::uint16_t> cases[] = {
        {0x0180, 0x0240}, {0x007F, 0x007F}, {0x0080, 0x0200}, {0x0300, 0x00C0}, {0xFC00, 0xFC00}, {0xFFFF, 0xFEFF},
    };
    for (const auto& [v, reported] : cases) EXPECT_EQ(modules::m4::manual_status(v), reported) << v;
}

using FourAxisManual = FourAxisTest;

TEST_F(FourAxisManual, SetterOfAnotherModeIsRefusedAndStoresNothing) {
    ASSERT_EQ(record().mof_mode, 0);
    EXPECT_EQ(kring_m4_set_mof_jog_velocity(r(), kSlave, 1, 10, 1000, 0.1, 0.1, 50), KRING_ERR_MOF_MODE_OWNER);
    EXPECT_EQ(kring_m4_set_mof_step_velocity(r(), kSlave, 1, 10, 1000, 0.1, 0.1, 50), KRING_ERR_MOF_MODE_OWNER);
    EXPECT_EQ(kring_m4_set_mof_step_distance(r(), kSlave, 1, 5), KRING_ERR_MOF_MODE_OWNER);
    EXPECT_EQ(kring_m4_set_mof_step_distance(r(), kSlave, 4, 5), KRING_ERR_MOF_AXIS);
    EXPECT_TRUE(transfers().empty());
    EXPECT_EQ(block(1).jog.max_speed, 0);
    EXPECT_EQ(block(1).jog_percent, 0);
    EXPECT_EQ(block(1).step_dist, 0);
}

TEST_F(FourAxisManual, JogSpeedsScaledByThePercentage) {
    record().mof_mode = 2;
    ASSERT_EQ(kring_m4_set_mof_jog_velocity(r(), kSlave, 0, 100, 16383 * 2, 0.1, 0.1, 50), 0);
    EXPECT_EQ(block(0).jog.max_speed, 16383 * 2);
    EXPECT_EQ(block(0).jog_percent, 50);
    const std::vector<AxisWrite> w = axis_writes(0);
    ASSERT_EQ(w.size(), 7u);
    EXPECT_EQ(w[0], (AxisWrite{0x95, 1199}));
    EXPECT_EQ(w[1], (AxisWrite{0x92, 16383}));
    EXPECT_EQ(w[2], (AxisWrite{0x91, 50}));
}

TEST_F(FourAxisManual, SingleAxisHandWheelOnTheSelectedAxis) {
    EXPECT_EQ(kring_m4_manual_mpg(r(), kSlave, -1), KRING_ERR_MOF_AXIS);
    ASSERT_EQ(kring_m4_manual_mpg(r(), kSlave, 2), 0);
    EXPECT_EQ(transfers(), (std::vector<Words>{{0x0904, 0x04}}));
    block(2).mpg = {.start_speed = 10, .max_speed = 1000, .accel_time = 0.1, .decel_time = 0.1};
    clear();
    ASSERT_EQ(kring_m4_set_mof_config(r(), kSlave, 1), 0);
    const std::vector<Words> t = transfers();
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(t[0], Words{0x0A04});
    EXPECT_EQ(t[1], (Words{0x0904, 0xA4}));
    for (int a : {0, 1, 3}) EXPECT_EQ(axis_writes(a), (std::vector<AxisWrite>{{0x9D, 0x0105}})) << a;
    const std::vector<std::uint16_t> expected = {0x9D, 0x97, 0x51, 0x95, 0x92, 0x91, 0x93, 0x94, 0x97, 0x9B};
    EXPECT_EQ(codes(2), expected);
    EXPECT_EQ(axis_writes(2)[1], (AxisWrite{0x97, 0x01}));
    EXPECT_EQ(record().mof_mode, 1);
}

TEST_F(FourAxisManual, StepOnAllAxesLoadsDistanceThenSpeeds) {
    for (int a = 0; a < 4; ++a) {
        block(a).step = {.start_speed = 10, .max_speed = 1000, .accel_time = 0.1, .decel_time = 0.1};
        block(a).step_percent = 100;
        block(a).step_dist = -2.7;
    }
    ASSERT_EQ(kring_m4_set_mof_config(r(), kSlave, 4), 0);
    EXPECT_EQ(transfers()[1], (Words{0x0904, 0xD1}));
    for (int a = 0; a < 4; ++a) {
        SCOPED_TRACE(a);
        const std::vector<AxisWrite> w = axis_writes(a);
        ASSERT_EQ(w.size(), 11u);
        EXPECT_EQ(w[1], (AxisWrite{0x97, 0x56}));
        EXPECT_EQ(w[2], (AxisWrite{0x51, 0}));
        EXPECT_EQ(w[3], (AxisWrite{0x90, 0x0FFFFFFE}));
        EXPECT_EQ(w[4].first, 0x95);
    }
    EXPECT_EQ(kring_m4_set_mof_config(r(), kSlave, 6), KRING_ERR_MOF_MODE);
}

TEST_F(FourAxisManual, DisableStopsEveryAxisAndClearsTheControl) {
    ASSERT_EQ(kring_m4_disable_mof(r(), kSlave), 0);
    const std::vector<Words> t = transfers();
    EXPECT_EQ(t.front(), Words{0x0A04});
    EXPECT_EQ(t.back(), (Words{0x0904, 0}));
    for (int a = 0; a < 4; ++a) EXPECT_EQ(axis_writes(a), (std::vector<AxisWrite>{{0x9D, 0x8105}, {0x49, 0}})) << a;
}

}  // namespace
}  // namespace quvex::test
