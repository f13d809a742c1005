// Card-level ring exports: attaching a ring slot to a card, the window address, the baud rate.
// Each checks the card; opening and the baud rate answer with the ring's own status.
#include "card/export_shells.h"
#include "quvex/quvex.h"
#include "ring/ring_control.h"

using namespace quvex;

extern "C" {

QUVEX_CHECKED_FORWARD(quvex_open_kring, check_card, ring::open_ring_on_card)
QUVEX_CHECKED_READ(quvex_get_kring_addr, check_card, ring::ring_window_address, uint32_t)
QUVEX_CHECKED_FORWARD(quvex_set_kring_baudrate, check_card, ring::set_baud_rate, uint8_t)

}  // extern "C"
