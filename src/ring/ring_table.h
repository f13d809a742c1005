// The four ring slots of the library, the slot last opened on a card, and the error count the
// watchdogs of every ring share. A piece of the library context (frame/library_context.h).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "ring/ring_master.h"

namespace quvex::ring {

struct RingSlots {
    std::array<RingMaster, kRingCount> masters;
    // Slot number handed out by the latest successful quvex_open_kring (0 before any).
    std::int16_t last_opened = 0;
    // Consecutive erroneous watchdog passes, one counter for the threads of every ring.
    std::atomic<std::uint8_t> error_passes_in_a_row{0};

    // Closes every slot and forgets everything the slots and the shared error count saw, as
    // after load.
    void reset();
    // Ends every watchdog thread and closes every slot's event when the library is unloaded:
    // the threads must not outlive the library's code.
    void release_at_unload();
};

// The ring slots of the library context.
RingSlots& ring_slots();

// The ring master of slot `ring`, or null when `ring` is not 0..3.
RingMaster* ring_slot(unsigned ring);
// The ring master of slot `ring` when the slot is open, else null (also for `ring` above 3).
RingMaster* open_ring(unsigned ring);

std::int16_t last_opened_ring();
void set_last_opened_ring(std::int16_t ring);

// Closes every slot.
void close_all_rings();

}  // namespace quvex::ring
