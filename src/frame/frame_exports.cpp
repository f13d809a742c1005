// Exports of the card frame: thin shells that check their arguments and call the frame.
#include "common/export_checks.h"
#include "frame/card_queries.h"
#include "frame/lifecycle.h"
#include "quvex/quvex.h"

using namespace quvex;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_initial(int16_t* count) { return frame::initialise_cards(count); }

QUVEX_API quvex_status QUVEX_CALL quvex_close(void) { return frame::close_cards(); }

QUVEX_API quvex_status QUVEX_CALL quvex_get_base_addr(int16_t card, uint16_t* base) {
    QUVEX_TRY(check_card(card));
    put(base, frame::chip_base(card));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_irq_channel(int16_t card, uint16_t* irq) {
    QUVEX_TRY(check_card(card));
    put(irq, frame::irq_channel(card));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_card_status(int16_t card, uint16_t* status) {
    QUVEX_TRY(check_found_card(card));
    put(status, frame::card_status(card));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_card_led(int16_t card, int16_t on_off) {
    QUVEX_TRY(check_found_card(card));
    frame::set_card_led(card, on_off);
    return QUVEX_OK;
}

}  // extern "C"
