// The virtual four-axis module driven through the library: it is found on the ring, its axes
// end their moves on target, the handshaked transfers leave nothing behind, inputs reach the
// status exports and the I/O port and manual operation reach the chips.
#include "m4_station_fixture.h"
#include "modules/four_axis_transport.h"

namespace quvex::test {
namespace {

TEST_F(FourAxisStationTest, RingFindsTheModuleAndItsRegisters) {
    std::uint32_t table[2] = {};
    ASSERT_EQ(kring_get_ring_active_table(r(), table), 0);
    EXPECT_EQ(table[0], 1u << kSlave);
    EXPECT_EQ(kring_get_slave_info(r(), kSlave), 0xA4);

    std::uint16_t id = 0, limits = 0;
    ASSERT_EQ(kring_m4_get_idnum(r(), kSlave, &id), 0);
    EXPECT_EQ(id, kIdNumber);
    ASSERT_EQ(kring_m4_read_cpld(r(), kSlave, 2, &limits), 0);
    EXPECT_EQ(limits, 0x000F);
    ASSERT_EQ(kring_m4_set_ell(r(), kSlave, 2, 0), 0);
    ASSERT_EQ(kring_m4_read_cpld(r(), kSlave, 2, &limits), 0);
    EXPECT_EQ(limits, 0x000B);
}

// Moves of every axis, T and S profiles, relative then absolute back past zero.
TEST_F(FourAxisStationTest, SingleAxisMovesEndOnTargetOnEveryAxis) {
    struct Case {
        bool s_curve;
        std::int32_t distance;
        std::int32_t back_to;
        double max_vel;
    };
    const Case cases[] = {
        {false, 12345, -777, 20000},
        {true, 50000, -1, 60000},
        {false, -4001, 3, 5000},
        {true, 1, -100000, 300000},
    };
    for (std::uint16_t axis = 0; axis < 4; ++axis) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "axis " << axis << (c.s_curve ? " S " : " T ") << c.distance);
            ASSERT_EQ(kring_m4_reset_command(r(), kSlave, axis), 0);
            ASSERT_EQ(kring_m4_reset_position(r(), kSlave, axis), 0);
            std::int32_t others[4] = {};
            for (int other = 0; other < 4; ++other) others[other] = chip(other).command_counter;
            const quvex_status set = c.s_curve
                                         ? kring_m4_set_smove_speed(r(), kSlave, axis, 100, c.max_vel, 0.1, 0.1, 0, 0)
                                         : kring_m4_set_tmove_speed(r(), kSlave, axis, 100, c.max_vel, 0.1, 0.1);
            ASSERT_EQ(set, 0);
            ASSERT_EQ(kring_m4_start_r_move(r(), kSlave, static_cast<std::int16_t>(axis), c.distance), 0);
            EXPECT_NE(done(axis), 0);
            ASSERT_TRUE(run_until_stopped());
            EXPECT_EQ(command(axis), c.distance);
            EXPECT_EQ(position(axis), c.distance);
            EXPECT_EQ(chip(axis).stop_reason, 0u);
            EXPECT_LE(chip(axis).peak_speed, c.max_vel * 1.001);

            ASSERT_EQ(kring_m4_start_a_move(r(), kSlave, axis, c.back_to), 0);
            ASSERT_TRUE(run_until_stopped());
            EXPECT_EQ(position(axis), c.back_to);
            for (int other = 0; other < 4; ++other) {
                if (other == axis) continue;
                EXPECT_EQ(chip(other).command_counter, others[other]) << "axis " << other << " moved";
            }
        }
    }
}

