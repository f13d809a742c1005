// The library context: every piece of the library's mutable state in one object. Each room
// declares its own piece and the accessor that reaches it (card_table(), card_lock(),
// ring::ring_slots(), axis::move_ratios(), events::stop_reason_log()); this file gathers them,
// so the rooms never include it and the include direction stays downward.
//
// The context is built on first use (at library attach at the latest) and never destroyed:
// worker threads may still look at it while the process is exiting. Unloading the library ends
// the ring watchdogs (release_context_at_unload); a test brings every piece back to its state at
// load with one call (reset_library_context).
#pragma once

#include "axis/move_ratio.h"
#include "events/error_log.h"
#include "card/card_table.h"
#include "common/platform.h"
#include "ring/ring_table.h"

namespace quvex {

struct LibraryContext {
    CardTable cards;
    // Initialised by library attach and destroyed by detach; a reset leaves it alone.
    plat::Lock card_lock{};
    ring::RingSlots rings;
    axis::MoveRatios ratios;
    events::StopReasonLog stop_log;
};

LibraryContext& context();

// Every piece back to its state at load: the rings closed and their history forgotten, the card
// table, the move ratios and the stop-reason log (closed, its line counter at 0). The card lock
// stays as it is. No card thread may be running.
void reset_library_context();

// What unloading the library does to the context: the ring watchdog threads end.
void release_context_at_unload();

}  // namespace quvex
