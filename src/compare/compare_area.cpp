#include "compare/compare_area.h"

#include <cmath>
#include <cstring>

#include "axis/counters.h"
#include "axis/move_ratio.h"
#include "common/numeric.h"
#include "card/card_table.h"

namespace quvex::compare {
namespace {

// The block's fields are unaligned for some types (0x4082): every access copies bytes.
template <typename T>
T load(std::uintptr_t address) {
    T v{};
    std::memcpy(&v, reinterpret_cast<const void*>(address), sizeof v);
    return v;
}

template <typename T>
void store(std::uintptr_t address, T v) {
    std::memcpy(reinterpret_cast<void*>(address), &v, sizeof v);
}

std::int32_t to_pulses(double value, double ratio) { return truncate_to<std::int32_t>(value * ratio); }

bool series_leads_to_end(double start, double end, double interval) {
    return (interval > 0 && start < end) || (interval < 0 && end < start);
}

}  // namespace

AxisBlock::AxisBlock(int axis_no) {
    const std::uintptr_t area = card_record(card_of(axis_no)).compare_area;
    base_ = area == 0 ? 0 : area + static_cast<std::uintptr_t>(axis_of(axis_no)) * kBlockBytes;
}

std::int32_t AxisBlock::i32(std::size_t offset) const { return present() ? load<std::int32_t>(base_ + offset) : 0; }
std::int16_t AxisBlock::i16(std::size_t offset) const { return present() ? load<std::int16_t>(base_ + offset) : 0; }

void AxisBlock::put_i32(std::size_t offset, std::int32_t value) const {
    if (present()) store(base_ + offset, value);
}

void AxisBlock::put_i16(std::size_t offset, std::int16_t value) const {
    if (present()) store(base_ + offset, value);
}

void put_card_control_copy(int card, std::uint16_t value) {
    const std::uintptr_t area = card_record(card).compare_area;
    if (area != 0) store(area + kCardControlCopy, value);
}

quvex_status build_table(int axis_no, const double* table, std::int32_t count) {
    const AxisBlock b(axis_no);
    if (count < 0 || count > kMaxTableEntries || (table == nullptr && count > 0)) {
        b.put_i16(block::kTableReady, 0);
        return QUVEX_ERR_TABLE_COUNT;
    }
    b.put_i32(block::kCount, count);
    const double ratio = axis::move_ratio(axis_no);
    for (std::int32_t i = 0; i < count; ++i) {
        const double pulses = std::trunc(table[i] * ratio);
        if (!axis::pulses_in_range(pulses)) {
            b.put_i16(block::kTableReady, 0);
            return QUVEX_ERR_PULSE_RANGE;
        }
        b.put_i32(block::kTable + 4 * static_cast<std::size_t>(i), static_cast<std::int32_t>(pulses));
    }
    b.put_i16(block::kTableReady, 1);
    return QUVEX_OK;
}

quvex_status build_series(int axis_no, double start, double end, double interval) {
    const AxisBlock b(axis_no);
    // Infinite values would lead nowhere: refused like an interval that leads nowhere.
    if (!series_leads_to_end(start, end, interval) || !is_finite(start) || !is_finite(end) || !is_finite(interval)) {
        b.put_i16(block::kSeriesReady, 0);
        return QUVEX_ERR_SERIES_INTERVAL;
    }
    const double ratio = axis::move_ratio(axis_no);
    if (!axis::pulses_in_range(end * ratio)) {
        b.put_i16(block::kSeriesReady, 0);
        return QUVEX_ERR_PULSE_RANGE;
    }
    b.put_i32(block::kSeriesStart, to_pulses(start, ratio));
    b.put_i32(block::kSeriesEnd, to_pulses(end, ratio));
    b.put_i32(block::kSeriesStep, to_pulses(interval, ratio));
    b.put_i16(block::kSeriesReady, 1);
    return QUVEX_OK;
}

}  // namespace quvex::compare
