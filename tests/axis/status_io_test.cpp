// Status read-back: every signal input of the virtual chip driven through the installation's
// control interface and found at its io_status bit; general input pins; TTL I/O.
#include <string>
#include <vector>

#include "axis/counters.h"
#include "axis_fixture.h"

namespace quvex::test {
namespace {

constexpr int kDevice = 1;
constexpr int kChipAxis = 2;
constexpr int16_t kIoAxis = kDevice * 4 + kChipAxis;

class TwoCards : public AxisTest {
protected:
    TwoCards() : AxisTest(2) {}
    uint16_t io_status() {
        uint16_t word = 0xDEAD;
        EXPECT_EQ(quvex_get_io_status(kIoAxis, &word), QUVEX_OK);
        return word;
    }
};

struct InputCase {
    const char* name;
    int signal;
    int io_bit;
};

class IoStatusInput : public TwoCards, public ::testing::WithParamInterface<InputCase> {};

TEST_P(IoStatusInput, DrivesExactlyItsBit) {
    const InputCase& c = GetParam();
    ASSERT_EQ(io_status(), 0);
    ASSERT_EQ(quvex_sim_set_axis_input(kDevice, kChipAxis, c.signal, 1), 0);
    EXPECT_EQ(io_status(), 1u << c.io_bit);
    // The same input of the neighbouring axis and card must not show here.
    quvex_sim_set_axis_input(kDevice, kChipAxis, c.signal, 0);
    quvex_sim_set_axis_input(kDevice, kChipAxis + 1, c.signal, 1);
    quvex_sim_set_axis_input(0, kChipAxis, c.signal, 1);
    EXPECT_EQ(io_status(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, IoStatusInput,
    ::testing::Values(InputCase{"alarm", QUVEX_SIM_INPUT_ALARM, 0}, InputCase{"origin", QUVEX_SIM_INPUT_ORIGIN, 1},
                      InputCase{"index", QUVEX_SIM_INPUT_INDEX, 2},
                      InputCase{"in_position", QUVEX_SIM_INPUT_IN_POSITION, 3},
                      InputCase{"slow_down", QUVEX_SIM_INPUT_SLOW_DOWN, 4}, InputCase{"latch", QUVEX_SIM_INPUT_LATCH, 5},
                      InputCase{"general1", QUVEX_SIM_INPUT_GENERAL0 + 1, 6},
                      InputCase{"general2", QUVEX_SIM_INPUT_GENERAL0 + 2, 7},
                      InputCase{"general3", QUVEX_SIM_INPUT_GENERAL0 + 3, 8},
                      InputCase{"general4", QUVEX_SIM_INPUT_GENERAL0 + 4, 9},
                      InputCase{"el_plus", QUVEX_SIM_INPUT_EL_PLUS, 14},
                      InputCase{"el_minus", QUVEX_SIM_INPUT_EL_MINUS, 15}),
    [](const auto& p) { return std::string(p.param.name); });

struct OutputCase {
    const char* name;
    quvex_status (*on)();
    quvex_status (*off)();
    int io_bit;
};

class IoStatusOutput : public TwoCards, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(IoStatusOutput, ReportsTheOutputState) {
    const OutputCase& c = GetParam();
    ASSERT_EQ(c.on(), QUVEX_OK);
    EXPECT_EQ(io_status(), 1u << c.io_bit);
    ASSERT_EQ(c.off(), QUVEX_OK);
    EXPECT_EQ(io_status(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, IoStatusOutput,
    ::testing::Values(
        OutputCase{"servo", [] { return quvex_set_servo(kIoAxis, 1); }, [] { return quvex_set_servo(kIoAxis, 0); }, 10},
        OutputCase{"alarm_reset", [] { return quvex_set_ralm(kIoAxis, 1); },
                   [] { return quvex_set_ralm(kIoAxis, 0); }, 11},
        OutputCase{"erc", [] { return quvex_set_erc_on(kIoAxis, 1); }, [] { return quvex_set_erc_on(kIoAxis, 0); }, 12},
        OutputCase{"general_output", [] { return quvex_axis_output(kDevice, kChipAxis, 1); },
                   [] { return quvex_axis_output(kDevice, kChipAxis, 0); }, 13}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(TwoCards, IoStatusReadsSubStatusFirstThenStatusRegister) {
    start_trace();
    io_status();
    EXPECT_EQ(card_events(), on_device(1, {substatus_read(Z, 0), Z.read(reg::kReadStatus32, 0)}));
}

TEST_F(TwoCards, IdleAxisIsDone) {
    EXPECT_EQ(quvex_motion_done(kIoAxis), 0);
    EXPECT_EQ(quvex_motion_done(0), 0);
}

// General input pin 0 of axes Y, Z, U lands in bits 0..2; axis X's pin is not reported.
TEST_F(TwoCards, AxisInputReportsYZUOnly) {
    struct Case {
        int chip_axis;
        uint16_t expected;
    };
    for (const Case& c : {Case{0, 0x0}, Case{1, 0x1}, Case{2, 0x2}, Case{3, 0x4}}) {
        quvex_sim_set_axis_input(kDevice, c.chip_axis, QUVEX_SIM_INPUT_GENERAL0, 1);
        uint16_t input = 0xFFFF;
        EXPECT_EQ(quvex_axis_input(kDevice, &input), QUVEX_OK);
        EXPECT_EQ(input, c.expected) << "axis " << c.chip_axis;
        quvex_sim_set_axis_input(kDevice, c.chip_axis, QUVEX_SIM_INPUT_GENERAL0, 0);
    }
    start_trace();
    uint16_t input = 0;
    quvex_axis_input(kDevice, &input);
    EXPECT_EQ(card_events(), on_device(1, {substatus_read(Y, 0), substatus_read(Z, 0), substatus_read(U, 0)}));
}

TEST_F(TwoCards, TtlInputKeepsLowFourBits) {
    quvex_sim_set_ttl_inputs(kDevice, 0xFFF5);
    uint16_t input = 0;
    EXPECT_EQ(quvex_ttl_input(kDevice, &input), QUVEX_OK);
    EXPECT_EQ(input, 0x5);
}

// Each call changes only its own bit of the TTL output word, keeping what the others wrote.
TEST_F(TwoCards, TtlOutputChangesOnlyItsBit) {
    struct Step {
        quvex_status (*call)();
        int word;
    };
    const Step steps[] = {
        {[] { return quvex_ttl_output(kDevice, 2, 1); }, 0x0004},
        {[] { return quvex_enable_ttl_output(kDevice, 1); }, 0x0084},
        {[] { return quvex_ttl_output(kDevice, 0, 5); }, 0x0085},
        {[] { return quvex_ttl_output(kDevice, 2, 0); }, 0x0081},
        {[] { return quvex_enable_ttl_output(kDevice, 0); }, 0x0001},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(s.call(), QUVEX_OK);
        EXPECT_EQ(quvex_sim_board_port(kDevice, 0x1A), s.word);
    }
    EXPECT_EQ(quvex_sim_board_port(0, 0x1A), -1);  // the other card's word is untouched
}

// The speed register counts in units of 300 / (range + 1) pulses per second; only its low half counts.
TEST(CurrentSpeed, ScalesTheLowHalfByTheSpeedRange) {
    struct Case {
        std::uint32_t reg;
        std::uint32_t range;
        double pps;
    };
    for (const Case& c : {Case{1000, 299, 1000.0}, Case{1, 0, 300.0}, Case{0x12340064, 299, 100.0},
                          Case{65535, 8191, 65535.0 * 300.0 / 8192.0}}) {
        EXPECT_DOUBLE_EQ(axis::speed_from_register(c.reg, c.range), c.pps) << c.reg << " / " << c.range;
    }
}

}  // namespace
}  // namespace quvex::test
