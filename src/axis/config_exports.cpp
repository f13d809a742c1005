// Exports of the axis signal configuration: the input-policy check, then one call into the
// axis subsystem.
#include "axis/board_io.h"
#include "axis/signal_config.h"
#include "common/export_checks.h"
#include "quvex/quvex.h"

using namespace quvex;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_set_pls_outmode(int16_t axis, int16_t pls_outmode) {
    QUVEX_TRY(check_axis(axis));
    axis::set_pulse_output_mode(axis, pls_outmode);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_pls_iptmode(int16_t axis, int16_t pls_iptmode, int16_t pls_logic) {
    QUVEX_TRY(check_axis(axis));
    axis::set_encoder_input(axis, pls_iptmode, pls_logic);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_feedback_src(int16_t axis, int16_t src) {
    QUVEX_TRY(check_axis(axis));
    axis::set_feedback_source(axis, src);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_alm(int16_t axis, int16_t alm_logic, int16_t alm_mode) {
    QUVEX_TRY(check_axis(axis));
    axis::set_alarm(axis, alm_logic, alm_mode);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_inp(int16_t axis, int16_t inp_enable, int16_t inp_logic) {
    QUVEX_TRY(check_axis(axis));
    axis::set_in_position(axis, inp_enable, inp_logic);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_el(int16_t axis, int16_t el_mode) {
    QUVEX_TRY(check_axis(axis));
    axis::set_end_limit_mode(axis, el_mode);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_ell(int16_t axis, int16_t on_off) {
    QUVEX_TRY(check_axis(axis));
    axis::set_end_limit_logic(axis, on_off);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_sd(int16_t axis, int16_t sd_enable, int16_t sd_logic, int16_t sd_latch,
                                              int16_t sd_mode) {
    QUVEX_TRY(check_axis(axis));
    axis::set_slow_down(axis, sd_enable, sd_logic, sd_latch, sd_mode);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_erc(int16_t axis, int16_t erc_logic, int16_t erc_width) {
    QUVEX_TRY(check_axis(axis));
    axis::set_erc(axis, erc_logic, erc_width);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_erc_on(int16_t axis, int16_t on_off) {
    QUVEX_TRY(check_axis(axis));
    axis::set_erc_output(axis, on_off);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_auto_erc(int16_t axis, int16_t on_off) {
    QUVEX_TRY(check_axis(axis));
    axis::set_auto_erc(axis, on_off);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_home_config(int16_t axis, int16_t home_mode, int16_t home_flag1,
                                                       int16_t home_flag2, int16_t home_count, int16_t home_erc) {
    QUVEX_TRY(check_axis(axis));
    axis::set_home_config(axis, home_mode, home_flag1, home_flag2, home_count, home_erc);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_ltc_logic(int16_t axis, int16_t ltc_logic) {
    QUVEX_TRY(check_axis(axis));
    axis::set_latch_logic(axis, ltc_logic);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_servo(int16_t axis, int16_t on_off) {
    QUVEX_TRY(check_axis(axis));
    axis::set_servo(axis, on_off != 0);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_ralm(int16_t axis, int16_t on_off) {
    QUVEX_TRY(check_axis(axis));
    axis::set_alarm_reset(axis, on_off != 0);
    return QUVEX_OK;
}

}  // extern "C"
