/* Axis signal configuration, counters, status and the card's simple digital I/O.
 * `axis` is an AxisNo (card x 4 + axis, X=0 .. U=3); `card` a card number 0..11.
 * An AxisNo or card whose card is absent or outside 0..11 gets 30 and touches nothing;
 * a null out-pointer is not written. */
#ifndef QUVEX_AXIS_H
#define QUVEX_AXIS_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* ---- signal configuration: each changes its fields of env1/env2/env3/operation_mode in the
 * register mirror and writes the whole register; values are masked to their fields. Always 0
 * (30 for an unusable axis). */
/* Pulse output form, env1 bits 0-2 (5 and 7 swap places). */
QUVEX_API quvex_status QUVEX_CALL quvex_set_pls_outmode(int16_t axis, int16_t pls_outmode);
/* Encoder input form and direction logic, env2 bits 20-21 and 22. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_pls_iptmode(int16_t axis, int16_t pls_iptmode, int16_t pls_logic);
/* Feedback source, env3 bits 8-9; 1 also resets the move ratio to 1.0, 3 selects source 0 and
 * makes absolute moves measure from the command counter. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_feedback_src(int16_t axis, int16_t src);
/* Alarm input logic (env1 bit 9) and stop mode (bit 8). */
QUVEX_API quvex_status QUVEX_CALL quvex_set_alm(int16_t axis, int16_t alm_logic, int16_t alm_mode);
/* In-position logic (env1 bit 22, written now) and enable (operation mode bit 9, mirror only:
 * it reaches the chip with the next move). */
QUVEX_API quvex_status QUVEX_CALL quvex_set_inp(int16_t axis, int16_t inp_enable, int16_t inp_logic);
/* End-limit stop mode, env1 bit 3. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_el(int16_t axis, int16_t el_mode);
/* End-limit input logic of the axis on the board (bit 3 - axis of board port 0x08): 1 sets,
 * 0 clears, other values write the word back unchanged. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_ell(int16_t axis, int16_t on_off);
/* Slow-down input: logic, latch and mode (env1 bits 6, 5, 4), then enable (operation mode bit 8). */
QUVEX_API quvex_status QUVEX_CALL quvex_set_sd(int16_t axis, int16_t sd_enable, int16_t sd_logic, int16_t sd_latch,
                                              int16_t sd_mode);
/* Deviation-clear output logic (env1 bit 15) and pulse width (bits 12-14); clears bits 16-17. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_erc(int16_t axis, int16_t erc_logic, int16_t erc_width);
/* Deviation-clear output: 1 on, 0 off, other values nothing. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_erc_on(int16_t axis, int16_t on_off);
/* Automatic deviation clear (env1 bits 10-11): 1 sets, 0 clears, other values rewrite env1. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_auto_erc(int16_t axis, int16_t on_off);
/* Home search: env1 bits 7, 11; then env2 bit 23; then env3 bits 0-3 (mode) and 4-7 (count). */
QUVEX_API quvex_status QUVEX_CALL quvex_set_home_config(int16_t axis, int16_t home_mode, int16_t home_flag1,
                                                       int16_t home_flag2, int16_t home_count, int16_t home_erc);
/* Latch input logic, env1 bit 23. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_ltc_logic(int16_t axis, int16_t ltc_logic);
/* Servo-on output: on when on_off is non-zero. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_servo(int16_t axis, int16_t on_off);
/* Alarm-reset output: on when on_off is non-zero. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_ralm(int16_t axis, int16_t on_off);

/* ---- move ratio ---- */
/* Feedback pulses per command pulse for positions, comparators and latches. 0 or 12 (ratio 0,
 * NaN or infinite). No register is written. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_move_ratio(int16_t axis, double ratio);

/* ---- status and counters ---- */
/* Composed signal status word of the axis. */
QUVEX_API quvex_status QUVEX_CALL quvex_get_io_status(int16_t axis, uint16_t* io_status);
/* The chip's operation state (not a status): 0 when the axis is stopped, 1..15 while an
 * operation is in progress; 30 for an unusable axis. */
QUVEX_API int16_t QUVEX_CALL quvex_motion_done(int16_t axis);
/* Position counter divided by the move ratio. */
QUVEX_API quvex_status QUVEX_CALL quvex_get_position(int16_t axis, double* pos);
/* Sets the position counter to pos x ratio (truncated) and both targets to it; 13 when the
 * scaled value lies outside -134217728..134217727 (or pos is NaN or infinite). */
QUVEX_API quvex_status QUVEX_CALL quvex_set_position(int16_t axis, double pos);
/* Software target position in pulses. */
QUVEX_API quvex_status QUVEX_CALL quvex_get_target_pos(int16_t axis, double* pos);
QUVEX_API quvex_status QUVEX_CALL quvex_reset_target_pos(int16_t axis, double pos);
/* Command counter, raw; the setter keeps bits 0-27. */
QUVEX_API quvex_status QUVEX_CALL quvex_get_command(int16_t axis, int32_t* cmd);
QUVEX_API quvex_status QUVEX_CALL quvex_set_command(int16_t axis, int32_t cmd);
/* Low half of the error counter. */
QUVEX_API quvex_status QUVEX_CALL quvex_get_error_counter(int16_t axis, int16_t* error);
QUVEX_API quvex_status QUVEX_CALL quvex_reset_error_counter(int16_t axis);
/* Current speed in pulses per second. */
QUVEX_API quvex_status QUVEX_CALL quvex_get_current_speed(int16_t axis, double* speed);
/* Remaining pulses of the move in progress, raw. */
QUVEX_API quvex_status QUVEX_CALL quvex_get_rest_command(int16_t axis, int32_t* rest);
/* Ramp-down point register of the live bank, raw. */
QUVEX_API quvex_status QUVEX_CALL quvex_check_rdp(int16_t axis, int32_t* rdp);

/* ---- card I/O ---- */
/* General input pins of axes Y, Z and U of the card in bits 0, 1, 2. */
QUVEX_API quvex_status QUVEX_CALL quvex_axis_input(int16_t card, uint16_t* input);
/* General output of axis ch (0..3) of the card. 27 for ch above 3 (as unsigned), then 30. */
QUVEX_API quvex_status QUVEX_CALL quvex_axis_output(int16_t card, int16_t ch, int16_t on_off);
/* The card's four TTL inputs. 30 for a card above the highest found. */
QUVEX_API quvex_status QUVEX_CALL quvex_ttl_input(int16_t card, uint16_t* input);
/* TTL output ch (0..3): 27 for ch above 3 (checked first), then 30. */
QUVEX_API quvex_status QUVEX_CALL quvex_ttl_output(int16_t card, int16_t ch, int16_t on_off);
/* Enable of the TTL outputs (bit 7 of the output word). 30 for a card above the highest found. */
QUVEX_API quvex_status QUVEX_CALL quvex_enable_ttl_output(int16_t card, int16_t on_off);

QUVEX_EXTERN_C_END

#endif