// Every transfer is answered before the host's first handshake read, the line drops with the
// end-of-transfer word, and no reply words outlive their transfer.
TEST_F(FourAxisStationTest, HandshakedTransfersLeaveNoStaleReplies) {
    for (std::uint16_t axis = 0; axis < 4; ++axis) {
        ASSERT_EQ(kring_m4_set_command(r(), kSlave, axis, 1000 * (axis + 1)), 0);
    }
    quvex_sim_card_info info{};
    ASSERT_EQ(quvex_sim_card_info_get(0, &info), 0);
    quvex_sim_ring_history_clear(0);
    quvex_sim_trace_enable(1);
    quvex_sim_trace_clear();
    for (std::uint16_t axis = 0; axis < 4; ++axis) {
        EXPECT_EQ(command(axis), 1000 * (axis + 1));
        ASSERT_EQ(kring_m4_write_cpld(r(), kSlave, 4, 0), 0);  // a write between reads
        std::uint16_t motion[6] = {};
        ASSERT_EQ(kring_m4_get_motion_data(r(), kSlave, axis, motion), 0);
        EXPECT_EQ(motion[0] | (motion[1] << 16), 1000 * (axis + 1));
    }
    quvex_sim_trace_enable(0);

    int handshake_reads = 0;
    for (std::size_t i = 0; i < quvex_sim_access_count(); ++i) {
        quvex_sim_access a{};
        quvex_sim_access_get(i, &a);
        if (a.kind == QUVEX_SIM_ACCESS_WINDOW_READ && a.address == 256) ++handshake_reads;
    }
    const int n = quvex_sim_ring_history_count(0);
    EXPECT_EQ(n, 3 * 4 * 2);
    EXPECT_EQ(handshake_reads, n / 2);  // one read per transfer: the line was already up
    // Only the read forms answer: two words for a module register, three for an axis's data.
    for (int i = 0; i < n; ++i) {
        quvex_sim_ring_message m{};
        ASSERT_EQ(quvex_sim_ring_history_get(0, i, &m), 0);
        int expected = 0;
        for (int w = 0; w < m.word_count; ++w) {
            if ((m.words[w] & 0xFF00) == 0x0A00) expected += 2;
            if (m.words[w] >= 0x1AA4 && m.words[w] <= 0x1AA4 + 24 && (m.words[w] - 0x1AA4) % 8 == 0) expected += 3;
        }
        if (i % 2 == 1) {
            EXPECT_EQ(m.words[0], 0x0400);
        }
        EXPECT_EQ(m.reply_count, expected) << "message " << i;
    }
    int holder = 0;
    EXPECT_EQ(quvex_sim_ring_ready_line(0, &holder), 0);
    EXPECT_EQ(holder, -1);
}

