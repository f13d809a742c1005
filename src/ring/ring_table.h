// The four ring slots of the process, built at load, and the slot last opened on a card.
#pragma once

#include <cstdint>

#include "ring/ring_master.h"

namespace quvex::ring {

// The ring master of slot `ring`, or null when `ring` is not 0..3.
RingMaster* ring_slot(unsigned ring);
// The ring master of slot `ring` when the slot is open, else null (also for `ring` above 3).
RingMaster* open_ring(unsigned ring);

// Slot number handed out by the latest successful quvex_open_kring (0 before any).
std::int16_t last_opened_ring();
void set_last_opened_ring(std::int16_t ring);

// Closes every slot.
void close_all_rings();
// Closes every slot and forgets everything the slots and the shared error counter saw, as
// after load. For tests: the ring objects live as long as the process.
void reset_ring_slots();

}  // namespace quvex::ring
