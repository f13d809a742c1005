/* Interrupts: axis events, interrupt control. */
#ifndef QUVEX_EVENTS_H
#define QUVEX_EVENTS_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Interrupt control of the card: the bridge interrupt is re-armed whatever on_off is. 0 or 30 (card not found). */
QUVEX_API quvex_status QUVEX_CALL quvex_int_control(int16_t card, int16_t on_off);
/* Closes the axis events E0..E3 of the card. 0, 30 (card not found) or 37 (not enabled). */
QUVEX_API quvex_status QUVEX_CALL quvex_int_disable(int16_t card);

QUVEX_EXTERN_C_END

#endif
