/* Manual operation: jog and step switches, the hand wheel (pulser) and moves paced by it.
 *
 * The card has three manual sources. Jog switches run an axis while held, step switches move it
 * a fixed distance per press, and the hand wheel's pulses (multiplied by `ratio_m` and divided
 * by `ratio_p`) move the axes directly. Each source is enabled through the card's manual-control
 * port and the axes' operation mode; each keeps its own per-axis speed settings. The
 * manual-operation mode (mof) switches the card between the sources: 0 hand wheel on all axes,
 * 1 hand wheel on one axis (the one `quvex_manual_mpg` chose, default U), 2 jog, 3 step; every
 * switch disables all sources first, then enables one and re-applies its stored settings. The
 * `quvex_set_mof_*` setters act only in the mode that owns them.
 *
 * Pulser moves are ordinary starts whose pace comes from the hand wheel's pulses: a speed move,
 * a positioning move, a home search, a two-axis line and a two-axis arc.
 *
 * `card` is a card number, `axis` an AxisNo (card x 4 + 0..3). Speeds in pulses per second,
 * times in seconds, distances in pulses. `jog_param`/`step_param` scale the stored speeds in
 * percent. `axis_array` holds two indexes within the card (0 = X .. 3 = U), strictly increasing.
 *
 * Status: 0; 11 pulser line or arc with a speed of 0 (or not a number); 13 pulser line or arc
 * coordinate not a number; 15 invalid or null axis pair; 30 card or axis absent or out of range
 * (a negative card number included); 35 pulser home direction other than 0 or 1; 45, 46, 47
 * hand-wheel enable, mode or axis out of range; 48 jog or step percentage of 0; 50 mof mode of
 * 5 or more; 51 a mof setter or quvex_manual_mpg in a mof mode that does not own it. */
#ifndef QUVEX_MANUAL_H
#define QUVEX_MANUAL_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* ---- jog and step ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_enable_jog(int16_t card, int16_t on_off);
QUVEX_API quvex_status QUVEX_CALL quvex_enable_step(int16_t axis, int16_t on_off, double step_distance);
QUVEX_API quvex_status QUVEX_CALL quvex_set_jog_velocity(int16_t axis, double str_vel, double max_vel, double Tacc,
                                                         double Tdec, int16_t jog_param);
QUVEX_API quvex_status QUVEX_CALL quvex_set_step_velocity(int16_t axis, double str_vel, double max_vel, double Tacc,
                                                          double Tdec, int16_t step_param);

/* ---- hand wheel ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_set_mpg_config(int16_t card, int16_t enable, int16_t mode, int16_t mpg_axis);
QUVEX_API quvex_status QUVEX_CALL quvex_set_mpg_velocity(int16_t axis, double str_vel, double max_vel, double Tacc,
                                                         double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_get_mpg_status(int16_t card, uint16_t* status);
QUVEX_API quvex_status QUVEX_CALL quvex_manual_mpg(int16_t card, int16_t mpg_axis);
QUVEX_API quvex_status QUVEX_CALL quvex_set_pulser_ratio(int16_t axis, int16_t ratio_p, int16_t ratio_m);
QUVEX_API quvex_status QUVEX_CALL quvex_set_pulser_iptmode(int16_t axis, int16_t mode, int16_t inverse);

/* ---- manual-operation mode ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_set_mof_mode(int16_t card, int16_t mode);
QUVEX_API quvex_status QUVEX_CALL quvex_disable_mof(int16_t card);
QUVEX_API quvex_status QUVEX_CALL quvex_set_mof_config(int16_t card, int16_t mode);
QUVEX_API quvex_status QUVEX_CALL quvex_enable_mof(int16_t card);
QUVEX_API quvex_status QUVEX_CALL quvex_get_mof_status(int16_t card, uint16_t* status);
QUVEX_API quvex_status QUVEX_CALL quvex_set_mof_mpg_velocity(int16_t axis, double str_vel, double max_vel,
                                                             double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_set_mof_jog_velocity(int16_t axis, double str_vel, double max_vel,
                                                             double Tacc, double Tdec, int16_t jog_param);
QUVEX_API quvex_status QUVEX_CALL quvex_set_mof_step_velocity(int16_t axis, double str_vel, double max_vel,
                                                              double Tacc, double Tdec, int16_t step_param);
QUVEX_API quvex_status QUVEX_CALL quvex_set_mof_step_distance(int16_t axis, double step_distance);

/* ---- moves paced by the pulser ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_pulser_vmove(int16_t axis, double speed);
QUVEX_API quvex_status QUVEX_CALL quvex_pulser_pmove(int16_t axis, double dist, double speed);
QUVEX_API quvex_status QUVEX_CALL quvex_pulser_home_move(int16_t axis, int16_t dir, double speed);
QUVEX_API quvex_status QUVEX_CALL quvex_pulser_r_line2(int16_t card, const int16_t* axis_array, double dist_x,
                                                       double dist_y, double speed);
QUVEX_API quvex_status QUVEX_CALL quvex_pulser_r_arc2(int16_t card, const int16_t* axis_array, double cx, double cy,
                                                      double ex, double ey, int16_t dir, double speed);

QUVEX_EXTERN_C_END

#endif
