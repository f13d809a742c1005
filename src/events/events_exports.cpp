// Exports of the interrupt family.
#include "card/export_checks.h"
#include "events/callback_thread.h"
#include "events/error_log.h"
#include "events/interrupts.h"
#include "quvex/quvex.h"

using namespace quvex;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_int_enable(int16_t card, void** events) {
    QUVEX_TRY(check_card(card));
    return events::int_enable(card, events);
}

QUVEX_API quvex_status QUVEX_CALL quvex_int_control(int16_t card, int16_t on_off) {
    QUVEX_TRY(check_card(card));
    return events::int_control(card, on_off);
}

QUVEX_API quvex_status QUVEX_CALL quvex_int_disable(int16_t card) {
    QUVEX_TRY(check_card(card));
    return events::int_disable(card);
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_int_factor(int16_t axis, uint32_t int_factor) {
    QUVEX_TRY(check_axis(axis));
    return events::set_int_factor(axis, int_factor);
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_int_status(int16_t axis, uint32_t* word1, uint32_t* word2) {
    QUVEX_TRY(check_axis(axis));
    events::get_int_status(axis, word1, word2);
    return QUVEX_OK;
}

// The card check comes first: the enable flag it is followed by lives in the card's record, and
// a card number outside the table has none.
QUVEX_API quvex_status QUVEX_CALL quvex_link_interrupt(int16_t card, quvex_int_callback callback) {
    QUVEX_TRY(check_card(card));
    QUVEX_TRY(check(card_record(card).int_enabled == 1, QUVEX_ERR_INT_NOT_ENABLED));
    return events::link_interrupt(card, callback);
}

QUVEX_API quvex_status QUVEX_CALL quvex_error_log(const char* path) {
    events::open_error_log(path);
    return QUVEX_OK;
}

}  // extern "C"