// The transport's own outcomes: a message the ring refuses goes out with no end-of-transfer word
// and leaves the reply as it was; one it takes is closed by the word and its reply is read.
TEST_F(FourAxisStationTest, TransportClosesOnlyTheTransfersThatWentOut) {
    struct Case {
        const char* name;
        int slave;
        std::size_t words;
        std::int16_t result;
        int messages;
    };
    const Case cases[] = {
        {"a read of register 0", kSlave, 1, 0, 2},
        {"thirteen words, one more than the buffer", kSlave, 13, -12, 0},
        {"no slave 64", 64, 1, -5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        quvex_sim_ring_history_clear(0);
        modules::m4::HandshakeTransport transport(master(), c.slave);
        const Words message(c.words, 0x0A00);
        modules::m4::Reply reply{};
        reply.fill(0xBEEF);
        EXPECT_EQ(transport.query(message, reply), c.result);
        EXPECT_EQ(quvex_sim_ring_history_count(0), c.messages);
        if (c.result == 0) {
            EXPECT_EQ(reply[0], 0x0A00);
            EXPECT_EQ(reply[1], kIdNumber);
            EXPECT_EQ(reply[2], 0) << "words past the reply are cleared";
        } else {
            EXPECT_EQ(reply[0], 0xBEEF) << "a refused message leaves the reply";
        }
    }
}

// Raw messages: forms in any mix, forms cut short and words the module does not know.
TEST_F(FourAxisStationTest, MessagesAreDecodedFormByForm) {
    struct Case {
        const char* name;
        Words message;
        Words reply;
    };
    const Case cases[] = {
        {"data words through the axis ports", {0x0934, 0x1234, 0x0936, 0x0005, 0x0A34, 0x0A36}, {0x0A34, 0x1234, 0x0A36, 0x0005}},
        {"a register written then read", {0x19B4, 0x0007, 0x0000, 0x0930, 0x00A3, 0x0930, 0x00E3, 0x1AB4}, {0x1AB4, 7, 0}},
        {"module registers", {0x0A00, 0x0A02, 0x0A06, 0x0A08}, {0x0A00, kIdNumber, 0x0A02, 0x000F, 0x0A06, 0, 0x0A08, 0}},
        {"an unknown word ends the message", {0x0A00, 0x7777, 0x0A02}, {0x0A00, kIdNumber}},
        {"no axis 4", {0x1AC4, 0x0A00}, {}},
        {"a data write cut short", {0x0A02, 0x19A4, 0x0001}, {0x0A02, 0x000F}},
        {"a register write cut short", {0x0A00, 0x0902}, {0x0A00, kIdNumber}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        quvex_sim_ring_history_clear(0);
        modules::m4::HandshakeTransport transport(master(), kSlave);
        modules::m4::Reply reply{};
        ASSERT_EQ(transport.query(c.message, reply), 0);
        quvex_sim_ring_message m{};
        ASSERT_EQ(quvex_sim_ring_history_get(0, 0, &m), 0);
        EXPECT_EQ(Words(m.reply, m.reply + m.reply_count), c.reply);
    }
    std::uint16_t limits = 0;
    ASSERT_EQ(quvex_sim_m4_register(0, kSlave, 2, &limits), 0);
    EXPECT_EQ(limits, 0x000F) << "the cut-short register write changed register 2";
}

TEST_F(FourAxisStationTest, HandshakeLeavesAnIoStationAtSlaveZeroItsOwnBit) {
    for (const std::uint8_t port0 : {std::uint8_t{0x02}, std::uint8_t{0x00}}) {
        SCOPED_TRACE(int{port0});
        ASSERT_EQ(quvex_sim_ring_add_io_slave(0, 0, 0x81, 0), 0);
        ASSERT_EQ(quvex_sim_ring_io_set(0, 0, 0, port0), 0);
        ASSERT_EQ(kring_m4_set_command(r(), kSlave, 1, 5 + port0), 0);
        EXPECT_EQ(command(1), 5 + port0);
        EXPECT_EQ(quvex_sim_ring_ready_line(0, nullptr), port0 >> 1);
    }
}

// Inputs of every axis as kring_m4_get_io_status reports them.
TEST_F(FourAxisStationTest, InputsReachTheIoStatus) {
    struct Case {
        int signal;
        std::uint32_t io_bit;
    };
    const Case cases[] = {
        {QUVEX_SIM_INPUT_ALARM, 0},        {QUVEX_SIM_INPUT_ORIGIN, 1},       {QUVEX_SIM_INPUT_INDEX, 2},
        {QUVEX_SIM_INPUT_IN_POSITION, 3},  {QUVEX_SIM_INPUT_SLOW_DOWN, 4},    {QUVEX_SIM_INPUT_GENERAL0 + 1, 6},
        {QUVEX_SIM_INPUT_GENERAL0 + 4, 9}, {QUVEX_SIM_INPUT_EL_PLUS, 14},     {QUVEX_SIM_INPUT_EL_MINUS, 15},
    };
    for (std::uint16_t axis = 0; axis < 4; ++axis) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "axis " << axis << " signal " << c.signal);
            std::uint32_t io = 0;
            input(axis, c.signal, true);
            ASSERT_EQ(kring_m4_get_io_status(r(), kSlave, axis, &io), 0);
            EXPECT_EQ(io, 1u << c.io_bit);
            input(axis, c.signal, false);
            ASSERT_EQ(kring_m4_get_io_status(r(), kSlave, axis, &io), 0);
            EXPECT_EQ(io, 0u);
        }
    }
}

TEST_F(FourAxisStationTest, ServoAndAlarmResetDriveTheChipOutputs) {
    ASSERT_EQ(kring_m4_set_svon(r(), kSlave, 3, 1), 0);
    ASSERT_EQ(kring_m4_set_ralm(r(), kSlave, 3, 1), 0);
    std::uint32_t status = 0, io = 0;
    ASSERT_EQ(quvex_sim_module_register(0, kSlave, 3, 0xF1, &status), 0);
    EXPECT_EQ(status & 0x6000u, 0x6000u);  // servo on (13), alarm reset (14)
    ASSERT_EQ(quvex_sim_module_register(0, kSlave, 2, 0xF1, &status), 0);
    EXPECT_EQ(status & 0x6000u, 0u) << "another axis's outputs changed";
    ASSERT_EQ(kring_m4_set_svon(r(), kSlave, 3, 0), 0);
    ASSERT_EQ(quvex_sim_module_register(0, kSlave, 3, 0xF1, &status), 0);
    EXPECT_EQ(status & 0x6000u, 0x4000u);
    ASSERT_EQ(kring_m4_get_io_status(r(), kSlave, 3, &io), 0);
    EXPECT_EQ(io & (0x7u << 11), 0x2u << 11);  // alarm reset still on, servo off
}

