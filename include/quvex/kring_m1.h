/* One-axis motion modules on the ring: a pulse-train axis at a ring slave, reached by three-word
 * messages (code, low half, high half) and four cyclic bytes. Every export takes the RingNo
 * (0..3) and the SlaveNo (0..63) first and returns 0 or a negative code: -5 for a SlaveNo above
 * 63 and -4 for a ring slot that is not open come first unless noted otherwise.
 * Speeds are in pulses per second, times in seconds. */
#ifndef QUVEX_KRING_M1_H
#define QUVEX_KRING_M1_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* ---- signal set-up ---- */
/* Resets the module and its mirrors; move ratio 1.0. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_initial(uint16_t ring, uint16_t slave);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_pls_outmode(uint16_t ring, uint16_t slave, uint32_t mode);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_pls_iptmode(uint16_t ring, uint16_t slave, int32_t mode, int32_t dir);
/* Source 1 also resets the move ratio to 1.0. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_feedback_src(uint16_t ring, uint16_t slave, uint16_t src);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_alm(uint16_t ring, uint16_t slave, int32_t logic, int32_t mode);
/* The enable bit is kept and goes out with the next operation-mode write. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_inp(uint16_t ring, uint16_t slave, int32_t enable, int32_t logic);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_sd(uint16_t ring, uint16_t slave, int16_t enable, int16_t logic,
                                                  int16_t latch, int16_t mode);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_erc(uint16_t ring, uint16_t slave, int32_t logic, int32_t width,
                                                   int32_t mode);
/* 1 turns the ERC output on, 0 off, anything else does nothing. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_erc_on(uint16_t ring, uint16_t slave, int16_t on);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_pcs(uint16_t ring, uint16_t slave, uint16_t logic);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_clr(uint16_t ring, uint16_t slave, uint32_t mode);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_clr_mask(uint16_t ring, uint16_t slave, int32_t mask);
/* -30 when the write fails. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_ltc_logic(uint16_t ring, uint16_t slave, uint32_t logic);
/* -35 when a write fails. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_home_config(uint16_t ring, uint16_t slave, int32_t home_mode,
                                                           int32_t org_logic, int32_t ez_logic, int32_t ez_count,
                                                           int32_t erc_out);
/* Interrupt factors only accumulate: bits already set stay set. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_int_factor(uint16_t ring, uint16_t slave, int32_t factor);
/* Feedback pulses per command pulse; -9 for 0 (or a ratio that is not a finite number). */
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_move_ratio(uint16_t ring, uint16_t slave, double ratio);

/* ---- speed profiles ---- */
/* -9 unless max_vel > str_vel, -16 for max_vel 0. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_tmove_speed(uint16_t ring, uint16_t slave, double str_vel,
                                                           double max_vel, double Tacc, double Tdec);
/* -9 unless str_vel < max_vel, -16 for max_vel 0. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_smove_speed(uint16_t ring, uint16_t slave, double str_vel,
                                                           double max_vel, double Tacc, double Tdec, double SVacc,
                                                           double SVdec);
/* Pins the speed multiplier chosen for max_vel until kring_m1_unfix_speed_range. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_fix_speed_range(uint16_t ring, uint16_t slave, double max_vel);
QUVEX_API quvex_status QUVEX_CALL kring_m1_unfix_speed_range(uint16_t ring, uint16_t slave);

/* ---- motion ---- */
/* dist outside -134217728..134217727 -> -15 before any other check; -14 before any profile. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_start_r_move(uint16_t ring, uint16_t slave, int32_t dist);
QUVEX_API quvex_status QUVEX_CALL kring_m1_start_a_move(uint16_t ring, uint16_t slave, int32_t pos);
/* dir 1: positive direction. -14 before any profile. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_v_move(uint16_t ring, uint16_t slave, uint8_t dir);
/* -17 for the current or the start speed, -18 when the remaining pulses do not leave room. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_v_change(uint16_t ring, uint16_t slave, double new_vel, double time);
QUVEX_API quvex_status QUVEX_CALL kring_m1_start_home_move(uint16_t ring, uint16_t slave, uint8_t dir);
QUVEX_API quvex_status QUVEX_CALL kring_m1_sd_stop(uint16_t ring, uint16_t slave);
QUVEX_API quvex_status QUVEX_CALL kring_m1_emg_stop(uint16_t ring, uint16_t slave);

/* ---- counters ---- */
/* Values outside -134217728..134217728 -> -8. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_command(uint16_t ring, uint16_t slave, int32_t cmd);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_position(uint16_t ring, uint16_t slave, int32_t pos);
QUVEX_API quvex_status QUVEX_CALL kring_m1_reset_command(uint16_t ring, uint16_t slave);
QUVEX_API quvex_status QUVEX_CALL kring_m1_reset_position(uint16_t ring, uint16_t slave);
QUVEX_API quvex_status QUVEX_CALL kring_m1_reset_error_counter(uint16_t ring, uint16_t slave);
QUVEX_API quvex_status QUVEX_CALL kring_m1_get_command(uint16_t ring, uint16_t slave, uint32_t* cmd);
/* The position counter divided by the move ratio (-9 for a ratio of 0). */
QUVEX_API quvex_status QUVEX_CALL kring_m1_get_position(uint16_t ring, uint16_t slave, uint32_t* pos);
QUVEX_API quvex_status QUVEX_CALL kring_m1_get_error_counter(uint16_t ring, uint16_t slave, uint32_t* err);

