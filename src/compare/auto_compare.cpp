#include "compare/auto_compare.h"

#include "axis/move_ratio.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "chip/registers.h"
#include "common/bits.h"
#include "compare/compare_area.h"
#include "compare/comparators.h"
#include "card/card_table.h"
#include "common/platform.h"

namespace quvex::compare {
namespace {

// card_ctrl bits that auto compare clears when it is switched off; bit 10 is cleared only in
// the word written to the port.
constexpr std::uint16_t kAutoCompareCtrlBits = 0x0300;
constexpr std::uint16_t kCtrlPortOnlyClearedBit = 0x0400;

// The interrupt-factor register as the interrupt exports write it: mirror, then register 0xAC.
void write_int_factor(int axis_no, bool auto_compare) {
    const Field f = chip::int_factor::kAutoCompare;
    chip::update_mirrored(axis_no, chip::kMirrorIntFactor, f.mask, with_field(0, f, auto_compare ? 1 : 0));
}

// Suspends the card's compare-event thread unless a switch-off already did in this thread's
// life (quvex_close resumes it once to let it end). The flag lives with the thread, not with
// its handle value, which a later thread may be given again.
void suspend_compare_thread(int card) {
    CardRuntime& rt = card_table().runtime[static_cast<std::size_t>(card)];
    const plat::Handle thread = rt.compare_thread.handle;
    if (thread == plat::kNoHandle || rt.compare_thread_suspended.exchange(true)) return;
    plat::thread_suspend(thread);
}

void switch_off(int axis_no) {
    const int card = card_of(axis_no);
    CardRecord& rec = card_record(card);
    rec.card_ctrl = static_cast<std::uint16_t>(rec.card_ctrl & ~kAutoCompareCtrlBits);
    chip::write_card_port(card, chip::kCardControlPort, static_cast<std::uint16_t>(rec.card_ctrl & ~kCtrlPortOnlyClearedBit));
    put_card_control_copy(card, rec.card_ctrl);
    write_int_factor(axis_no, false);
    AxisBlock(axis_no).put_i16(block::kMode, static_cast<std::int16_t>(BlockMode::off));
    chip::enable_bridge_interrupt(rec.bridge_base);
    chip::write_bridge_control(card, true);
    suspend_compare_thread(card);
}

// Refuses a source that is not ready: the comparator's interrupt off and the block's mode off.
quvex_status refuse(int axis_no, const AxisBlock& b, quvex_status code) {
    write_int_factor(axis_no, false);
    b.put_i16(block::kMode, static_cast<std::int16_t>(BlockMode::off));
    return code;
}

quvex_status start_table(int axis_no) {
    const AxisBlock b(axis_no);
    if (b.i16(block::kTableReady) != 1) return refuse(axis_no, b, QUVEX_ERR_TABLE_NOT_READY);
    set_comparator_data(axis_no, kTriggerComparator, b.i32(block::kTable) / axis::move_ratio(axis_no));
    b.put_i32(block::kNextEntry, 1);
    b.put_i16(block::kMode, static_cast<std::int16_t>(BlockMode::table));
    write_int_factor(axis_no, true);
    return QUVEX_OK;
}

quvex_status start_series(int axis_no) {
    const AxisBlock b(axis_no);
    if (b.i16(block::kSeriesReady) != 1) return refuse(axis_no, b, QUVEX_ERR_SERIES_NOT_READY);
    set_comparator_data(axis_no, kTriggerComparator, b.i32(block::kSeriesStart));
    b.put_i32(block::kSeriesCount, 1);
    b.put_i16(block::kMode, static_cast<std::int16_t>(BlockMode::series));
    write_int_factor(axis_no, true);
    return QUVEX_OK;
}

}  // namespace

quvex_status set_auto_compare(int axis_no, int mode) {
    switch (mode) {
        case kAutoTable: return start_table(axis_no);
        case kAutoSeries: return start_series(axis_no);
        case kAutoOff: switch_off(axis_no); return QUVEX_OK;
        default: return QUVEX_ERR_AUTO_COMPARE_MODE;
    }
}

}  // namespace quvex::compare
