/* Four-axis motion modules on the ring: four pulse-train axes (0..3) at one ring slave, reached
 * through the module's 16-bit registers by address and each axis chip's command port and data
 * transfer. Every export takes the RingNo (0..3) and the SlaveNo (0..63) first and returns 0 or a
 * negative code: -5 for a SlaveNo above 63, then -4 for a ring slot that is not open, then -50
 * for an axis outside 0..3, come first unless noted otherwise.
 * Speeds are in pulses per second, times in seconds. */
#ifndef QUVEX_KRING_M4_H
#define QUVEX_KRING_M4_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* ---- module and raw register access ---- */
/* Resets the four axes and their mirrors; move ratio 1.0. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_initial(uint16_t ring, uint16_t slave);
/* The module's identification number; 0 (nothing read for a null id). */
QUVEX_API quvex_status QUVEX_CALL kring_m4_get_idnum(uint16_t ring, uint16_t slave, uint16_t* id);
/* A module register by address (0..255); 0. The value is left as it was when the module does
 * not echo the request, or for an address above 255. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_read_cpld(uint16_t ring, uint16_t slave, uint16_t address,
                                                     uint16_t* value);
/* 0; an address above 255 sends nothing. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_write_cpld(uint16_t ring, uint16_t slave, uint16_t address,
                                                      uint16_t value);
/* An axis chip register by code; 0 (the value is left as it was when not echoed). */
QUVEX_API quvex_status QUVEX_CALL kring_m4_read_asic_reg(uint16_t ring, uint16_t slave, uint16_t axis, uint16_t code,
                                                         uint32_t* value);
QUVEX_API quvex_status QUVEX_CALL kring_m4_write_asic_reg(uint16_t ring, uint16_t slave, uint16_t axis, uint16_t code,
                                                          uint32_t value);

/* ---- configuration ---- */
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_pls_outmode(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           uint32_t mode);
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_pls_iptmode(uint16_t ring, uint16_t slave, uint16_t axis, int32_t mode,
                                                           int32_t dir);
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_pulser_iptmode(uint16_t ring, uint16_t slave, uint16_t axis,
                                                              int32_t mode, int16_t dir);
/* Source 1 also resets the axis's move ratio to 1.0. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_feedback_src(uint16_t ring, uint16_t slave, uint16_t axis,
                                                            uint16_t src);
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_alm(uint16_t ring, uint16_t slave, uint16_t axis, int32_t logic,
                                                   int32_t mode);
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_inp(uint16_t ring, uint16_t slave, uint16_t axis, int32_t enable,
                                                   int32_t logic);
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_erc(uint16_t ring, uint16_t slave, uint16_t axis, int32_t logic,
                                                   int32_t width, int32_t mode);
/* 1 turns the ERC output on, 0 off, anything else does nothing; 0. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_erc_on(uint16_t ring, uint16_t slave, uint16_t axis, int16_t on);
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_sd(uint16_t ring, uint16_t slave, uint16_t axis, int16_t enable,
                                                  int16_t logic, int16_t latch, int16_t mode);
/* -30 when the write fails. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_ltc_logic(uint16_t ring, uint16_t slave, uint16_t axis,
                                                         uint32_t logic);
/* -35 when a write fails. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_home_config(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           int32_t home_mode, int32_t org_logic, int32_t ez_logic,
                                                           int32_t ez_count, int32_t erc_out);

/* ---- servo and alarm outputs, limit switches ---- */
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_svon(uint16_t ring, uint16_t slave, uint16_t axis, uint16_t on);
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_ralm(uint16_t ring, uint16_t slave, uint16_t axis, uint16_t on);
/* on 1 enables the axis's limit switches, 0 disables them, anything else leaves them. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_ell(uint16_t ring, uint16_t slave, int16_t axis, int16_t on);

/* ---- speed profiles ---- */
/* -9 unless str_vel < max_vel, -16 for max_vel 0. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_tmove_speed(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           double str_vel, double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_smove_speed(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           double str_vel, double max_vel, double Tacc, double Tdec,
                                                           double SVacc, double SVdec);
/* Pins the speed unit chosen for max_vel until kring_m4_unfix_speed_range. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_fix_speed_range(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           double max_vel);
QUVEX_API quvex_status QUVEX_CALL kring_m4_unfix_speed_range(uint16_t ring, uint16_t slave, uint16_t axis);

/* ---- motion ---- */
/* dist outside -134217728..134217727 -> -15 before any other check; -14 before any profile. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_r_move(uint16_t ring, uint16_t slave, int16_t axis, int32_t dist);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_a_move(uint16_t ring, uint16_t slave, uint16_t axis, int32_t pos);
/* dir 1: positive direction. -14 before any profile. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_v_move(uint16_t ring, uint16_t slave, uint16_t axis, uint8_t dir);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_home_move(uint16_t ring, uint16_t slave, uint16_t axis, uint8_t dir);
QUVEX_API quvex_status QUVEX_CALL kring_m4_sd_stop(uint16_t ring, uint16_t slave, uint16_t axis);
QUVEX_API quvex_status QUVEX_CALL kring_m4_emg_stop(uint16_t ring, uint16_t slave, uint16_t axis);

/* ---- counters ---- */
/* Values outside -134217728..134217728 -> -8. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_command(uint16_t ring, uint16_t slave, uint16_t axis, int32_t cmd);
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_position(uint16_t ring, uint16_t slave, uint16_t axis, int32_t pos);
QUVEX_API quvex_status QUVEX_CALL kring_m4_reset_command(uint16_t ring, uint16_t slave, uint16_t axis);
QUVEX_API quvex_status QUVEX_CALL kring_m4_reset_position(uint16_t ring, uint16_t slave, uint16_t axis);
/* The raw 32-bit counters. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_get_command(uint16_t ring, uint16_t slave, uint16_t axis, uint32_t* cmd);
QUVEX_API quvex_status QUVEX_CALL kring_m4_get_position(uint16_t ring, uint16_t slave, uint16_t axis, uint32_t* pos);

/* ---- status ---- */
QUVEX_API quvex_status QUVEX_CALL kring_m4_get_current_speed(uint16_t ring, uint16_t slave, uint16_t axis,
                                                             double* speed);
