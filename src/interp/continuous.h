// Continuous operation: the per-axis continuous mode, the continuous arc start that keeps all
// four axes of the card in step, and the watch and cancel of the chip's queued move.
#pragma once

#include <cstdint>

#include "interp/arc_move.h"

namespace quvex::interp {

// T-curve arc of a pair whose other two axes follow it; reference kAbsolute measures the
// coordinates as the absolute arcs do.
quvex_status start_continuous_arc(Reference reference, int card, const std::int16_t* pair, const ArcGeometry& arc,
                                  const PathProfile& profile);

// Switching on first moves target_pos to where the axis stands; the value is stored as given
// (only 1 counts as on for the absolute starts).
quvex_status set_continuous_move(int axis, std::int16_t enable);
// 1 while a move waits in the axis's buffered registers, else 0 (also for an unusable axis).
std::int16_t continuous_buffer_queued(int axis);
// Drops the queued move.
quvex_status cancel_continuous_buffer(int axis);

}  // namespace quvex::interp
