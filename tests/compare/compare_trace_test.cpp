// Register traces of the comparator, trigger, latch and general-counter exports: the exact
// writes and reads of each, starting from the start-up registers, and the check orders.
#include <functional>
#include <string>
#include <vector>

#include "axis/move_ratio.h"
#include "chip/register_mirror.h"
#include "compare_fixture.h"

namespace quvex::test {
namespace {

// Axis Z of card 1: the card and axis offsets of every port must be right.
constexpr int16_t kTraceAxis = 6;

struct TraceCase {
    const char* name;
    std::function<quvex_status()> call;
    quvex_status status;
    std::vector<CardEvent> trace;             // events of card 1's axis Z, in order
    std::function<void()> prepare = nullptr;  // runs before tracing starts
};

class CompareTrace : public CompareTest, public ::testing::WithParamInterface<TraceCase> {
protected:
    CompareTrace() : CompareTest(2) {}
};

TEST_P(CompareTrace, WritesTheComparatorRegistersInOrder) {
    const TraceCase& c = GetParam();
    if (c.prepare) c.prepare();
    start_trace();
    EXPECT_EQ(c.call(), c.status);
    EXPECT_EQ(card_events(), on_device(1, c.trace));
}

void preset(chip::MirrorSlot slot, std::uint32_t word) { axis_record(kTraceAxis).mirror[slot] = word; }

// Comparators 1..3 take a byte of env4 each: source bits 0-1, condition 2-4, action 5-6.
constexpr std::uint32_t comparator(unsigned n, unsigned source, unsigned condition, unsigned action) {
    return (source | condition << 2 | action << 5) << (8 * (n - 1));
}
// Comparator 4: source bits 24-25, condition 26-29, action 30-31 of env4.
constexpr std::uint32_t comparator4(unsigned source, unsigned condition, unsigned action) {
    return source << 24 | condition << 26 | action << 30;
}
// Comparator 5: source bits 0-2, condition 3-5, action 6-7 of env5.
constexpr std::uint32_t comparator5(unsigned source, unsigned condition, unsigned action) {
    return source | condition << 3 | action << 6;
}
constexpr std::uint32_t kEnv4Preset = 0xC91638B8;

std::vector<TraceCase> trace_cases() {
    double out = 0;
    return {
        {"soft_limit_data_1_then_2", [] { return quvex_set_soft_limit(kTraceAxis, 1000, -1000); }, 0,
         {Z.write(reg::kComparator1, 1000), Z.write(reg::kComparator2, -1000)}},
        {"enable_soft_limit_action_5_stored_as_1", [] { return quvex_enable_soft_limit(kTraceAxis, 5); }, 0,
         {Z.write(reg::kEnv4, comparator(1, 0, 6, 1)),
          Z.write(reg::kEnv4, comparator(1, 0, 6, 1) | comparator(2, 0, 6, 1))}},
        {"enable_soft_limit_forces_source_0", [] { return quvex_enable_soft_limit(kTraceAxis, 2); }, 0,
         {Z.write(reg::kEnv4, comparator(1, 0, 6, 2) | comparator(2, 3, 0, 0)),
          Z.write(reg::kEnv4, comparator(1, 0, 6, 2) | comparator(2, 0, 6, 2))},
          [] { preset(chip::kEnv4, 0x00000303); }},
        {"disable_soft_limit_keeps_3_and_4_clears_bit_7", [] { return quvex_disable_soft_limit(kTraceAxis); }, 0,
         {Z.write(reg::kEnv4, kEnv4Preset & 0xFFFFFF00), Z.write(reg::kEnv4, kEnv4Preset & 0xFFFF0000)},
         [] { preset(chip::kEnv4, kEnv4Preset); }},
        {"error_check_on", [] { return quvex_set_error_counter_check(kTraceAxis, 50, 1); }, 0,
         {Z.write(reg::kEnv4, comparator(3, 2, 5, 0)), Z.write(reg::kComparator3, 50)}},
        {"error_check_off_bit_0_clear", [] { return quvex_set_error_counter_check(kTraceAxis, -3, 2); }, 0,
         {Z.write(reg::kEnv4, comparator(3, 2, 0, 0)), Z.write(reg::kComparator3, -3)}},
        {"general_comparator_data_then_configuration",
         [] { return quvex_set_general_comparator(kTraceAxis, 1, 2, 3, 12.5); }, 0,
         {Z.write(reg::kComparator4, 12), Z.write(reg::kEnv4, comparator4(1, 2, 3))}},
        {"general_counter_condition_forces_source_3",
         [] { return quvex_set_general_comparator(kTraceAxis, 0, 9, 1, 100); }, 0,
         {Z.write(reg::kComparator4, 100), Z.write(reg::kEnv4, comparator4(3, 9, 1))}},
        {"scaled_source_multiplies_by_ratio", [] { return quvex_set_general_comparator(kTraceAxis, 1, 1, 0, 2.5); }, 0,
         {Z.write(reg::kComparator4, 2500), Z.write(reg::kEnv4, comparator4(1, 1, 0))},
         [] { preset(chip::kEnv4, 0x01000000); axis::set_move_ratio(kTraceAxis, 1000); }},
        {"scaled_data_beyond_range_not_written",
         [] { return quvex_set_general_comparator(kTraceAxis, 1, 1, 0, 200000); }, 0,
         {Z.write(reg::kEnv4, comparator4(1, 1, 0))},
         [] { preset(chip::kEnv4, 0x01000000); axis::set_move_ratio(kTraceAxis, 1000); }},
        {"condition_6_on_4_refused_after_data", [] { return quvex_set_general_comparator(kTraceAxis, 0, 6, 0, 7.9); },
         QUVEX_ERR_COMPARATOR_CONDITION, {Z.write(reg::kComparator4, 7)}},
        {"trigger_comparator_keeps_env5_high_bits",
         [] { return quvex_set_trigger_comparator(kTraceAxis, 5, 7, -20.0); },
         0, {Z.write(reg::kComparator5, -20), Z.write(reg::kEnv5, 0x500 | comparator5(5, 7, 0))},
         [] { preset(chip::kEnv5, 0x00000500); }},
        // Trigger type in env2 bits 14-15, general-counter source in env3 bits 12-13.
        {"trigger_type_0", [] { return quvex_set_trigger_type(kTraceAxis, 0); }, 0,
         {Z.write(reg::kEnv2, with_bits(startup::kEnv2, 14, 2, 3))}},
        {"trigger_type_1", [] { return quvex_set_trigger_type(kTraceAxis, 1); }, 0,
         {Z.write(reg::kEnv2, with_bits(startup::kEnv2, 14, 2, 2))}},
        {"trigger_type_2_clears", [] { return quvex_set_trigger_type(kTraceAxis, 2); }, 0,
         {Z.write(reg::kEnv2, with_bits(startup::kEnv2, 14, 2, 0))}},
        {"trigger_type_negative_clears", [] { return quvex_set_trigger_type(kTraceAxis, -1); }, 0,
         {Z.write(reg::kEnv2, with_bits(startup::kEnv2, 14, 2, 0))}},
        {"compare_data_read", [out]() mutable { return quvex_check_compare_data(kTraceAxis, 4, &out); }, 0,
         {Z.read(reg::read(reg::kComparator4), 0)}},
        {"compare_status_read", [] { uint16_t s = 0xFFFF; return quvex_check_compare_status(kTraceAxis, &s); }, 0,
         {status_read(Z, 0)}},
        {"latch_2_read", [out]() mutable { return quvex_get_latch_data(kTraceAxis, 2, &out); },
         0, {Z.read(reg::kReadLatch0 + 2, 0)}},
        {"general_counter_read", [out]() mutable { return quvex_get_general_counter(kTraceAxis, &out); }, 0,
         {Z.read(reg::read(reg::kGeneralCounter), 0)}},
        {"general_counter_source_then_value", [] { return quvex_set_general_counter(kTraceAxis, 1, 5.0); }, 0,
         {Z.write(reg::kEnv3, with_bits(startup::kEnv3, 12, 2, 1)), Z.write(reg::kGeneralCounter, 5)}},
        {"general_counter_source_masked", [] { return quvex_set_general_counter(kTraceAxis, 5, -2.0); }, 0,
         {Z.write(reg::kEnv3, with_bits(startup::kEnv3, 12, 2, 1)), Z.write(reg::kGeneralCounter, -2)}},
        {"general_counter_scaled_beyond_range_keeps_source",
         [] { return quvex_set_general_counter(kTraceAxis, 1, 200000); }, QUVEX_ERR_PULSE_RANGE,
         {Z.write(reg::kEnv3, with_bits(startup::kEnv3, 12, 2, 1))},
         [] { axis::set_move_ratio(kTraceAxis, 1000); }},
        {"general_counter_source_0_unscaled", [] { return quvex_set_general_counter(kTraceAxis, 0, 200000); }, 0,
         {Z.write(reg::kEnv3, with_bits(startup::kEnv3, 12, 2, 0)), Z.write(reg::kGeneralCounter, 200000)},
         [] { axis::set_move_ratio(kTraceAxis, 1000); }},
    };
}

INSTANTIATE_TEST_SUITE_P(Exports, CompareTrace, ::testing::ValuesIn(trace_cases()),
                         [](const auto& p) { return std::string(p.param.name); });

// Which check an export makes first when both its axis and another argument are wrong.
struct OrderCase {
    const char* name;
    std::function<quvex_status()> call;
    quvex_status status;
};

class CheckOrder : public CompareTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(CheckOrder, RefusesWithTheFirstCheckAndTouchesNothing) {
    start_trace();
    EXPECT_EQ(GetParam().call(), GetParam().status);
    EXPECT_TRUE(card_events().empty());
}

std::vector<OrderCase> order_cases() {
    static double value = 0;
    static const double table[1] = {1.0};
    return {
        {"trigger_negative_axis_not_multiple_of_4", [] { return quvex_set_trigger_comparator(-1, 0, 1, 0); },
         QUVEX_ERR_COMPARE_ARGUMENT},
        {"trigger_negative_multiple_of_4_is_a_bad_axis", [] { return quvex_set_trigger_comparator(-4, 0, 1, 0); },
         QUVEX_ERR_CARD_NUMBER},
        {"trigger_absent_card", [] { return quvex_set_trigger_comparator(5, 0, 1, 0); }, QUVEX_ERR_CARD_NUMBER},
        {"compare_data_number_before_axis", [] { return quvex_check_compare_data(48, 6, &value); },
         QUVEX_ERR_COMPARE_ARGUMENT},
        {"compare_data_number_0", [] { return quvex_check_compare_data(0, 0, &value); }, QUVEX_ERR_COMPARE_ARGUMENT},
        {"compare_data_bad_axis", [] { return quvex_check_compare_data(48, 5, &value); }, QUVEX_ERR_CARD_NUMBER},
        {"latch_number_before_axis", [] { return quvex_get_latch_data(-7, 4, &value); }, QUVEX_ERR_LATCH_NUMBER},
        {"latch_negative", [] { return quvex_get_latch_data(0, -1, &value); }, QUVEX_ERR_LATCH_NUMBER},
        {"latch_bad_axis", [] { return quvex_get_latch_data(48, 3, &value); }, QUVEX_ERR_CARD_NUMBER},
        {"auto_mode_before_axis", [] { return quvex_set_auto_compare(48, 3); }, QUVEX_ERR_AUTO_COMPARE_MODE},
        {"auto_bad_axis", [] { return quvex_set_auto_compare(48, 0); }, QUVEX_ERR_CARD_NUMBER},
        {"table_axis_before_count", [] { return quvex_build_compare_table(48, table, 2000); }, QUVEX_ERR_CARD_NUMBER},
        {"series_axis_before_interval", [] { return quvex_build_compare_function(48, 0, 100, -1); },
         QUVEX_ERR_CARD_NUMBER},
        {"general_comparator_axis_before_condition",
         [] { return quvex_set_general_comparator(48, 0, 6, 0, 1); }, QUVEX_ERR_CARD_NUMBER},
        {"general_counter_axis_before_range", [] { return quvex_set_general_counter(48, 1, 1e12); },
         QUVEX_ERR_CARD_NUMBER},
    };
}

INSTANTIATE_TEST_SUITE_P(Exports, CheckOrder, ::testing::ValuesIn(order_cases()),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quvex::test
