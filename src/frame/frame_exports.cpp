// Exports of the card frame: start-up and close, then rows that check the card and read or set
// one thing of it.
#include "card/export_shells.h"
#include "frame/card_queries.h"
#include "frame/lifecycle.h"
#include "quvex/quvex.h"

using namespace quvex;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_initial(int16_t* count) { return frame::initialise_cards(count); }

QUVEX_API quvex_status QUVEX_CALL quvex_close(void) { return frame::close_cards(); }

QUVEX_CHECKED_READ(quvex_get_base_addr, check_card, frame::chip_base, uint16_t)
QUVEX_CHECKED_READ(quvex_get_irq_channel, check_card, frame::irq_channel, uint16_t)
QUVEX_CHECKED_READ(quvex_get_card_status, check_found_card, frame::card_status, uint16_t)
QUVEX_CHECKED_CALL(quvex_set_card_led, check_found_card, frame::set_card_led, int16_t)

}  // extern "C"
