// Exports of the interrupt family.
#include "quvex/quvex.h"

#include "events/interrupts.h"
#include "frame/card_table.h"

using namespace quvex;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_int_control(int16_t card, int16_t on_off) {
    if (!card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    return events::int_control(card, on_off);
}

QUVEX_API quvex_status QUVEX_CALL quvex_int_disable(int16_t card) {
    if (!card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    return events::int_disable(card);
}

}  // extern "C"
