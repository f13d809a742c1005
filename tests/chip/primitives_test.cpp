// Register primitives: the port sequence of each, and the read-modify-write rule on the mirror.
#include "ports/local_chip_sink.h"
#include "ports/primitives.h"
#include "chip/registers.h"
#include "card/card_table.h"
#include "card_events.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {

class Primitives : public CardTest {
protected:
    Primitives() : CardTest(2) {}

    // Raw port accesses since the trace was started, as (kind, port offset from card 1's chip base, value).
    static std::vector<std::tuple<int, int, unsigned>> raw_accesses() {
        quvex_sim_card_info info{};
        quvex_sim_card_info_get(1, &info);
        std::vector<std::tuple<int, int, unsigned>> out;
        for (std::size_t i = 0; i < quvex_sim_access_count(); ++i) {
            quvex_sim_access a{};
            quvex_sim_access_get(i, &a);
            out.emplace_back(a.kind, static_cast<int>(a.address) - info.chip_base, a.value);
        }
        return out;
    }
};

constexpr int kIn = QUVEX_SIM_ACCESS_IN16;
constexpr int kOut = QUVEX_SIM_ACCESS_OUT16;

TEST_F(Primitives, RegisterReadWritesTheCodeThenReadsBothDataWords) {
    start_trace();
    std::uint16_t low = 0, high = 0;
    chip::read_axis_register(5, 0xE4, &low, &high);
    const std::vector<std::tuple<int, int, unsigned>> expected = {{kOut, 8, 0xE4}, {kIn, 12, 0}, {kIn, 14, 0}};
    EXPECT_EQ(raw_accesses(), expected);
}

TEST_F(Primitives, RegisterWriteDeliversTheDataBeforeTheCode) {
    start_trace();
    chip::write_axis_register(5, 0xA7, 0x5678, 0x1234);
    const std::vector<std::tuple<int, int, unsigned>> expected = {{kOut, 12, 0x5678}, {kOut, 14, 0x1234}, {kOut, 8, 0xA7}};
    EXPECT_EQ(raw_accesses(), expected);
    std::uint32_t value = 0;
    ASSERT_EQ(quvex_sim_chip_register(1, 1, 0xE7, &value), 0);
    EXPECT_EQ(value, 0x12345678u) << "the chip saw the value complete when the code arrived";
}

TEST_F(Primitives, StatusRegisterIsLoadedByCommandThenReadLowAndHigh) {
    start_trace();
    std::uint32_t status = 0;
    chip::read_status_register32(4, &status);
    EXPECT_EQ(card_events(), on_device(1, {X.read(reg::kReadStatus32, 0)}));
    EXPECT_EQ(raw_accesses().size(), 3u);
}

TEST_F(Primitives, ReadModifyWriteChangesOnlyTheField) {
    start_trace();
    chip::update_mirrored(2, chip::kEnv2, 0x00000F00u, 0x00000500u);
    EXPECT_EQ(axis_record(2).mirror[chip::kEnv2], 0x0030C515u);
    chip::update_mirrored(2, chip::kEnv2, 0x30000000u, 0x20000000u);
    EXPECT_EQ(card_events(), (std::vector<CardEvent>{Z.write(reg::kEnv2, startup::kEnv2),
                                                     Z.write(reg::kEnv2, startup::kEnv2 | 0x20000000)}));
    EXPECT_EQ(axis_record(2).mirror[chip::kEnv2], 0x2030C515u);
}

TEST_F(Primitives, AfterStartUpTheChipHoldsTheMirrorAndTheServoIsOff) {
    struct Expect {
        unsigned read_code;
        std::uint32_t value;
    };
    for (int axis = 0; axis < 4; ++axis) {
        for (Expect e : {Expect{0xDC, 0x048002C7}, Expect{0xDD, 0x0030C515}, Expect{0xDE, 0x00F02000},
                         Expect{0xD7, 0x08000000}, Expect{0xEC, 0}}) {
            std::uint32_t value = 0xFFFFFFFF;
            ASSERT_EQ(quvex_sim_chip_register(1, axis, e.read_code, &value), 0);
            EXPECT_EQ(value, e.value) << "axis " << axis << " code " << std::hex << e.read_code;
        }
        std::uint32_t outputs = 0xFF;
        quvex_sim_chip_outputs(1, axis, &outputs);
        EXPECT_EQ(outputs & 1u, 0u) << "servo-on output of axis " << axis;
    }
}

// A sink's writes reach the chip in the order given, with the codes of its bank, once it is
// flushed; its mirror follows unless it is told to leave it.
TEST_F(Primitives, SinkWritesInOrderWithItsBanksCodes) {
    start_trace();
    {
        chip::LocalChipSink sink(5, chip::Bank::kBuffered);
        sink.write(chip::kMaxSpeed, 0x12345);
        sink.write_slot(chip::kEnv2, 0x9D, 0x0030C515);
        sink.write(chip::kStartSpeed, 7);
        EXPECT_TRUE(raw_accesses().empty()) << "a counter read between two writes would overtake them";
    }
    {
        chip::LocalChipSink live(5, chip::Bank::kLive, chip::LocalChipSink::Mirror::kLeave);
        live.write(chip::kMaxSpeed, 9);
    }
    EXPECT_EQ(card_events(), on_device(1, {Y.write(reg::kMaxSpeed, 0x12345), Y.write(reg::kEnv2, startup::kEnv2),
                                           Y.write(reg::kStartSpeed, 7), Y.write(reg::live(reg::kMaxSpeed), 9)}));
    EXPECT_EQ(axis_record(5).mirror[chip::kMirrorMaxSpeed], 0x12345u);
    EXPECT_EQ(axis_record(5).mirror[chip::kMirrorStartSpeed], 7u);
}

TEST_F(Primitives, CardPortsAndBridgeControl) {
    start_trace();
    chip::write_card_port(1, chip::kCardControlPort, 0x0700);
    chip::write_bridge_control(1, false);
    chip::write_bridge_control(1, true);
    // The bridge control word with bit 11 clear, then set.
    EXPECT_EQ(card_events(), on_device(1, {card_port_write(0x20, 0x0700), bridge_write16(0x50, 0x4083),
                                           bridge_write16(0x50, 0x4083 | 0x0800)}));
}

}  // namespace
}  // namespace quvex::test
