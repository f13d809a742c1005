// Exports of the interrupt family.
#include "common/export_checks.h"
#include "events/interrupts.h"
#include "quvex/quvex.h"

using namespace quvex;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_int_control(int16_t card, int16_t on_off) {
    QUVEX_TRY(check_card(card));
    return events::int_control(card, on_off);
}

QUVEX_API quvex_status QUVEX_CALL quvex_int_disable(int16_t card) {
    QUVEX_TRY(check_card(card));
    return events::int_disable(card);
}

}  // extern "C"
