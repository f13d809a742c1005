// The ring exports' checks: like the checks of card/export_checks.h they give the export's
// status, and on success they hand back the ring master they found.
#pragma once

#include <cstdint>

#include "quvex/quvex_base.h"
#include "ring/ring_table.h"

namespace quvex::ring {

// KRING_ERR_NOT_OPEN unless `ring` is 0..3 and its slot is open; *master gets the ring on success.
inline quvex_status check_open_ring(std::uint16_t ring, RingMaster** master) {
    *master = open_ring(ring);
    return *master != nullptr ? quvex_status{QUVEX_OK} : quvex_status{KRING_ERR_NOT_OPEN};
}

// KRING_ERR_NOT_OPEN unless `ring` is 0..3, open or not (the exports that do not check the slot).
inline quvex_status check_ring_slot(std::uint16_t ring, RingMaster** master) {
    *master = ring_slot(ring);
    return *master != nullptr ? quvex_status{QUVEX_OK} : quvex_status{KRING_ERR_NOT_OPEN};
}

// An I/O port above 3 (KRING_ERR_PORT).
inline quvex_status check_io_port(std::uint8_t port) {
    return port < kIoPortCount ? quvex_status{QUVEX_OK} : quvex_status{KRING_ERR_PORT};
}

}  // namespace quvex::ring
