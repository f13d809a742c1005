// Signal configuration: the exact register writes and commands of every configuration export,
// starting from the start-up registers that quvex_initial programs.
#include <functional>
#include <string>
#include <vector>

#include "axis/move_ratio.h"
#include "chip/register_mirror.h"
#include "card/card_table.h"
#include "axis_fixture.h"

namespace quvex::test {
namespace {

// Axis Z of card 1: the card and axis offsets of every port must be right.
constexpr int16_t kAxis = 6;

struct ConfigCase {
    const char* name;
    std::function<quvex_status()> call;
    std::vector<CardEvent> trace;             // events of card 1's axis Z, in order
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
    EXPECT_EQ(card_events(), on_device(1, c.trace));
}

// Puts env1 bits into the mirror as another operation (synchronous stop mode, arcs) would have.
void preset_env1(std::uint32_t bits) { axis_record(kAxis).mirror[chip::kEnv1] |= bits; }

// env1 fields: pulse output mode 0-2, end-limit stop 3, slow-down mode 4, latch 5, logic 6, home
// flag 7, alarm mode 8 and logic 9, automatic ERC 10-11, home ERC 11, ERC width 12-14 and logic
// 15, in-position logic 22, latch logic 23.
constexpr std::uint32_t env1_with(unsigned shift, unsigned width, std::uint32_t value) {
    return with_bits(startup::kEnv1, shift, width, value);
}
// env2: encoder input mode 20-21, encoder logic 22, home flag 23. env3: home mode 0-3, home count
// 4-7, feedback source 8-9.
constexpr std::uint32_t env2_with(unsigned shift, unsigned width, std::uint32_t value) {
    return with_bits(startup::kEnv2, shift, width, value);
}
constexpr std::uint32_t env3_with(unsigned shift, unsigned width, std::uint32_t value) {
    return with_bits(startup::kEnv3, shift, width, value);
}
constexpr std::uint32_t kSlowDownEnable = 1u << 8;  // operation mode

std::vector<ConfigCase> config_cases() {
    return {
        {"outmode_5_stores_7", [] { return quvex_set_pls_outmode(kAxis, 5); },
         {Z.write(reg::kEnv1, env1_with(0, 3, 7))}},
        {"outmode_7_stores_5", [] { return quvex_set_pls_outmode(kAxis, 7); },
         {Z.write(reg::kEnv1, env1_with(0, 3, 5))}},
        {"outmode_9_masked_to_1", [] { return quvex_set_pls_outmode(kAxis, 9); },
         {Z.write(reg::kEnv1, env1_with(0, 3, 1))}},
        {"outmode_13_masked_not_swapped", [] { return quvex_set_pls_outmode(kAxis, 13); },
         {Z.write(reg::kEnv1, env1_with(0, 3, 5))}},
        {"iptmode_2_logic_1", [] { return quvex_set_pls_iptmode(kAxis, 2, 1); },
         {Z.write(reg::kEnv2, with_bits(env2_with(20, 2, 2), 22, 1, 1))}},
        {"iptmode_masked", [] { return quvex_set_pls_iptmode(kAxis, 4, 2); },
         {Z.write(reg::kEnv2, with_bits(env2_with(20, 2, 0), 22, 1, 0))}},
        {"feedback_1", [] { return quvex_set_feedback_src(kAxis, 1); }, {Z.write(reg::kEnv3, env3_with(8, 2, 1))}},
        {"feedback_2", [] { return quvex_set_feedback_src(kAxis, 2); }, {Z.write(reg::kEnv3, env3_with(8, 2, 2))}},
        {"feedback_7_masked_not_command_counter", [] { return quvex_set_feedback_src(kAxis, 7); },
         {Z.write(reg::kEnv3, env3_with(8, 2, 3))}},
        {"feedback_3_writes_source_0", [] { return quvex_set_feedback_src(kAxis, 3); },
         {Z.write(reg::kEnv3, env3_with(8, 2, 0))}, [] { axis_record(kAxis).mirror[chip::kEnv3] |= 0x300; }},
        {"alm_logic_0_mode_1", [] { return quvex_set_alm(kAxis, 0, 1); }, {Z.write(reg::kEnv1, env1_with(8, 2, 0b01))}},
        {"alm_masked", [] { return quvex_set_alm(kAxis, 3, 2); }, {Z.write(reg::kEnv1, env1_with(8, 2, 0b10))}},
        {"inp_logic_only_in_env1", [] { return quvex_set_inp(kAxis, 1, 1); },
         {Z.write(reg::kEnv1, env1_with(22, 1, 1))}},
        {"el_1", [] { return quvex_set_el(kAxis, 1); }, {Z.write(reg::kEnv1, env1_with(3, 1, 1))}},
        {"el_0_rewrites_startup", [] { return quvex_set_el(kAxis, 0); }, {Z.write(reg::kEnv1, startup::kEnv1)}},
        // Slow-down mode 1, latch 0, logic 1 (bits 4-6 = 0b101).
        {"sd_env1_then_operation_mode", [] { return quvex_set_sd(kAxis, 1, 1, 0, 1); },
         {Z.write(reg::kEnv1, env1_with(4, 3, 0b101)),
          Z.write(reg::live(reg::kOperationMode), startup::kOperationMode | kSlowDownEnable)}},
        {"sd_clears", [] { return quvex_set_sd(kAxis, 0, 0, 0, 0); },
         {Z.write(reg::kEnv1, env1_with(4, 3, 0)), Z.write(reg::live(reg::kOperationMode), startup::kOperationMode)}},
        // ERC logic 1 and width 5 (bits 12-15 = 0b1101), bits 16-17 cleared.
        {"erc_clears_bits_16_17", [] { return quvex_set_erc(kAxis, 1, 5); },
         {Z.write(reg::kEnv1, env1_with(12, 4, 0b1101))}, [] { preset_env1(0x30000); }},
        {"erc_width_masked", [] { return quvex_set_erc(kAxis, 0, 9); }, {Z.write(reg::kEnv1, env1_with(12, 4, 1))}},
        {"erc_on_1", [] { return quvex_set_erc_on(kAxis, 1); }, {Z.command(cmd::kErcOn)}},
        {"erc_on_0", [] { return quvex_set_erc_on(kAxis, 0); }, {Z.command(cmd::kErcOff)}},
        {"erc_on_2_nothing", [] { return quvex_set_erc_on(kAxis, 2); }, {}},
        {"auto_erc_1", [] { return quvex_set_auto_erc(kAxis, 1); }, {Z.write(reg::kEnv1, env1_with(10, 2, 3))}},
        {"auto_erc_0", [] { return quvex_set_auto_erc(kAxis, 0); }, {Z.write(reg::kEnv1, env1_with(10, 2, 0))},
         [] { preset_env1(0xC00); }},
        {"auto_erc_2_rewrites_unchanged", [] { return quvex_set_auto_erc(kAxis, 2); },
         {Z.write(reg::kEnv1, env1_with(10, 2, 2))}, [] { preset_env1(0x800); }},
        // Home flag 1 clear and home ERC set in env1, home flag 2 set in env2, mode 0x1A and count
        // 0x13 masked to their four bits in env3.
        {"home_config_env1_env2_env3", [] { return quvex_set_home_config(kAxis, 0x1A, 0, 1, 0x13, 1); },
         {Z.write(reg::kEnv1, with_bits(env1_with(7, 1, 0), 11, 1, 1)), Z.write(reg::kEnv2, env2_with(23, 1, 1)),
          Z.write(reg::kEnv3, with_bits(env3_with(0, 4, 0xA), 4, 4, 3))}},
        {"ltc_logic_0", [] { return quvex_set_ltc_logic(kAxis, 0); }, {Z.write(reg::kEnv1, env1_with(23, 1, 0))}},
        {"ltc_logic_masked", [] { return quvex_set_ltc_logic(kAxis, 2); }, {Z.write(reg::kEnv1, env1_with(23, 1, 0))}},
        {"servo_on", [] { return quvex_set_servo(kAxis, 1); }, {Z.command(cmd::kOutputOn + cmd::kServoOutput)}},
        {"servo_any_nonzero_on", [] { return quvex_set_servo(kAxis, -3); },
         {Z.command(cmd::kOutputOn + cmd::kServoOutput)}},
        {"servo_off", [] { return quvex_set_servo(kAxis, 0); }, {Z.command(cmd::kOutputOff + cmd::kServoOutput)}},
        {"ralm_on", [] { return quvex_set_ralm(kAxis, 7); }, {Z.command(cmd::kOutputOn + cmd::kAlarmResetOutput)}},
        {"ralm_off", [] { return quvex_set_ralm(kAxis, 0); }, {Z.command(cmd::kOutputOff + cmd::kAlarmResetOutput)}},
        {"reset_error_counter", [] { return quvex_reset_error_counter(kAxis); }, {Z.command(cmd::kClearErrorCounter)}},
        // The command counter holds 28 bits.
        {"set_command_drops_top_bits", [] { return quvex_set_command(kAxis, 0x7FFFFFFF); },
         {Z.write(reg::kCommandCounter, 0x0FFFFFFF)}},
        {"set_command_negative", [] { return quvex_set_command(kAxis, -2); },
         {Z.write(reg::kCommandCounter, -2 & 0x0FFFFFFF)}},
        {"set_position_truncates", [] { return quvex_set_position(kAxis, -7.9); },
         {Z.write(reg::kPositionCounter, -7)}},
        {"axis_output_on", [] { return quvex_axis_output(1, 2, 1); },
         {Z.command(cmd::kOutputOn + cmd::kGeneralOutput)}},
        {"axis_output_off", [] { return quvex_axis_output(1, 2, 0); },
         {Z.command(cmd::kOutputOff + cmd::kGeneralOutput)}},
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
    // End-limit stop on, then output mode 2, then alarm mode 1 and logic 0.
    const std::uint32_t el = env1_with(3, 1, 1);
    const std::uint32_t outmode = with_bits(el, 0, 3, 2);
    EXPECT_EQ(card_events(), on_device(1, {Z.write(reg::kEnv1, el), Z.write(reg::kEnv1, outmode),
                                           Z.write(reg::kEnv1, with_bits(outmode, 8, 2, 0b01))}));
}

// The in-position enable waits in the mirror for the next operation-mode write.
TEST_F(ConfigTrace, InPositionEnableStaysInMirror) {
    ASSERT_EQ(quvex_set_inp(kAxis, 1, 0), QUVEX_OK);
    EXPECT_EQ(axis_record(kAxis).mirror[chip::kMirrorOperationMode], 0x08000200u);
    start_trace();
    quvex_set_sd(kAxis, 1, 0, 0, 0);
    constexpr std::uint32_t kInPositionEnable = 1u << 9;
    EXPECT_EQ(card_events({.kind = QUVEX_SIM_EV_CHIP_REG_WRITE, .device = 1, .axis = Z,
                           .code = reg::live(reg::kOperationMode)}),
              on_device(1, {Z.write(reg::live(reg::kOperationMode),
                                    startup::kOperationMode | kInPositionEnable | kSlowDownEnable)}));
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
    uint16_t written;
};

class EndLimitLogic : public AxisTest, public ::testing::WithParamInterface<EndLimitCase> {};

TEST_P(EndLimitLogic, ChangesOnlyTheAxisBit) {
    const EndLimitCase& c = GetParam();
    quvex_set_ell(3, c.before & 1);  // axis U: bit 0
    quvex_set_ell(0, (c.before >> 3) & 1);  // axis X: bit 3
    start_trace();
    ASSERT_EQ(quvex_set_ell(c.axis, c.on_off), QUVEX_OK);
    EXPECT_EQ(card_events(), (std::vector<CardEvent>{board_read(board::kEndLimitLogic, c.before),
                                                     board_write(board::kEndLimitLogic, c.written)}));
}

INSTANTIATE_TEST_SUITE_P(Board, EndLimitLogic,
                         ::testing::Values(EndLimitCase{0, 1, 0x0, 0x08}, EndLimitCase{3, 1, 0x0, 0x01},
                                           EndLimitCase{1, 1, 0x9, 0x0D}, EndLimitCase{2, 1, 0x0, 0x02},
                                           EndLimitCase{0, 0, 0x9, 0x01}, EndLimitCase{3, 0, 0x9, 0x08},
                                           EndLimitCase{0, 2, 0x9, 0x09}, EndLimitCase{3, -1, 0x1, 0x01}));

}  // namespace
}  // namespace quvex::test