// An end limit stops a move only while the module's limit-switch enable bit of the axis is set.
TEST_F(FourAxisStationTest, LimitEnableDecidesWhetherTheLimitStops) {
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled);
        ASSERT_EQ(kring_m4_set_ell(r(), kSlave, 1, enabled ? 1 : 0), 0);
        ASSERT_EQ(kring_m4_reset_command(r(), kSlave, 1), 0);
        ASSERT_EQ(kring_m4_set_tmove_speed(r(), kSlave, 1, 100, 10000, 0.05, 0.05), 0);
        ASSERT_EQ(kring_m4_start_r_move(r(), kSlave, 1, 5000), 0);
        quvex_sim_advance(0.2);
        input(1, QUVEX_SIM_INPUT_EL_PLUS, true);
        ASSERT_TRUE(run_until_stopped());
        EXPECT_EQ(command(1) == 5000, !enabled);
        std::uint32_t io = 0;
        ASSERT_EQ(kring_m4_get_io_status(r(), kSlave, 1, &io), 0);
        EXPECT_NE(io & (1u << 14), 0u) << "the port shows the limit whether enabled or not";
        input(1, QUVEX_SIM_INPUT_EL_PLUS, false);
    }
}

// Jog on the module: the switches reach only the axis register 4 selects, and only while manual
// operation is on.
TEST_F(FourAxisStationTest, JogSwitchesFollowTheManualSelection) {
    ASSERT_EQ(kring_m4_manual_mpg(r(), kSlave, 2), 0);
    ASSERT_EQ(kring_m4_set_mof_config(r(), kSlave, 3), 0);  // jog, one axis
    ASSERT_EQ(kring_m4_set_mof_jog_velocity(r(), kSlave, 2, 100, 2000, 0.01, 0.01, 100), 0);
    std::uint16_t control = 0;
    ASSERT_EQ(quvex_sim_m4_register(0, kSlave, 4, &control), 0);
    EXPECT_EQ(control, 0xC4);

    EXPECT_EQ(quvex_sim_m4_jog_switch(0, kSlave, 1, 1, 1), 0) << "axis 1 is not selected";
    EXPECT_EQ(quvex_sim_m4_jog_switch(0, kSlave, 2, 1, 1), 1);
    quvex_sim_advance(0.5);
    std::uint16_t status = 0;
    ASSERT_EQ(kring_m4_get_mof_status(r(), kSlave, &status), 0);
    EXPECT_EQ(status, 0x14) << "axis 2 running, manual operation on";
    EXPECT_EQ(quvex_sim_m4_jog_switch(0, kSlave, 2, 1, 0), 1);
    ASSERT_TRUE(run_until_stopped());
    EXPECT_GT(command(2), 500);
    EXPECT_EQ(command(1), 0);

    ASSERT_EQ(kring_m4_disable_mof(r(), kSlave), 0);
    EXPECT_EQ(quvex_sim_m4_jog_switch(0, kSlave, 2, 1, 1), 0);
}

// Step on every axis at once: each press moves the selected axes their step distance.
TEST_F(FourAxisStationTest, StepPressesMoveTheStepDistance) {
    ASSERT_EQ(kring_m4_set_mof_config(r(), kSlave, 4), 0);  // step, all axes
    for (std::uint16_t axis = 0; axis < 4; ++axis) {
        ASSERT_EQ(kring_m4_set_mof_step_distance(r(), kSlave, axis, 250 + axis), 0);
        ASSERT_EQ(kring_m4_set_mof_step_velocity(r(), kSlave, axis, 100, 5000, 0.01, 0.01, 100), 0);
    }
    ASSERT_EQ(kring_m4_set_mof_config(r(), kSlave, 4), 0);  // again, now with the stored values
    for (int axis = 0; axis < 4; ++axis) {
        SCOPED_TRACE(axis);
        EXPECT_EQ(quvex_sim_m4_step_press(0, kSlave, axis, -1), 1);
        ASSERT_TRUE(run_until_stopped());
        EXPECT_EQ(command(axis), -(250 + axis));
        EXPECT_EQ(quvex_sim_m4_step_press(0, kSlave, axis, 2), -1) << "a direction other than +1 or -1";
    }
}

}  // namespace
}  // namespace quvex::test
