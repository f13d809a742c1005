#include "frame/library_context.h"

namespace quvex {

LibraryContext& context() {
    static LibraryContext* const built = new LibraryContext();
    return *built;
}

CardTable& card_table() { return context().cards; }
plat::Lock& card_lock() { return context().card_lock; }
ring::RingSlots& ring::ring_slots() { return context().rings; }
axis::MoveRatios& axis::move_ratios() { return context().ratios; }
events::StopReasonLog& events::stop_reason_log() { return context().stop_log; }

void reset_library_context() {
    LibraryContext& c = context();
    c.rings.reset();
    c.cards.reset();
    c.ratios.reset();
    c.stop_log.reset();
}

void release_context_at_unload() { context().rings.release_at_unload(); }

}  // namespace quvex
