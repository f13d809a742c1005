// The compare table, the compare series and auto compare: what they leave in the card's compare
// area and in comparator 5, with the move ratio's scaling and the range limits.
#include <vector>

#include "axis/move_ratio.h"
#include "chip/register_mirror.h"
#include "compare_fixture.h"

namespace quvex::test {
namespace {

constexpr int16_t kAxis = 1;  // axis Y: the block lies one block into the area
constexpr std::size_t kCount = 0x00, kNextEntry = 0x04, kMode = 0x08, kTableReady = 0x0C, kSeriesReady = 0x0E,
                      kSeriesStart = 0x10, kSeriesEnd = 0x14, kSeriesStep = 0x18, kSeriesCount = 0x1C,
                      kTable = 0x20;

class CompareArea : public CompareTest {
protected:
    template <typename T>
    static T field(std::size_t offset) { return area<T>(0, kAxis, offset); }
    static std::uint32_t int_factor() { return axis_record(kAxis).mirror[chip::kMirrorIntFactor]; }
};

struct TableCase {
    const char* name;
    double ratio;
    std::vector<double> entries;
    int32_t count;
    quvex_status status;
    int16_t ready;
    std::vector<int32_t> stored;  // entries written, from the first
};

class TableBuild : public CompareArea, public ::testing::WithParamInterface<TableCase> {};

TEST_P(TableBuild, StoresScaledEntriesAndReadyFlag) {
    const TableCase& c = GetParam();
    ASSERT_EQ(quvex_build_compare_table(kAxis, std::vector<double>{9}.data(), 1), 0);  // ready before
    axis::set_move_ratio(kAxis, c.ratio);
    std::vector<double> entries = c.entries;
    entries.resize(1024, 1.0);
    EXPECT_EQ(quvex_build_compare_table(kAxis, entries.data(), c.count), c.status);
    EXPECT_EQ(field<int16_t>(kTableReady), c.ready);
    if (c.status != QUVEX_ERR_TABLE_COUNT) {
        EXPECT_EQ(field<int32_t>(kCount), c.count);
    }
    for (std::size_t i = 0; i < c.stored.size(); ++i) EXPECT_EQ(field<int32_t>(kTable + 4 * i), c.stored[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableBuild,
    ::testing::Values(TableCase{"ratio_truncates_toward_zero", 2.5, {1.5, -1.5, 3}, 3, 0, 1, {3, -3, 7}},
                      TableCase{"full_1024", 1, {}, 1024, 0, 1, {1}},
                      TableCase{"empty_table_is_ready", 1, {}, 0, 0, 1, {}},
                      TableCase{"count_1025", 1, {}, 1025, QUVEX_ERR_TABLE_COUNT, 0, {9}},
                      TableCase{"count_negative", 1, {}, -1, QUVEX_ERR_TABLE_COUNT, 0, {9}},
                      TableCase{"last_pulse_accepted", 1, {134217727.9}, 1, 0, 1, {134217727}},
                      TableCase{"first_pulse_beyond_refused", 1, {134217728.5}, 1, QUVEX_ERR_PULSE_RANGE, 0, {9}},
                      TableCase{"earlier_entries_stay", 1000, {1, 2, 200000, 4}, 4, QUVEX_ERR_PULSE_RANGE, 0,
                                {1000, 2000}},
                      TableCase{"not_a_number_refused", 1, {0.0 / 0.0}, 1, QUVEX_ERR_PULSE_RANGE, 0, {9}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(CompareArea, NullTableWithEntriesIsRefusedAsACount) {
    EXPECT_EQ(quvex_build_compare_table(kAxis, nullptr, 3), QUVEX_ERR_TABLE_COUNT);
    EXPECT_EQ(quvex_build_compare_table(kAxis, nullptr, 0), 0);
}

struct SeriesCase {
    const char* name;
    double start, end, interval;
    quvex_status status;
};

class SeriesBuild : public CompareArea, public ::testing::WithParamInterface<SeriesCase> {};

TEST_P(SeriesBuild, AcceptsOnlyAnIntervalLeadingToTheEnd) {
    const SeriesCase& c = GetParam();
    ASSERT_EQ(quvex_build_compare_function(kAxis, 0, 10, 1), 0);
    EXPECT_EQ(quvex_build_compare_function(kAxis, c.start, c.end, c.interval), c.status);
    EXPECT_EQ(field<int16_t>(kSeriesReady), c.status == 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SeriesBuild,
    ::testing::Values(SeriesCase{"rising", 0, 100, 10, 0}, SeriesCase{"falling", 100, 0, -10, 0},
                      SeriesCase{"negative_interval_rising", 0, 100, -10, QUVEX_ERR_SERIES_INTERVAL},
                      SeriesCase{"positive_interval_falling", 100, 0, 10, QUVEX_ERR_SERIES_INTERVAL},
                      SeriesCase{"zero_interval", 0, 100, 0, QUVEX_ERR_SERIES_INTERVAL},
                      SeriesCase{"zero_interval_falling", 100, 0, 0, QUVEX_ERR_SERIES_INTERVAL},
                      SeriesCase{"start_equals_end", 5, 5, 1, QUVEX_ERR_SERIES_INTERVAL},
                      SeriesCase{"end_beyond_range", 0, 134217728, 1, QUVEX_ERR_PULSE_RANGE},
                      SeriesCase{"start_beyond_range_not_checked", -200000000, 0, 1, 0},
                      SeriesCase{"infinite_interval", 0, 100, 1.0 / 0.0, QUVEX_ERR_SERIES_INTERVAL}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(CompareArea, SeriesStoredInPulses) {
    axis::set_move_ratio(kAxis, 2.5);
    ASSERT_EQ(quvex_build_compare_function(kAxis, 1.3, 41, 4.1), 0);
    EXPECT_EQ(field<int32_t>(kSeriesStart), 3);
    EXPECT_EQ(field<int32_t>(kSeriesEnd), 102);
    EXPECT_EQ(field<int32_t>(kSeriesStep), 10);
}

TEST_F(CompareArea, TableModeWithoutTableRefusesAndDisarms) {
    axis_record(kAxis).mirror[chip::kMirrorIntFactor] = 0x1001;
    EXPECT_EQ(quvex_set_auto_compare(kAxis, 2), QUVEX_ERR_TABLE_NOT_READY);
    EXPECT_EQ(int_factor(), 0x0001u);
    EXPECT_EQ(reg(0, kAxis, 0xEC), 0x0001u);
    EXPECT_EQ(field<int16_t>(kMode), 0);
    EXPECT_EQ(quvex_set_auto_compare(kAxis, 1), QUVEX_ERR_SERIES_NOT_READY);
}

TEST_F(CompareArea, TableModeLoadsEntryZeroThroughTheComparatorScaling) {
    axis::set_move_ratio(kAxis, 1000);
    const double table[] = {5, 6};
    ASSERT_EQ(quvex_build_compare_table(kAxis, table, 2), 0);
    // Comparator 5 takes pulses (source bit 0 clear): entry 0 divided by the ratio reaches it.
    EXPECT_EQ(quvex_set_auto_compare(kAxis, 2), 0);
    EXPECT_EQ(reg(0, kAxis, 0xEB), 5u);
    EXPECT_EQ(field<int32_t>(kNextEntry), 1);
    EXPECT_EQ(field<int16_t>(kMode), 1);
    EXPECT_EQ(int_factor(), 0x1000u);
    // With source bit 0 set the division is undone: the comparator gets entry 0 in pulses.
    ASSERT_EQ(quvex_set_trigger_comparator(kAxis, 1, 1, 0), 0);
    EXPECT_EQ(quvex_set_auto_compare(kAxis, 2), 0);
    EXPECT_EQ(reg(0, kAxis, 0xEB), 5000u);
}

TEST_F(CompareArea, SeriesModeLoadsTheStoredStart) {
    axis::set_move_ratio(kAxis, 10);
    ASSERT_EQ(quvex_build_compare_function(kAxis, 7, 100, 3), 0);
    EXPECT_EQ(quvex_set_auto_compare(kAxis, 1), 0);
    EXPECT_EQ(reg(0, kAxis, 0xEB), 70u);
    EXPECT_EQ(field<int32_t>(kSeriesCount), 1);
    EXPECT_EQ(field<int16_t>(kMode), 2);
}

TEST_F(CompareArea, SwitchingOffRewritesCardControlAndBridge) {
    card_record(0).card_ctrl = 0x0F0F;
    axis_record(kAxis).mirror[chip::kMirrorIntFactor] = 0x1004;
    start_trace();
    EXPECT_EQ(quvex_set_auto_compare(kAxis, 0), 0);
    // The card control word, the interrupt factor without its bit 12 (0x1004 -> 0x0004), the
    // bridge's interrupt port read and re-armed (0x41), then the bridge control word.
    const std::vector<CardEvent> expected = {card_port_write(0x20, 0x080F), Y.write(reg::kIntFactor, 0x0004),
                                             bridge_read8(0x4C, 0), bridge_write8(0x4C, 0x41)};
    const std::vector<CardEvent> events = card_events();
    ASSERT_GE(events.size(), expected.size() + 1);
    EXPECT_EQ(std::vector<CardEvent>(events.begin(), events.begin() + 4), expected);
    EXPECT_EQ(events[4].kind, QUVEX_SIM_EV_BRIDGE_WRITE16) << events[4];
    EXPECT_EQ(events[4].code, 0x50u) << events[4];
    EXPECT_EQ(card_record(0).card_ctrl, 0x0C0Fu);
    quvex_sim_card_info info{};
    ASSERT_EQ(quvex_sim_card_info_get(0, &info), 0);
    uint16_t copy = 0;
    std::memcpy(&copy, reinterpret_cast<const void*>(info.compare_area + 0x4082), sizeof copy);
    EXPECT_EQ(copy, 0x0C0Fu);
    EXPECT_EQ(field<int16_t>(kMode), 0);
    EXPECT_EQ(quvex_set_auto_compare(kAxis, 0), 0);  // a second switch-off leaves the thread as it is
}

}  // namespace
}  // namespace quvex::test
