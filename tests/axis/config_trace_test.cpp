// Signal configuration: the exact register writes and commands of every configuration export,
// starting from the start-up registers that quvex_initial programs.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "axis/move_ratio.h"
#include "chip/register_mirror.h"
#include "frame/card_table.h"
#include "axis_fixture.h"

namespace quvex::test {
namespace {

// Axis Z of card 1: the card and axis offsets of every port must be right.
constexpr int16_t kAxis = 6;
const std::string kChip = "d1.Z ";

struct ConfigCase {
    const char* name;
    std::function<quvex_status()> call;
    std::vector<std::string> trace;           // decoded events after kChip, in order
    std::function<void()> prepare = nullptr;  // runs before tracing starts
};

class ConfigTrace : public AxisTest, public ::testing::WithParamInterface<ConfigCase> {
protected:
    ConfigTrace() : AxisTest(2) {}
};

TEST_P(ConfigTrace, WritesWholeRegisterWithOnlyItsFieldChanged) {
    const ConfigCase& c = GetParam();
    if (c.prepare) c.prepare();
    start_trace();
    EXPECT_EQ(c.call(), QUVEX_OK);
    std::vector<std::string> expected;
    for (const std::string& e : c.trace) expected.push_back(kChip + e);
    EXPECT_EQ(trace_lines(), expected);
}

// Puts env1 bits into the mirror as another operation (synchronous stop mode, arcs) would have.
void preset_env1(std::uint32_t bits) { axis_record(kAxis).mirror[chip::kEnv1] |= bits; }

std::vector<ConfigCase> config_cases() {
    return {
        {"outmode_5_stores_7", [] { return quvex_set_pls_outmode(kAxis, 5); }, {"reg 9C <- 048002C7"}},
        {"outmode_7_stores_5", [] { return quvex_set_pls_outmode(kAxis, 7); }, {"reg 9C <- 048002C5"}},
        {"outmode_9_masked_to_1", [] { return quvex_set_pls_outmode(kAxis, 9); }, {"reg 9C <- 048002C1"}},
        {"outmode_13_masked_not_swapped", [] { return quvex_set_pls_outmode(kAxis, 13); }, {"reg 9C <- 048002C5"}},
        {"iptmode_2_logic_1", [] { return quvex_set_pls_iptmode(kAxis, 2, 1); }, {"reg 9D <- 0060C515"}},
        {"iptmode_masked", [] { return quvex_set_pls_iptmode(kAxis, 4, 2); }, {"reg 9D <- 0000C515"}},
        {"feedback_1", [] { return quvex_set_feedback_src(kAxis, 1); }, {"reg 9E <- 00F02100"}},
        {"feedback_2", [] { return quvex_set_feedback_src(kAxis, 2); }, {"reg 9E <- 00F02200"}},
        {"feedback_7_masked_not_command_counter", [] { return quvex_set_feedback_src(kAxis, 7); },
         {"reg 9E <- 00F02300"}},
        {"feedback_3_writes_source_0", [] { return quvex_set_feedback_src(kAxis, 3); }, {"reg 9E <- 00F02000"},
         [] { axis_record(kAxis).mirror[chip::kEnv3] |= 0x300; }},
        {"alm_logic_0_mode_1", [] { return quvex_set_alm(kAxis, 0, 1); }, {"reg 9C <- 048001C7"}},
        {"alm_masked", [] { return quvex_set_alm(kAxis, 3, 2); }, {"reg 9C <- 048002C7"}},
        {"inp_logic_only_in_env1", [] { return quvex_set_inp(kAxis, 1, 1); }, {"reg 9C <- 04C002C7"}},
        {"el_1", [] { return quvex_set_el(kAxis, 1); }, {"reg 9C <- 048002CF"}},
        {"el_0_rewrites_startup", [] { return quvex_set_el(kAxis, 0); }, {"reg 9C <- 048002C7"}},
        {"sd_env1_then_operation_mode", [] { return quvex_set_sd(kAxis, 1, 1, 0, 1); },
         {"reg 9C <- 048002D7", "reg 97 <- 08000100"}},
        {"sd_clears", [] { return quvex_set_sd(kAxis, 0, 0, 0, 0); }, {"reg 9C <- 04800287", "reg 97 <- 08000000"}},
        {"erc_clears_bits_16_17", [] { return quvex_set_erc(kAxis, 1, 5); }, {"reg 9C <- 0480D2C7"},
         [] { preset_env1(0x30000); }},
        {"erc_width_masked", [] { return quvex_set_erc(kAxis, 0, 9); }, {"reg 9C <- 048012C7"}},
        {"erc_on_1", [] { return quvex_set_erc_on(kAxis, 1); }, {"cmd 0024"}},
        {"erc_on_0", [] { return quvex_set_erc_on(kAxis, 0); }, {"cmd 0025"}},
        {"erc_on_2_nothing", [] { return quvex_set_erc_on(kAxis, 2); }, {}},
        {"auto_erc_1", [] { return quvex_set_auto_erc(kAxis, 1); }, {"reg 9C <- 04800EC7"}},
        {"auto_erc_0", [] { return quvex_set_auto_erc(kAxis, 0); }, {"reg 9C <- 048002C7"},
         [] { preset_env1(0xC00); }},
        {"auto_erc_2_rewrites_unchanged", [] { return quvex_set_auto_erc(kAxis, 2); }, {"reg 9C <- 04800AC7"},
         [] { preset_env1(0x800); }},
        {"home_config_env1_env2_env3", [] { return quvex_set_home_config(kAxis, 0x1A, 0, 1, 0x13, 1); },
         {"reg 9C <- 04800A47", "reg 9D <- 00B0C515", "reg 9E <- 00F0203A"}},
        {"ltc_logic_0", [] { return quvex_set_ltc_logic(kAxis, 0); }, {"reg 9C <- 040002C7"}},
        {"ltc_logic_masked", [] { return quvex_set_ltc_logic(kAxis, 2); }, {"reg 9C <- 040002C7"}},
        {"servo_on", [] { return quvex_set_servo(kAxis, 1); }, {"cmd 0018"}},
        {"servo_any_nonzero_on", [] { return quvex_set_servo(kAxis, -3); }, {"cmd 0018"}},
        {"servo_off", [] { return quvex_set_servo(kAxis, 0); }, {"cmd 0010"}},
        {"ralm_on", [] { return quvex_set_ralm(kAxis, 7); }, {"cmd 0019"}},
        {"ralm_off", [] { return quvex_set_ralm(kAxis, 0); }, {"cmd 0011"}},
        {"reset_error_counter", [] { return quvex_reset_error_counter(kAxis); }, {"cmd 0022"}},
        {"set_command_drops_top_bits", [] { return quvex_set_command(kAxis, 0x7FFFFFFF); }, {"reg A3 <- 0FFFFFFF"}},
        {"set_command_negative", [] { return quvex_set_command(kAxis, -2); }, {"reg A3 <- 0FFFFFFE"}},
        {"set_position_truncates", [] { return quvex_set_position(kAxis, -7.9); }, {"reg A4 <- FFFFFFF9"}},
        {"axis_output_on", [] { return quvex_axis_output(1, 2, 1); }, {"cmd 001C"}},
        {"axis_output_off", [] { return quvex_axis_output(1, 2, 0); }, {"cmd 0014"}},
    };
}

INSTANTIATE_TEST_SUITE_P(Exports, ConfigTrace, ::testing::ValuesIn(config_cases()),
                         [](const auto& p) { return std::string(p.param.name); });

// Field changes accumulate in the mirror: each write carries every earlier change.
TEST_F(ConfigTrace, ChangesAccumulate) {
    start_trace();
    quvex_set_el(kAxis, 1);
    quvex_set_pls_outmode(kAxis, 2);
    quvex_set_alm(kAxis, 0, 1);
    EXPECT_EQ(trace_lines(), (std::vector<std::string>{kChip + "reg 9C <- 048002CF", kChip + "reg 9C <- 048002CA",
                                                       kChip + "reg 9C <- 048001CA"}));
}

// The in-position enable waits in the mirror for the next operation-mode write.
TEST_F(ConfigTrace, InPositionEnableStaysInMirror) {
    ASSERT_EQ(quvex_set_inp(kAxis, 1, 0), QUVEX_OK);
    EXPECT_EQ(axis_record(kAxis).mirror[chip::kMirrorOperationMode], 0x08000200u);
    start_trace();
    quvex_set_sd(kAxis, 1, 0, 0, 0);
    EXPECT_EQ(trace_lines_starting(kChip + "reg 97"), std::vector<std::string>{kChip + "reg 97 <- 08000300"});
}

TEST_F(ConfigTrace, FeedbackSourceRecordsCommandCounterAndResetsRatio) {
    ASSERT_EQ(quvex_set_move_ratio(kAxis, 4.0), QUVEX_OK);
    quvex_set_feedback_src(kAxis, 3);
    EXPECT_EQ(axis_record(kAxis).feedback_src, 1);
    EXPECT_EQ(axis::move_ratio(kAxis), 4.0);
    quvex_set_feedback_src(kAxis, 1);
    EXPECT_EQ(axis_record(kAxis).feedback_src, 0);
    EXPECT_EQ(axis::move_ratio(kAxis), 1.0);
    // Only the value 3 itself selects the command counter, not one that masks to 3.
    quvex_set_feedback_src(kAxis, 3);
    quvex_set_feedback_src(kAxis, 7);
    EXPECT_EQ(axis_record(kAxis).feedback_src, 0);
}

struct EndLimitCase {
    int16_t axis;
    int16_t on_off;
    uint16_t before;
    const char* written;
};

class EndLimitLogic : public AxisTest, public ::testing::WithParamInterface<EndLimitCase> {};

TEST_P(EndLimitLogic, ChangesOnlyTheAxisBit) {
    const EndLimitCase& c = GetParam();
    quvex_set_ell(3, c.before & 1);  // axis U: bit 0
    quvex_set_ell(0, (c.before >> 3) & 1);  // axis X: bit 3
    start_trace();
    ASSERT_EQ(quvex_set_ell(c.axis, c.on_off), QUVEX_OK);
    char read[32];
    std::snprintf(read, sizeof read, "d0 board 08 -> %04X", c.before);
    EXPECT_EQ(trace_lines(), (std::vector<std::string>{read, std::string("d0 board 08 <- ") + c.written}));
}

INSTANTIATE_TEST_SUITE_P(Board, EndLimitLogic,
                         ::testing::Values(EndLimitCase{0, 1, 0x0, "0008"}, EndLimitCase{3, 1, 0x0, "0001"},
                                           EndLimitCase{1, 1, 0x9, "000D"}, EndLimitCase{2, 1, 0x0, "0002"},
                                           EndLimitCase{0, 0, 0x9, "0001"}, EndLimitCase{3, 0, 0x9, "0008"},
                                           EndLimitCase{0, 2, 0x9, "0009"}, EndLimitCase{3, -1, 0x1, "0001"}));

}  // namespace
}  // namespace quvex::test
