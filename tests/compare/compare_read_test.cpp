// The values the comparator, latch and general-counter reads hand out: the signed register value,
// divided by the move ratio exactly where the value is in user units, and the caller's value
// left alone when the number is refused.
#include <functional>
#include <string>
#include <vector>

#include "chip/register_mirror.h"
#include "chip/register_map.h"
#include "common/bits.h"
#include "compare_fixture.h"

namespace quvex::test {
namespace {

constexpr int16_t kReadAxis = 2;
constexpr double kReadRatio = 8;

// Marks a comparator's (or the general counter's) source as user units in the library's
// mirror, the only place the reads look: the chip's data stays the raw value written before.
void mark_user_units(chip::MirrorSlot slot, Field source) {
    std::uint32_t& word = axis_record(kReadAxis).mirror[slot];
    word = with_field(word, source, 1);
}

struct ReadCase {
    const char* name;
    std::function<void()> prepare;  // writes the raw value (and marks the units)
    std::function<quvex_status(double*)> read;
    double expected;
};

class CompareRead : public CompareTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(CompareRead, HandsOutTheSignedValueInItsUnits) {
    const ReadCase& c = GetParam();
    ASSERT_EQ(quvex_set_move_ratio(kReadAxis, kReadRatio), 0);
    c.prepare();
    double value = 12345.5;
    ASSERT_EQ(c.read(&value), 0);
    EXPECT_EQ(value, c.expected);
}

quvex_status comparator_at(int16_t n, double* v) { return quvex_check_compare_data(kReadAxis, n, v); }
quvex_status latch_at(int16_t n, double* v) { return quvex_get_latch_data(kReadAxis, n, v); }

// Counters at distinct values, captured by one edge of the latch input.
void latch_distinct_counters() {
    quvex_sim_set_counter(0, kReadAxis, 0xA3, 1200);
    quvex_sim_set_counter(0, kReadAxis, 0xE5, -36);
    quvex_sim_set_counter(0, kReadAxis, 0xA4, -4800);
    quvex_sim_set_counter(0, kReadAxis, 0xA6, 2400);
    quvex_sim_set_latch_input(0, kReadAxis, 1);
    quvex_sim_set_latch_input(0, kReadAxis, 0);
}

std::vector<ReadCase> compare_read_cases() {
    const auto soft_limits = [] { quvex_set_soft_limit(kReadAxis, -16000, 24000); };
    const auto general = [] { quvex_set_general_comparator(kReadAxis, 0, 1, 0, -800); };
    const auto trigger = [] { quvex_set_trigger_comparator(kReadAxis, 0, 1, 4000); };
    return {
        {"comparator_1_pulses", soft_limits, [](double* v) { return comparator_at(1, v); }, -16000},
        {"comparator_1_user_units",
         [=] { soft_limits(); mark_user_units(chip::kEnv4, chip::env4::kSource1); },
         [](double* v) { return comparator_at(1, v); }, -2000},
        {"comparator_2_pulses", soft_limits, [](double* v) { return comparator_at(2, v); }, 24000},
        {"comparator_3_error_tolerance", [] { quvex_set_error_counter_check(kReadAxis, -50, 1); },
         [](double* v) { return comparator_at(3, v); }, -50},
        {"comparator_4_pulses", general, [](double* v) { return comparator_at(4, v); }, -800},
        {"comparator_4_user_units", [=] { general(); mark_user_units(chip::kEnv4, chip::env4::kSource4); },
         [](double* v) { return comparator_at(4, v); }, -100},
        {"comparator_5_pulses", trigger, [](double* v) { return comparator_at(5, v); }, 4000},
        {"comparator_5_user_units", [=] { trigger(); mark_user_units(chip::kEnv5, chip::env5::kSource5); },
         [](double* v) { return comparator_at(5, v); }, 500},
        {"latch_0_command", latch_distinct_counters, [](double* v) { return latch_at(0, v); }, 1200},
        {"latch_1_error", latch_distinct_counters, [](double* v) { return latch_at(1, v); }, -36},
        {"latch_2_position_in_user_units", latch_distinct_counters, [](double* v) { return latch_at(2, v); }, -600},
        {"latch_3_general_in_pulses", latch_distinct_counters, [](double* v) { return latch_at(3, v); }, 2400},
        {"general_counter_source_0", [] { quvex_sim_set_counter(0, kReadAxis, 0xA6, -2400); },
         [](double* v) { return quvex_get_general_counter(kReadAxis, v); }, -2400},
        {"general_counter_source_1_user_units",
         [] {
             quvex_sim_set_counter(0, kReadAxis, 0xA6, -2400);
             mark_user_units(chip::kEnv3, chip::env3::kGeneralCounterSource);
         },
         [](double* v) { return quvex_get_general_counter(kReadAxis, v); }, -300},
    };
}

INSTANTIATE_TEST_SUITE_P(Reads, CompareRead, ::testing::ValuesIn(compare_read_cases()),
                         [](const auto& p) { return std::string(p.param.name); });

using CompareRefusal = CompareTest;

TEST_F(CompareRefusal, RefusedNumbersLeaveTheCallersValue) {
    struct Case {
        const char* name;
        std::function<quvex_status(double*)> read;
        quvex_status code;
    };
    const Case cases[] = {
        {"comparator_0", [](double* v) { return comparator_at(0, v); }, QUVEX_ERR_COMPARE_ARGUMENT},
        {"comparator_6", [](double* v) { return comparator_at(6, v); }, QUVEX_ERR_COMPARE_ARGUMENT},
        {"latch_-1", [](double* v) { return latch_at(-1, v); }, QUVEX_ERR_LATCH_NUMBER},
        {"latch_4", [](double* v) { return latch_at(4, v); }, QUVEX_ERR_LATCH_NUMBER},
    };
    quvex_sim_set_counter(0, kReadAxis, 0xA4, 77);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double value = 12345.5;
        EXPECT_EQ(c.read(&value), c.code);
        EXPECT_EQ(value, 12345.5);
    }
}

}  // namespace
}  // namespace quvex::test
