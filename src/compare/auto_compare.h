// Auto compare: comparator 5 fed from the axis's compare table or series. The library loads the
// first value and arms the comparator's interrupt; the driver loads the following ones from the
// compare area on each comparator event.
#pragma once

#include "quvex/quvex_base.h"

namespace quvex::compare {

// Export mode numbers (the block's mode field numbers them the other way round).
constexpr int kAutoOff = 0;
constexpr int kAutoSeries = 1;
constexpr int kAutoTable = 2;

constexpr bool auto_mode_exists(int mode) { return mode >= kAutoOff && mode <= kAutoTable; }

// Switches the axis's auto compare. QUVEX_ERR_TABLE_NOT_READY or QUVEX_ERR_SERIES_NOT_READY when
// the table or series is not ready, QUVEX_OK otherwise.
quvex_status set_auto_compare(int axis_no, int mode);

}  // namespace quvex::compare
