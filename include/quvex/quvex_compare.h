/* Comparators, trigger output, latches, general counter and soft limits of the local axes.
 * Comparators 1 and 2 are the software limits, 3 the error-counter check, 4 the general
 * comparator, 5 the trigger comparator (fed automatically from a table or series by auto
 * compare). Values of a comparator whose source has bit 0 set, of the general counter with
 * source 1, of latch 2 and of the compare table and series are in user units (multiplied by the
 * axis's move ratio on the way to the chip); the others are in pulses. */
#ifndef QUVEX_COMPARE_H
#define QUVEX_COMPARE_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Data of comparators 1 (limit1) and 2 (limit2). Always 0 (30 for a bad axis). */
QUVEX_API quvex_status QUVEX_CALL quvex_set_soft_limit(int16_t axis, int32_t limit1, int32_t limit2);
/* Comparators 1 and 2 on the software-limit condition with action (action & 3). Always 0. */
QUVEX_API quvex_status QUVEX_CALL quvex_enable_soft_limit(int16_t axis, int16_t action);
/* Comparators 1 and 2 off. Always 0. */
QUVEX_API quvex_status QUVEX_CALL quvex_disable_soft_limit(int16_t axis);
/* Comparator 3 watches the error counter against `tolerance` when bit 0 of on_off is set. Always 0. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_error_counter_check(int16_t axis, int16_t tolerance, int16_t on_off);
/* Comparator 4: data, then configuration. 17 for condition 6 (the data is written already). */
QUVEX_API quvex_status QUVEX_CALL quvex_set_general_comparator(int16_t axis, int16_t source, int16_t condition,
                                                              int16_t action, double data);
/* Comparator 5: data, then configuration with action 0. 19 for a negative axis that is not a
 * multiple of 4. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_trigger_comparator(int16_t axis, int16_t source, int16_t condition,
                                                              double data);
/* Data of comparator 1..5. 19 for another comparator number (value untouched). */
QUVEX_API quvex_status QUVEX_CALL quvex_check_compare_data(int16_t axis, int16_t comparator, double* value);
/* Comparators 1..5 as bits 0..4 (main status bits 8-12). */
QUVEX_API quvex_status QUVEX_CALL quvex_check_compare_status(int16_t axis, uint16_t* status);
/* Trigger output type: 0 or 1; any other value switches the output off. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_trigger_type(int16_t axis, int16_t type);
/* Latch 0..3 (25 for another number, value untouched). */
QUVEX_API quvex_status QUVEX_CALL quvex_get_latch_data(int16_t axis, int16_t latch, double* value);
QUVEX_API quvex_status QUVEX_CALL quvex_get_general_counter(int16_t axis, double* value);
/* Source (& 3) written at once, then the value. 13 for a scaled value beyond the pulse range. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_general_counter(int16_t axis, int16_t source, double value);
/* Compare table of up to 1024 entries. 20 for a count outside 0..1024, 13 for an entry beyond
 * the pulse range. */
QUVEX_API quvex_status QUVEX_CALL quvex_build_compare_table(int16_t axis, const double* table, int32_t count);
/* Compare series start, start + interval, ... up to end. 21 for an interval that does not lead
 * from start to end, 13 for an end beyond the pulse range. */
QUVEX_API quvex_status QUVEX_CALL quvex_build_compare_function(int16_t axis, double start, double end,
                                                              double interval);
/* Auto compare: 0 off, 1 series, 2 table. 22/23 when the table/series is not built, 33 for
 * another mode. Switching off suspends the card's compare-event thread until quvex_close. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_auto_compare(int16_t axis, int16_t mode);

QUVEX_EXTERN_C_END

#endif
