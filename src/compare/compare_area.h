// One axis's block of the compare area, the memory the card's driver shares with the library:
// the compare table, the arithmetic series and the auto-compare mode that feed comparator 5.
//
// Block a (axis a of the card) lies at a x 0x1020, little-endian; after the four blocks, at
// 0x4082, a copy of the card control word.
#pragma once

#include <cstddef>
#include <cstdint>

#include "quvex/quvex_base.h"

namespace quvex::compare {

constexpr std::size_t kBlockBytes = 0x1020;
constexpr std::size_t kCardControlCopy = 0x4082;
constexpr std::int32_t kMaxTableEntries = 1024;

// Offsets within a block.
namespace block {
constexpr std::size_t kCount = 0x00;       // i32 table entries
constexpr std::size_t kNextEntry = 0x04;   // i32 next table entry to load
constexpr std::size_t kMode = 0x08;        // i16 0 off, 1 table, 2 series
constexpr std::size_t kTableReady = 0x0C;  // i16
constexpr std::size_t kSeriesReady = 0x0E; // i16
constexpr std::size_t kSeriesStart = 0x10; // i32 pulses
constexpr std::size_t kSeriesEnd = 0x14;   // i32 pulses
constexpr std::size_t kSeriesStep = 0x18;  // i32 pulses, signed
constexpr std::size_t kSeriesCount = 0x1C; // i32 series step counter
constexpr std::size_t kTable = 0x20;       // i32 x 1024 pulses
}  // namespace block

// The driver's view of the block's mode field.
enum class BlockMode : std::int16_t { off = 0, table = 1, series = 2 };

// A view of one axis's block. A card whose driver reported no compare area has no block: writes
// go nowhere and reads give 0.
class AxisBlock {
public:
    explicit AxisBlock(int axis_no);
    bool present() const { return base_ != 0; }
    std::int32_t i32(std::size_t offset) const;
    std::int16_t i16(std::size_t offset) const;
    void put_i32(std::size_t offset, std::int32_t value) const;
    void put_i16(std::size_t offset, std::int16_t value) const;

private:
    std::uintptr_t base_;
};

// Stores the card control word's copy after the four blocks.
void put_card_control_copy(int card, std::uint16_t value);

// Fills the axis's table with `count` entries in user units. QUVEX_ERR_TABLE_COUNT for a count
// outside 0..1024 (or entries missing), QUVEX_ERR_PULSE_RANGE at the first entry beyond the pulse
// range (earlier entries stay); both clear table-ready, success sets it.
quvex_status build_table(int axis_no, const double* table, std::int32_t count);

// Fills the axis's series. QUVEX_ERR_SERIES_INTERVAL when the interval does not lead from start to
// end, QUVEX_ERR_PULSE_RANGE when the end is beyond the pulse range; both clear series-ready,
// success sets it.
quvex_status build_series(int axis_no, double start, double end, double interval);

}  // namespace quvex::compare
