/* Speed profile utilities, single-axis moves and stops, and per-axis motion settings.
 * `axis` is an AxisNo (card x 4 + axis, X=0 .. U=3). Speeds are pulses per second, times
 * seconds, distances and positions pulses.
 *
 * Bad input, beyond each function's own status codes: an AxisNo whose card is absent or
 * outside 0..11 gets 30; a NaN or infinite speed, time or S-curve section gets 11; a NaN or
 * infinite distance or target gets 13. Every refusal writes nothing. */
#ifndef QUVEX_MOTION_H
#define QUVEX_MOTION_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* ---- speed profile utilities ---- */
/* Pins the axis's speed range to the one chosen for max_vel (programming R, FH and FL in the
 * buffered bank); later moves keep that range and use the manual ramp-down point. A second call
 * while pinned keeps the first range. 0; 11 for max_vel <= 0. */
QUVEX_API quvex_status QUVEX_CALL quvex_fix_speed_range(int16_t axis, double max_vel);
/* Releases the pinned range; writes nothing to the chip. 0. */
QUVEX_API quvex_status QUVEX_CALL quvex_unfix_speed_range(int16_t axis);
/* Shortest and longest acceleration time the chip can give for the speed pair, scaled by
 * max_vel / ref_vel. Touches no axis. 0; 11 for a NaN or infinite argument. */
QUVEX_API quvex_status QUVEX_CALL quvex_verify_speed(double str_vel, double max_vel, double* min_acc_time,
                                                    double* max_acc_time, double ref_vel);
/* Peak speed and S-curve sections an S-curve move of that distance really reaches (the inputs
 * again when 2 * Tacc > Tdec). Touches no axis. 0; 11 for max_vel <= 0 or a NaN or infinite
 * argument. */
QUVEX_API quvex_status QUVEX_CALL quvex_check_s_vel(double dist, double str_vel, double max_vel, double Tacc,
                                                   double Tdec, double SVacc, double SVdec, double* out_max_vel,
                                                   double* out_svacc, double* out_svdec);

/* ---- positioning moves: relative (tr, sr) or to an absolute position (ta, sa), T-curve or
 * S-curve. Signs of the speeds are ignored; the sign of the distance gives the direction.
 * They return at once; quvex_motion_done reports the end. 0; 11 for max_vel = 0. */
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_move(int16_t axis, double dist, double str_vel, double max_vel,
                                                     double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_move(int16_t axis, double pos, double str_vel, double max_vel,
                                                     double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_move(int16_t axis, double dist, double str_vel, double max_vel,
                                                     double Tacc, double Tdec, double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_move(int16_t axis, double pos, double str_vel, double max_vel,
                                                     double Tacc, double Tdec, double SVacc, double SVdec);

/* ---- velocity moves: run until stopped, direction by the sign of max_vel. 0; 11 for 0. */
QUVEX_API quvex_status QUVEX_CALL quvex_tv_move(int16_t axis, double str_vel, double max_vel, double Tacc);
QUVEX_API quvex_status QUVEX_CALL quvex_sv_move(int16_t axis, double str_vel, double max_vel, double Tacc,
                                               double SVacc);

/* ---- stops: decelerating within Tdec (live deceleration rate), or immediate.
 * 0; 14 when the axis is not moving (nothing written). */
QUVEX_API quvex_status QUVEX_CALL quvex_sd_stop(int16_t axis, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_emg_stop(int16_t axis);

/* ---- per-axis settings. 0. */
/* ORs (count & 7) into the idle-pulse field (env5 bits 8-10); bits already set stay set. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_idle_pulse(int16_t axis, int16_t count);
/* Vibration suppression times: env7 low half time1, high half time2. */
QUVEX_API quvex_status QUVEX_CALL quvex_suppress_vibration(int16_t axis, uint16_t time1, uint16_t time2);
/* Backlash compensation of (count & 0xFFF) pulses at the start speed. */
QUVEX_API quvex_status QUVEX_CALL quvex_backlash_comp(int16_t axis, int16_t count);

QUVEX_EXTERN_C_END

#endif
