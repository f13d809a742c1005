#include "ring/ring_table.h"

#include <array>

namespace quvex::ring {
namespace {

// Built when the library is loaded and destroyed when it is unloaded.
std::array<RingMaster, kRingCount> g_rings;
std::int16_t g_last_opened = 0;

}  // namespace

RingMaster* ring_slot(unsigned ring) { return ring < g_rings.size() ? &g_rings[ring] : nullptr; }

RingMaster* open_ring(unsigned ring) {
    RingMaster* r = ring_slot(ring);
    return r != nullptr && r->is_open() != 0 ? r : nullptr;
}

std::int16_t last_opened_ring() { return g_last_opened; }
void set_last_opened_ring(std::int16_t ring) { g_last_opened = ring; }

void close_all_rings() {
    for (RingMaster& r : g_rings) r.close();
}

void reset_ring_slots() {
    close_all_rings();
    for (RingMaster& r : g_rings) r.forget_history();
    consecutive_error_passes().store(0);
    g_last_opened = 0;
}

}  // namespace quvex::ring
