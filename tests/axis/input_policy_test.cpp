// Input policy of the axis and card I/O exports: documented checks first, then an AxisNo or
// card whose card is absent or outside the table gets 30; every refusal touches nothing.
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "axis_fixture.h"
#include "special_values.h"

namespace quvex::test {
namespace {

struct Export {
    const char* name;
    std::function<quvex_status(int16_t)> call;  // the AxisNo or card number varies
};

std::vector<Export> axis_exports() {
    static uint16_t u16;
    static int16_t i16;
    static int32_t i32;
    static double d;
    return {
        {"set_pls_outmode", [](int16_t a) { return quvex_set_pls_outmode(a, 1); }},
        {"set_pls_iptmode", [](int16_t a) { return quvex_set_pls_iptmode(a, 1, 1); }},
        {"set_feedback_src", [](int16_t a) { return quvex_set_feedback_src(a, 1); }},
        {"set_alm", [](int16_t a) { return quvex_set_alm(a, 1, 1); }},
        {"set_inp", [](int16_t a) { return quvex_set_inp(a, 1, 1); }},
        {"set_el", [](int16_t a) { return quvex_set_el(a, 1); }},
        {"set_ell", [](int16_t a) { return quvex_set_ell(a, 1); }},
        {"set_sd", [](int16_t a) { return quvex_set_sd(a, 1, 1, 1, 1); }},
        {"set_erc", [](int16_t a) { return quvex_set_erc(a, 1, 1); }},
        {"set_erc_on", [](int16_t a) { return quvex_set_erc_on(a, 1); }},
        {"set_auto_erc", [](int16_t a) { return quvex_set_auto_erc(a, 1); }},
        {"set_home_config", [](int16_t a) { return quvex_set_home_config(a, 1, 1, 1, 1, 1); }},
        {"set_ltc_logic", [](int16_t a) { return quvex_set_ltc_logic(a, 1); }},
        {"set_servo", [](int16_t a) { return quvex_set_servo(a, 1); }},
        {"set_ralm", [](int16_t a) { return quvex_set_ralm(a, 1); }},
        {"set_move_ratio", [](int16_t a) { return quvex_set_move_ratio(a, 2.0); }},
        {"get_io_status", [](int16_t a) { return quvex_get_io_status(a, &u16); }},
        {"motion_done", [](int16_t a) { return quvex_motion_done(a); }},
        {"get_position", [](int16_t a) { return quvex_get_position(a, &d); }},
        {"set_position", [](int16_t a) { return quvex_set_position(a, 1.0); }},
        {"get_target_pos", [](int16_t a) { return quvex_get_target_pos(a, &d); }},
        {"reset_target_pos", [](int16_t a) { return quvex_reset_target_pos(a, 1.0); }},
        {"get_command", [](int16_t a) { return quvex_get_command(a, &i32); }},
        {"set_command", [](int16_t a) { return quvex_set_command(a, 1); }},
        {"get_error_counter", [](int16_t a) { return quvex_get_error_counter(a, &i16); }},
        {"reset_error_counter", [](int16_t a) { return quvex_reset_error_counter(a); }},
        {"get_current_speed", [](int16_t a) { return quvex_get_current_speed(a, &d); }},
        {"get_rest_command", [](int16_t a) { return quvex_get_rest_command(a, &i32); }},
        {"check_rdp", [](int16_t a) { return quvex_check_rdp(a, &i32); }},
    };
}

std::vector<Export> card_exports() {
    static uint16_t u16;
    return {
        {"axis_input", [](int16_t c) { return quvex_axis_input(c, &u16); }},
        {"axis_output", [](int16_t c) { return quvex_axis_output(c, 1, 1); }},
        {"ttl_input", [](int16_t c) { return quvex_ttl_input(c, &u16); }},
        {"ttl_output", [](int16_t c) { return quvex_ttl_output(c, 1, 1); }},
        {"enable_ttl_output", [](int16_t c) { return quvex_enable_ttl_output(c, 1); }},
    };
}

// One card installed: AxisNo 4..47 and cards 1..11 are absent, the rest lies outside the table.
const std::vector<int16_t> kBadAxes = {-1, 4, 7, 47, 48, -32768, 32767};
const std::vector<int16_t> kBadCards = {-1, 1, 11, 12, -32768, 32767};

class InputPolicy : public AxisTest, public ::testing::WithParamInterface<Export> {
protected:
    void expect_refused(const Export& e, int16_t number) {
        const auto ratios_before = [] {
            std::vector<double> r;
            for (int a = 0; a < kMaxAxes; ++a) r.push_back(axis::move_ratio(a));
            return r;
        }();
        const AxisRecord axis0 = axis_record(0);
        start_trace();
        EXPECT_EQ(e.call(number), QUVEX_ERR_CARD_NUMBER) << e.name << "(" << number << ")";
        EXPECT_TRUE(card_events().empty()) << e.name << "(" << number << ")";
        EXPECT_EQ(axis_record(0).mirror.word, axis0.mirror.word);
        for (int a = 0; a < kMaxAxes; ++a) EXPECT_EQ(axis::move_ratio(a), ratios_before[static_cast<std::size_t>(a)]);
    }
};

class AxisPolicy : public InputPolicy {};
class CardPolicy : public InputPolicy {};

TEST_P(AxisPolicy, UnusableAxisGets30) {
    for (int16_t a : kBadAxes) expect_refused(GetParam(), a);
}

TEST_P(CardPolicy, UnusableCardGets30) {
    for (int16_t c : kBadCards) expect_refused(GetParam(), c);
}

const auto kExportName = [](const auto& p) { return std::string(p.param.name); };
INSTANTIATE_TEST_SUITE_P(Axis, AxisPolicy, ::testing::ValuesIn(axis_exports()), kExportName);
INSTANTIATE_TEST_SUITE_P(Card, CardPolicy, ::testing::ValuesIn(card_exports()), kExportName);

// Documented codes come before the card check, and refusals change nothing.
TEST_F(InputPolicy, DocumentedChecksComeFirst) {
    struct Case {
        const char* name;
        std::function<quvex_status()> call;
        quvex_status status;
    };
    const Case cases[] = {
        {"ttl_output channel 4, bad card", [] { return quvex_ttl_output(99, 4, 1); }, QUVEX_ERR_CHANNEL},
        {"ttl_output negative channel", [] { return quvex_ttl_output(0, -1, 1); }, QUVEX_ERR_CHANNEL},
        {"axis_output channel 4, bad card", [] { return quvex_axis_output(99, 4, 1); }, QUVEX_ERR_CHANNEL},
        {"axis_output negative channel", [] { return quvex_axis_output(0, -1, 1); }, QUVEX_ERR_CHANNEL},
        {"move_ratio 0, bad axis", [] { return quvex_set_move_ratio(-1, 0.0); }, QUVEX_ERR_ZERO_MOVE_RATIO},
        {"move_ratio -0", [] { return quvex_set_move_ratio(0, -0.0); }, QUVEX_ERR_ZERO_MOVE_RATIO},
        {"move_ratio NaN", [] { return quvex_set_move_ratio(0, kNaN); }, QUVEX_ERR_ZERO_MOVE_RATIO},
        {"move_ratio infinite", [] { return quvex_set_move_ratio(0, -kInf); }, QUVEX_ERR_ZERO_MOVE_RATIO},
        {"set_position out of range, bad axis", [] { return quvex_set_position(40, 2e8); }, QUVEX_ERR_PULSE_RANGE},
        {"reset_target_pos NaN", [] { return quvex_reset_target_pos(0, kNaN); }, QUVEX_ERR_PULSE_RANGE},
        {"reset_target_pos infinite", [] { return quvex_reset_target_pos(0, kInf); }, QUVEX_ERR_PULSE_RANGE},
    };
    for (const Case& c : cases) {
        const AxisRecord before = axis_record(0);
        start_trace();
        EXPECT_EQ(c.call(), c.status) << c.name;
        EXPECT_TRUE(card_events().empty()) << c.name;
        EXPECT_EQ(axis_record(0).target_pos, before.target_pos) << c.name;
        EXPECT_EQ(axis::move_ratio(0), 1.0) << c.name;
    }
}

// A null out-pointer is not written and the call still succeeds.
TEST_F(InputPolicy, NullOutPointersAreNotWritten) {
    EXPECT_EQ(quvex_get_io_status(0, nullptr), QUVEX_OK);
    EXPECT_EQ(quvex_get_position(0, nullptr), QUVEX_OK);
    EXPECT_EQ(quvex_get_target_pos(0, nullptr), QUVEX_OK);
    EXPECT_EQ(quvex_get_command(0, nullptr), QUVEX_OK);
    EXPECT_EQ(quvex_get_error_counter(0, nullptr), QUVEX_OK);
    EXPECT_EQ(quvex_get_current_speed(0, nullptr), QUVEX_OK);
    EXPECT_EQ(quvex_get_rest_command(0, nullptr), QUVEX_OK);
    EXPECT_EQ(quvex_check_rdp(0, nullptr), QUVEX_OK);
    EXPECT_EQ(quvex_axis_input(0, nullptr), QUVEX_OK);
    EXPECT_EQ(quvex_ttl_input(0, nullptr), QUVEX_OK);
}

}  // namespace
}  // namespace quvex::test
