// The latch registers and the general counter of an axis.
#pragma once

#include "quvex/quvex_base.h"

namespace quvex::compare {

constexpr bool latch_exists(int latch) { return latch >= 0 && latch <= 3; }

// Latch `latch` (0..3) as a double; latch 2, the one that holds the position, in user units.
double latch_value(int axis_no, int latch);

// The general counter, in user units when its source is 1.
double general_counter(int axis_no);

// Writes the counter's source into env3 at once, then its value (scaled when the source is 1).
// QUVEX_ERR_PULSE_RANGE for a scaled value beyond the counter range; the source change stays.
quvex_status set_general_counter(int axis_no, unsigned source, double value);

}  // namespace quvex::compare