QUVEX_API quvex_status QUVEX_CALL kring_m4_motion_done(uint16_t ring, uint16_t slave, uint16_t axis, uint16_t* done);
/* Command counter, position counter and status, each as low and high words. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_get_motion_data(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           uint16_t* data);
QUVEX_API quvex_status QUVEX_CALL kring_m4_get_io_status(uint16_t ring, uint16_t slave, uint16_t axis, uint32_t* io);
/* Latch 1..3, else -31 before any other check. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_get_latch_data(uint16_t ring, uint16_t slave, uint16_t axis, int16_t latch,
                                                          double* data);

/* ---- manual operation ---- */
/* Mode 0 hand wheel on every axis, 1 on the selected axis, 2 and 3 jog, 4 and 5 step; outside
 * 0..5 -> -55. 0 whatever the module answers. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_mof_config(uint16_t ring, uint16_t slave, int16_t mode);
QUVEX_API quvex_status QUVEX_CALL kring_m4_disable_mof(uint16_t ring, uint16_t slave);
/* Selects the axis of the single-axis modes; outside 0..3 -> -52. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_manual_mpg(uint16_t ring, uint16_t slave, int16_t axis);
QUVEX_API quvex_status QUVEX_CALL kring_m4_get_mof_status(uint16_t ring, uint16_t slave, uint16_t* status);
/* Each setter belongs to its modes (hand wheel 0 and 1, jog 2 and 3, step 4 and 5) and returns
 * -51, storing nothing, in any other. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_mof_mpg_velocity(uint16_t ring, uint16_t slave, uint16_t axis,
                                                                double str_vel, double max_vel, double Tacc,
                                                                double Tdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_mof_jog_velocity(uint16_t ring, uint16_t slave, uint16_t axis,
                                                                double str_vel, double max_vel, double Tacc,
                                                                double Tdec, int16_t percent);
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_mof_step_velocity(uint16_t ring, uint16_t slave, uint16_t axis,
                                                                 double str_vel, double max_vel, double Tacc,
                                                                 double Tdec, int16_t percent);
/* Axis outside 0..3 -> -52. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_set_mof_step_distance(uint16_t ring, uint16_t slave, uint16_t axis,
                                                                 double dist);

/* ---- lines ----
 * tr/ta: T-curve, relative distances / absolute targets; sr/sa: S-curve. The array members take
 * their axes from `axes`: two or three in ascending order, four pairwise distinct, each 0..3,
 * else -57. max_vel 0 -> -56. The speeds are along the path. */
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_tr_line2(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double str_vel, double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_ta_line2(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double str_vel, double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_sr_line2(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double str_vel, double max_vel, double Tacc, double Tdec, double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_sa_line2(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double str_vel, double max_vel, double Tacc, double Tdec, double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_tr_line3(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double str_vel, double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_ta_line3(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double str_vel, double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_sr_line3(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double str_vel, double max_vel, double Tacc, double Tdec, double SVacc,
        double SVdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_sa_line3(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double str_vel, double max_vel, double Tacc, double Tdec, double SVacc,
        double SVdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_tr_line4(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double d3, double str_vel, double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_ta_line4(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double d3, double str_vel, double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_sr_line4(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double d3, double str_vel, double max_vel, double Tacc, double Tdec,
        double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_start_sa_line4(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double d3, double str_vel, double max_vel, double Tacc, double Tdec,
        double SVacc, double SVdec);
/* Axes 0 and 1 (xy) or 2 and 3 (zu). */
QUVEX_API quvex_status QUVEX_CALL kring_m4_tr_move_xy(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_ta_move_xy(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_sr_move_xy(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec, double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_sa_move_xy(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec, double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_tr_move_zu(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_ta_move_zu(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_sr_move_zu(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec, double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL kring_m4_sa_move_zu(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec, double SVacc, double SVdec);

QUVEX_EXTERN_C_END

#endif
