#include "frame/library_context.h"

namespace quvex {

namespace {

// Inlined into every accessor below, so an accessor costs a guard test and a load, no further call.
[[gnu::always_inline]] inline LibraryContext& the_context() {
    static LibraryContext* const built = new LibraryContext();
    return *built;
}

}  // namespace

LibraryContext& context() { return the_context(); }

CardTable& card_table() { return the_context().cards; }
plat::Lock& card_lock() { return the_context().card_lock; }
ring::RingSlots& ring::ring_slots() { return the_context().rings; }
axis::MoveRatios& axis::move_ratios() { return the_context().ratios; }
events::StopReasonLog& events::stop_reason_log() { return the_context().stop_log; }

void reset_library_context() {
    LibraryContext& c = context();
    c.rings.reset();
    c.cards.reset();
    c.ratios.reset();
    c.stop_log.reset();
}

void release_context_at_unload() { context().rings.release_at_unload(); }

}  // namespace quvex
