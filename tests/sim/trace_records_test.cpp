// The typed trace: every kind of decoded event carries, as fields, what its text line shows.
#include <functional>

#include "common/platform.h"
#include "quvex/sim.h"
#include "sim_fixture.h"
#include "trace_match.h"

namespace quvex::test {
namespace {

struct Ports {
    uint16_t chip, board, bridge;
    uintptr_t ring;
};

Ports ports_of_card(int device) {
    quvex_sim_card_info info{};
    quvex_sim_card_info_get(device, &info);
    return Ports{info.chip_base, info.board_base, info.bridge_base, info.ring_window};
}

// Writes a chip register of `axis` the way the primitives do: both data words, then the code.
void chip_write(const Ports& p, int axis, uint16_t code, uint32_t data) {
    const auto base = static_cast<uint16_t>(p.chip + 8 * axis);
    plat::port_out16(static_cast<uint16_t>(base + 4), static_cast<uint16_t>(data & 0xFFFF));
    plat::port_out16(static_cast<uint16_t>(base + 6), static_cast<uint16_t>(data >> 16));
    plat::port_out16(base, code);
}

void ring_write(const Ports& p, uint16_t offset, uint16_t value) { plat::window_write16(p.ring + offset, value); }

// A message of the given words to `slave`, sent with the master's send command.
void ring_message(const Ports& p, int slave, std::initializer_list<uint16_t> words) {
    for (uint16_t w : words) ring_write(p, 6, w);
    ring_write(p, 0, static_cast<uint16_t>(0x4000 + slave));
}

struct RecordCase {
    const char* name;
    std::function<void(const Ports&)> act;
    const char* text;
    EventPattern record;
    std::vector<uint16_t> words{};
    std::vector<uint16_t> reply{};
};

class TraceRecords : public ::testing::TestWithParam<RecordCase> {
protected:
    void SetUp() override {
        install_cards({0, 2});
        quvex_sim_set_card_status(2, 0x0007);
        quvex_sim_ring_add_io_slave(2, 3, 0x81, 0x00100000);
        quvex_sim_ring_add_io_slave(2, 5, 0x81, 0);
        quvex_sim_ring_slave_silent(2, 5, 1);
        const uint16_t reply[] = {0x0000, 0x1234};
        quvex_sim_ring_set_reply(2, 3, reply, 2);
        quvex_sim_trace_clear();
        quvex_sim_trace_enable(1);
    }
    void TearDown() override { quvex_sim_reset(); }
};

TEST_P(TraceRecords, OneEventWhoseFieldsAreWhatItsTextShows) {
    const RecordCase& c = GetParam();
    c.act(ports_of_card(2));
    const std::vector<TraceEvent> events = trace_events();
    ASSERT_EQ(events.size(), 1u);
    const TraceEvent& e = events[0];
    EXPECT_EQ(e.text, c.text);
    EXPECT_TRUE(c.record.matches(e)) << "kind " << e.record.kind << " device " << e.record.device << " axis "
                                     << e.record.axis << " station " << e.record.station << " code " << std::hex
                                     << e.record.code << " value " << e.record.value << " flags " << e.record.flags;
    EXPECT_EQ(e.words, c.words);
    EXPECT_EQ(e.reply, c.reply);
    EXPECT_EQ(e.record.word_count, static_cast<int>(c.words.size()));
    EXPECT_EQ(e.record.reply_count, static_cast<int>(c.reply.size()));
}

constexpr unsigned kNone = 0;

// Every field of every pattern is given, so a field left at a wrong value fails.
INSTANTIATE_TEST_SUITE_P(
    Sim, TraceRecords,
    ::testing::Values(
        RecordCase{"register_write", [](const Ports& p) { chip_write(p, 1, 0x9C, 0x048002C7); }, "d2.Y reg 9C <- 048002C7",
                   {QUVEX_SIM_EV_CHIP_REG_WRITE, 2, 1, -1, 0x9C, 0x048002C7, kNone}},
        RecordCase{"register_read", [](const Ports& p) { plat::port_out16(static_cast<uint16_t>(p.chip + 16), 0xE4); },
                   "d2.Z read E4 -> 00000000", {QUVEX_SIM_EV_CHIP_REG_READ, 2, 2, -1, 0xE4, 0, kNone}},
        RecordCase{"command", [](const Ports& p) { plat::port_out16(static_cast<uint16_t>(p.chip + 24), 0x0018); },
                   "d2.U cmd 0018", {QUVEX_SIM_EV_CHIP_COMMAND, 2, 3, -1, 0x18, 0, kNone}},
        RecordCase{"status", [](const Ports& p) { plat::port_in16(p.chip); }, "d2.X status -> 0000",
                   {QUVEX_SIM_EV_CHIP_STATUS, 2, 0, -1, 0, 0, kNone}},
        RecordCase{"substatus", [](const Ports& p) { plat::port_in16(static_cast<uint16_t>(p.chip + 10)); },
                   "d2.Y substatus -> 0000", {QUVEX_SIM_EV_CHIP_SUBSTATUS, 2, 1, -1, 0, 0, kNone}},
        RecordCase{"card_port", [](const Ports& p) { plat::port_out16(static_cast<uint16_t>(p.chip + 0x26), 0x0301); },
                   "d2 card 26 <- 0301", {QUVEX_SIM_EV_CARD_PORT_WRITE, 2, -1, -1, 0x26, 0x0301, kNone}},
        RecordCase{"board_read", [](const Ports& p) { plat::port_in16(static_cast<uint16_t>(p.board + 0x1E)); },
                   "d2 board 1E -> 0007", {QUVEX_SIM_EV_BOARD_READ, 2, -1, -1, 0x1E, 7, kNone}},
        RecordCase{"board_write", [](const Ports& p) { plat::port_out16(static_cast<uint16_t>(p.board + 0x08), 0x0001); },
                   "d2 board 08 <- 0001", {QUVEX_SIM_EV_BOARD_WRITE, 2, -1, -1, 0x08, 1, kNone}},
        RecordCase{"bridge_word_read", [](const Ports& p) { plat::port_in16(static_cast<uint16_t>(p.bridge + 0x50)); },
                   "d2 bridge 50 -> 4083", {QUVEX_SIM_EV_BRIDGE_READ16, 2, -1, -1, 0x50, 0x4083, kNone}},
        RecordCase{"bridge_word_write", [](const Ports& p) { plat::port_out16(static_cast<uint16_t>(p.bridge + 0x50), 0x4883); },
                   "d2 bridge 50 <- 4883", {QUVEX_SIM_EV_BRIDGE_WRITE16, 2, -1, -1, 0x50, 0x4883, kNone}},
        RecordCase{"bridge_byte_read", [](const Ports& p) { plat::port_in8(static_cast<uint16_t>(p.bridge + 0x4C)); },
                   "d2 bridge 4C -> 00", {QUVEX_SIM_EV_BRIDGE_READ8, 2, -1, -1, 0x4C, 0, kNone}},
        RecordCase{"bridge_byte_write", [](const Ports& p) { plat::port_out8(static_cast<uint16_t>(p.bridge + 0x53), 0x40); },
                   "d2 bridge 53 <- 40", {QUVEX_SIM_EV_BRIDGE_WRITE8, 2, -1, -1, 0x53, 0x40, kNone}},
        RecordCase{"byte_into_card_ports", [](const Ports& p) { plat::port_out8(static_cast<uint16_t>(p.board + 1), 0x12); },
                   "d2 byte B081 <- 12", {QUVEX_SIM_EV_CARD_BYTE_WRITE, 2, -1, -1, 0xB081, 0x12, kNone}},
        RecordCase{"stray_byte_read", [](const Ports&) { plat::port_in8(0x1234); }, "port 1234 -> FF",
                   {QUVEX_SIM_EV_PORT_READ8, -1, -1, -1, 0x1234, 0xFF, kNone}},
        RecordCase{"stray_word_write", [](const Ports&) { plat::port_out16(0x1234, 0x0001); }, "port 1234 <- 0001",
                   {QUVEX_SIM_EV_PORT_WRITE16, -1, -1, -1, 0x1234, 1, kNone}},
        RecordCase{"ring_scan", [](const Ports& p) { ring_write(p, 0, 0x1000); }, "d2 ring scan",
                   {QUVEX_SIM_EV_RING_SCAN, 2, -1, -1, 0, 0, kNone}},
        RecordCase{"ring_reset", [](const Ports& p) { ring_write(p, 0, 0x0100); }, "d2 ring reset",
                   {QUVEX_SIM_EV_RING_RESET, 2, -1, -1, 0, 0, kNone}},
        RecordCase{"ring_other_control", [](const Ports& p) { ring_write(p, 0, 0x2000); }, "d2 ring control 2000",
                   {QUVEX_SIM_EV_RING_CONTROL, 2, -1, -1, 0x2000, 0, kNone}},
        RecordCase{"error_map", [](const Ports& p) { ring_write(p, 188, 0x0020); }, "d2 ring error map 2 <- 0020",
                   {QUVEX_SIM_EV_RING_ERROR_MAP_WRITE, 2, -1, -1, 2, 0x20, kNone}},
        RecordCase{"cyclic_write", [](const Ports& p) { ring_write(p, 256 + 4 * 3 + 2, 0xAB00); },
                   "d2 ring slave 3 cyclic 1 <- AB00", {QUVEX_SIM_EV_RING_CYCLIC_WRITE, 2, -1, 3, 1, 0xAB00, kNone}},
        RecordCase{"stuck_cyclic_write",
                   [](const Ports& p) {
                       quvex_sim_ring_stuck_cyclic(2, 3, 0, 1);
                       ring_write(p, 256 + 4 * 3, 0x00FF);
                   },
                   "d2 ring slave 3 cyclic 0 <- 00FF (stuck)",
                   {QUVEX_SIM_EV_RING_CYCLIC_WRITE, 2, -1, 3, 0, 0xFF, QUVEX_SIM_EVF_STUCK}},
        RecordCase{"message", [](const Ports& p) { ring_message(p, 3, {0x0053, 0x0000, 0x0007}); },
                   "d2 ring slave 3 msg 0053 0000 0007 -> 0000 1234", {QUVEX_SIM_EV_RING_MESSAGE, 2, -1, 3, 0, 0, kNone},
                   {0x0053, 0x0000, 0x0007}, {0x0000, 0x1234}},
        RecordCase{"empty_message_to_silent", [](const Ports& p) { ring_message(p, 5, {}); },
                   "d2 ring slave 5 msg - (no answer)",
                   {QUVEX_SIM_EV_RING_MESSAGE, 2, -1, 5, 0, 0, QUVEX_SIM_EVF_NO_ANSWER}},
        RecordCase{"identification", [](const Ports& p) { ring_write(p, 0, 0x1303); }, "d2 ring slave 3 ident -> 00100000",
                   {QUVEX_SIM_EV_RING_IDENT, 2, -1, 3, 0, 0x00100000, kNone}},
        RecordCase{"identification_unanswered", [](const Ports& p) { ring_write(p, 0, 0x1305); },
                   "d2 ring slave 5 ident (no answer)", {QUVEX_SIM_EV_RING_IDENT, 2, -1, 5, 0, 0, QUVEX_SIM_EVF_NO_ANSWER}}),
    [](const ::testing::TestParamInfo<RecordCase>& p) { return std::string(p.param.name); });

TEST(TraceRecordAccess, RefusesPastTheEndAndNullOutput) {
    install_cards({0});
    quvex_sim_trace_enable(1);
    plat::port_in8(0x1234);
    quvex_sim_event e{};
    EXPECT_EQ(quvex_sim_trace_get(0, nullptr), -1);
    EXPECT_EQ(quvex_sim_trace_get(1, &e), -1);
    EXPECT_EQ(quvex_sim_trace_words(1, 0, nullptr, 0), -1);
    EXPECT_EQ(quvex_sim_trace_words(0, 1, nullptr, 0), 0);
    quvex_sim_reset();
}

// Nothing is recorded while tracing is off, and a clear drops records and their words alike.
TEST(TraceRecordAccess, RecordsOnlyWhileEnabledAndClearDropsMessageWords) {
    install_cards({0});
    quvex_sim_ring_add_io_slave(0, 1, 0x81, 0);
    const Ports p = ports_of_card(0);
    ring_message(p, 1, {0x0001});
    EXPECT_EQ(quvex_sim_trace_count(), 0u);
    quvex_sim_trace_enable(1);
    ring_message(p, 1, {0x0002, 0x0003});
    quvex_sim_trace_clear();
    ring_message(p, 1, {0x0004});
    const std::vector<TraceEvent> events = trace_events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].words, std::vector<uint16_t>{0x0004});
    EXPECT_EQ(events[0].text, "d0 ring slave 1 msg 0004 -> -");
    quvex_sim_reset();
}

}  // namespace
}  // namespace quvex::test
