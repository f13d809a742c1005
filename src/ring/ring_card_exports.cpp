// Card-level ring exports: attaching a ring slot to a card, the window address, the baud rate.
#include "common/export_checks.h"
#include "quvex/quvex.h"
#include "ring/ring_control.h"

using namespace quvex;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_open_kring(int16_t card) {
    QUVEX_TRY(check_card(card));
    return ring::open_ring_on_card(card);
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_kring_addr(int16_t card, uint32_t* addr) {
    QUVEX_TRY(check_card(card));
    put(addr, ring::ring_window_address(card));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_kring_baudrate(int16_t card, uint8_t baud) {
    QUVEX_TRY(check_card(card));
    return ring::set_baud_rate(card, baud);
}

}  // extern "C"
