/* Card frame: start-up, shut-down and the card queries. */
#ifndef QUVEX_FRAME_H
#define QUVEX_FRAME_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Opens every card the driver reports; writes the number found to *count. 0, 24 (no card), 41. */
QUVEX_API quvex_status QUVEX_CALL quvex_initial(int16_t* count);
/* Stops the card threads, disables interrupts and closes every card. Always 0. */
QUVEX_API quvex_status QUVEX_CALL quvex_close(void);
/* I/O base of the card's motion chip. 0 or 30 (card not found). */
QUVEX_API quvex_status QUVEX_CALL quvex_get_base_addr(int16_t card, uint16_t* base);
/* Interrupt line of the card. 0 or 30 (card not found). */
QUVEX_API quvex_status QUVEX_CALL quvex_get_irq_channel(int16_t card, uint16_t* irq);
/* Low three bits of the card status port. 0 or 30. */
QUVEX_API quvex_status QUVEX_CALL quvex_get_card_status(int16_t card, uint16_t* status);
/* Card LED: 1 on, 0 off; other values write nothing. 0 or 30. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_card_led(int16_t card, int16_t on_off);

QUVEX_EXTERN_C_END

#endif
