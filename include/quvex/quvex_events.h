/* Interrupts: axis events, interrupt factors, the application's callback and the stop-reason log. */
#ifndef QUVEX_EVENTS_H
#define QUVEX_EVENTS_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* The application's interrupt callback: called on the card's callback thread with the AxisNo
 * (card * 4 + axis) whose axis event was signalled. */
typedef void (QUVEX_CALL *quvex_int_callback)(int32_t axis_no);

/* Opens the axis events E0..E3 of the card and writes their handles to events[0..3] (events may
 * be null). 0, 30 (card not found) or 36 (already enabled). */
QUVEX_API quvex_status QUVEX_CALL quvex_int_enable(int16_t card, void** events);
/* Closes the axis events E0..E3 of the card. 0, 30 (card not found) or 37 (not enabled). */
QUVEX_API quvex_status QUVEX_CALL quvex_int_disable(int16_t card);
/* Interrupt control of the card: the bridge interrupt is re-armed whatever on_off is. 0 or 30 (card not found). */
QUVEX_API quvex_status QUVEX_CALL quvex_int_control(int16_t card, int16_t on_off);
/* Writes the axis's interrupt factors (register 0xAC). 0 or 30. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_int_factor(int16_t axis, uint32_t int_factor);
/* The driver's interrupt status of the axis: reply words 1 and 2. 0 or 30. */
QUVEX_API quvex_status QUVEX_CALL quvex_get_int_status(int16_t axis, uint32_t* word1, uint32_t* word2);
/* Starts the card's callback thread, which calls `callback` with the AxisNo of every axis event
 * and logs its stop reasons when a log is open. 0, 30 (card not found), 37 (interrupts not
 * enabled) or 31 (thread not created). */
QUVEX_API quvex_status QUVEX_CALL quvex_link_interrupt(int16_t card, quvex_int_callback callback);
/* Opens the stop-reason log at `path` unless one is open already; 0 also when it cannot be opened. */
QUVEX_API quvex_status QUVEX_CALL quvex_error_log(const char* path);

QUVEX_EXTERN_C_END

#endif