/* ---- status and I/O ---- */
QUVEX_API quvex_status QUVEX_CALL kring_m1_get_current_speed(uint16_t ring, uint16_t slave, double* speed);
/* Refuses only a ring that is not open (-4) and a SlaveNo above 63 (-5). */
QUVEX_API quvex_status QUVEX_CALL kring_m1_motion_done(uint16_t ring, uint16_t slave, uint16_t* done);
QUVEX_API quvex_status QUVEX_CALL kring_m1_get_io_status(uint16_t ring, uint16_t slave, uint32_t* io);
/* Maximum speed register now and as loaded. Refuses only -4 and -5 as motion_done. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_get_FH(uint16_t ring, uint16_t slave, double* fh_now, double* fh_set);
/* Remaining pulses now and the loaded move amount. Refuses only -4 and -5 as motion_done. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_get_rmv(uint16_t ring, uint16_t slave, double* rmv_now, double* rmv_set);
QUVEX_API quvex_status QUVEX_CALL kring_m1_check_int(uint16_t ring, uint16_t slave, uint8_t* flags);
QUVEX_API quvex_status QUVEX_CALL kring_m1_get_serr(uint16_t ring, uint16_t slave, uint16_t* serr);
QUVEX_API quvex_status QUVEX_CALL kring_m1_get_sevt(uint16_t ring, uint16_t slave, uint16_t* sevt);
/* Channel 0 or 1, else -19. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_dio_output(uint16_t ring, uint16_t slave, uint16_t channel, uint16_t on);
/* 1 when the input is set, 0 when not; -19 for a channel other than 0 or 1. */
QUVEX_API int16_t QUVEX_CALL kring_m1_dio_input(uint16_t ring, uint16_t slave, uint16_t channel);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_svon(uint16_t ring, uint16_t slave, uint16_t on);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_ralm(uint16_t ring, uint16_t slave, uint16_t on);

/* ---- comparators and latches ---- */
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_comparator_mode(uint16_t ring, uint16_t slave, int16_t comparator,
                                                               int16_t source, int16_t method, int16_t action);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_comparator_data(uint16_t ring, uint16_t slave, int16_t comparator,
                                                               double data);
QUVEX_API quvex_status QUVEX_CALL kring_m1_get_comparator_data(uint16_t ring, uint16_t slave, int16_t comparator,
                                                               double* data);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_trigger_comparator(uint16_t ring, uint16_t slave, uint16_t source,
                                                                  uint16_t method);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_trigger_comparator_data(uint16_t ring, uint16_t slave, double data);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_auto_trigger(uint16_t ring, uint16_t slave, uint16_t edge,
                                                            uint16_t source, uint16_t data, uint16_t flag);
QUVEX_API quvex_status QUVEX_CALL kring_m1_set_soft_limit(uint16_t ring, uint16_t slave, int32_t plus, int32_t minus);
QUVEX_API quvex_status QUVEX_CALL kring_m1_enable_soft_limit(uint16_t ring, uint16_t slave, uint8_t action);
QUVEX_API quvex_status QUVEX_CALL kring_m1_disable_soft_limit(uint16_t ring, uint16_t slave);
/* Latch 1..3, else -31 before any other check. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_get_latch_data(uint16_t ring, uint16_t slave, int16_t latch, double* data);
/* Accepted and ignored: 0. */
QUVEX_API quvex_status QUVEX_CALL kring_m1_start_soft_ltc(uint16_t ring, uint16_t slave, int32_t arg1, int32_t arg2);
QUVEX_API quvex_status QUVEX_CALL kring_m1_steplose_check(uint16_t ring, uint16_t slave, int32_t arg1, int32_t arg2,
                                                          int32_t arg3, int32_t arg4, int32_t arg5);

/* ---- ring motion file ---- */
/* Configures the module's signals from the key "SLAVE<slave>" of section "RING<ring>" of an INI
 * file, and pins its speed range when "KB7T_<slave>" of section "Slave_Type" is non-zero.
 * 0, or -60 when the key is missing (nothing is sent then). */
QUVEX_API quvex_status QUVEX_CALL kring_m1_load_motion_file(uint16_t ring, uint16_t slave, const char* file);

QUVEX_EXTERN_C_END

#endif
