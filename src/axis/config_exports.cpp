// Exports of the axis signal configuration: each checks its axis, then makes one call into the
// axis subsystem with the rest of its arguments (types after the axis, in order).
#include "axis/board_io.h"
#include "axis/signal_config.h"
#include "card/export_shells.h"
#include "quvex/quvex.h"

using namespace quvex;

extern "C" {

// Pulse output, encoder input and the feedback source.
QUVEX_CHECKED_CALL(quvex_set_pls_outmode, check_axis, axis::set_pulse_output_mode, int16_t)
QUVEX_CHECKED_CALL(quvex_set_pls_iptmode, check_axis, axis::set_encoder_input, int16_t, int16_t)
QUVEX_CHECKED_CALL(quvex_set_feedback_src, check_axis, axis::set_feedback_source, int16_t)

// Alarm, in-position, end limits and slow-down.
QUVEX_CHECKED_CALL(quvex_set_alm, check_axis, axis::set_alarm, int16_t, int16_t)
QUVEX_CHECKED_CALL(quvex_set_inp, check_axis, axis::set_in_position, int16_t, int16_t)
QUVEX_CHECKED_CALL(quvex_set_el, check_axis, axis::set_end_limit_mode, int16_t)
QUVEX_CHECKED_CALL(quvex_set_ell, check_axis, axis::set_end_limit_logic, int16_t)
QUVEX_CHECKED_CALL(quvex_set_sd, check_axis, axis::set_slow_down, int16_t, int16_t, int16_t, int16_t)

// Deviation-counter clear (ERC) output.
QUVEX_CHECKED_CALL(quvex_set_erc, check_axis, axis::set_erc, int16_t, int16_t)
QUVEX_CHECKED_CALL(quvex_set_erc_on, check_axis, axis::set_erc_output, int16_t)
QUVEX_CHECKED_CALL(quvex_set_auto_erc, check_axis, axis::set_auto_erc, int16_t)

// Home search, latch, and the servo-on and alarm-reset outputs (any non-zero value is on).
QUVEX_CHECKED_CALL(quvex_set_home_config, check_axis, axis::set_home_config, int16_t, int16_t, int16_t, int16_t,
                   int16_t)
QUVEX_CHECKED_CALL(quvex_set_ltc_logic, check_axis, axis::set_latch_logic, int16_t)
QUVEX_CHECKED_CALL(quvex_set_servo, check_axis, axis::set_servo, int16_t)
QUVEX_CHECKED_CALL(quvex_set_ralm, check_axis, axis::set_alarm_reset, int16_t)

}  // extern "C"
