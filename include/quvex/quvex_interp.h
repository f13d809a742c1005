/* Linear interpolation: two, three or four axes of one card start together, run one common
 * speed profile along the straight line and arrive together.
 *
 * `card` is a card number 0..11. Two- and three-axis lines take `axis_array`, the axis indexes
 * within the card (0 = X .. 3 = U), strictly increasing; distances and targets follow its order.
 * Four-axis lines always move X, Y, Z, U. `str_vel` and `max_vel` are the start and maximum
 * speed along the path (pulses per second; signs are ignored), `Tacc`/`Tdec` the ramp times
 * (seconds), `SVacc`/`SVdec` the S-curve sections (pulses per second).
 *
 * Status: 0; 15 for an invalid or null `axis_array`; 11 for a maximum speed of 0 (or a speed,
 * time or section that is NaN or infinite); 13 for a distance or target that is NaN or
 * infinite; 30 for a card that is absent or outside 0..11. Refusals write nothing. */
#ifndef QUVEX_INTERP_H
#define QUVEX_INTERP_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* ---- two axes ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_line2(int16_t card, const int16_t* axis_array, double dist_x,
                                                      double dist_y, double str_vel, double max_vel, double Tacc,
                                                      double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_line2(int16_t card, const int16_t* axis_array, double pos_x,
                                                      double pos_y, double str_vel, double max_vel, double Tacc,
                                                      double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_line2(int16_t card, const int16_t* axis_array, double dist_x,
                                                      double dist_y, double str_vel, double max_vel, double Tacc,
                                                      double Tdec, double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_line2(int16_t card, const int16_t* axis_array, double pos_x,
                                                      double pos_y, double str_vel, double max_vel, double Tacc,
                                                      double Tdec, double SVacc, double SVdec);

/* ---- three axes ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_line3(int16_t card, const int16_t* axis_array, double dist_x,
                                                      double dist_y, double dist_z, double str_vel, double max_vel,
                                                      double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_line3(int16_t card, const int16_t* axis_array, double pos_x,
                                                      double pos_y, double pos_z, double str_vel, double max_vel,
                                                      double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_line3(int16_t card, const int16_t* axis_array, double dist_x,
                                                      double dist_y, double dist_z, double str_vel, double max_vel,
                                                      double Tacc, double Tdec, double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_line3(int16_t card, const int16_t* axis_array, double pos_x,
                                                      double pos_y, double pos_z, double str_vel, double max_vel,
                                                      double Tacc, double Tdec, double SVacc, double SVdec);

/* ---- four axes: X, Y, Z, U of the card ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_line4(int16_t card, double dist_x, double dist_y, double dist_z,
                                                      double dist_u, double str_vel, double max_vel, double Tacc,
                                                      double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_line4(int16_t card, double pos_x, double pos_y, double pos_z,
                                                      double pos_u, double str_vel, double max_vel, double Tacc,
                                                      double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_line4(int16_t card, double dist_x, double dist_y, double dist_z,
                                                      double dist_u, double str_vel, double max_vel, double Tacc,
                                                      double Tdec, double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_line4(int16_t card, double pos_x, double pos_y, double pos_z,
                                                      double pos_u, double str_vel, double max_vel, double Tacc,
                                                      double Tdec, double SVacc, double SVdec);

/* ---- fixed pairs: the two-axis lines on X-Y or Z-U ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_move_xy(int16_t card, double dist_x, double dist_y, double str_vel,
                                                        double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_move_zu(int16_t card, double dist_z, double dist_u, double str_vel,
                                                        double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_move_xy(int16_t card, double pos_x, double pos_y, double str_vel,
                                                        double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_move_zu(int16_t card, double pos_z, double pos_u, double str_vel,
                                                        double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_move_xy(int16_t card, double dist_x, double dist_y, double str_vel,
                                                        double max_vel, double Tacc, double Tdec, double SVacc,
                                                        double SVdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_move_zu(int16_t card, double dist_z, double dist_u, double str_vel,
                                                        double max_vel, double Tacc, double Tdec, double SVacc,
                                                        double SVdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_move_xy(int16_t card, double pos_x, double pos_y, double str_vel,
                                                        double max_vel, double Tacc, double Tdec, double SVacc,
                                                        double SVdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_move_zu(int16_t card, double pos_z, double pos_u, double str_vel,
                                                        double max_vel, double Tacc, double Tdec, double SVacc,
                                                        double SVdec);

QUVEX_EXTERN_C_END

#endif
