#include "ring/ring_table.h"

namespace quvex::ring {

void RingSlots::reset() {
    for (RingMaster& r : masters) {
        r.close();
        r.forget_history();
    }
    error_passes_in_a_row.store(0);
    last_opened = 0;
}

void RingSlots::release_at_unload() {
    for (RingMaster& r : masters) r.release_at_unload();
}

RingMaster* ring_slot(unsigned ring) {
    std::array<RingMaster, kRingCount>& masters = ring_slots().masters;
    return ring < masters.size() ? &masters[ring] : nullptr;
}

RingMaster* open_ring(unsigned ring) {
    RingMaster* r = ring_slot(ring);
    return r != nullptr && r->is_open() != 0 ? r : nullptr;
}

std::int16_t last_opened_ring() { return ring_slots().last_opened; }
void set_last_opened_ring(std::int16_t ring) { ring_slots().last_opened = ring; }

void close_all_rings() {
    for (RingMaster& r : ring_slots().masters) r.close();
}

std::atomic<std::uint8_t>& consecutive_error_passes() { return ring_slots().error_passes_in_a_row; }

}  // namespace quvex::ring
