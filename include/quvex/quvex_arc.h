/* Circular, helical and continuous interpolation.
 *
 * Arcs move a pair of one card's axes around a centre to an end point. `axis_array` holds the
 * pair's two indexes within the card (0 = X .. 3 = U), strictly increasing; the first coordinate
 * of the centre (`cx`, `cy`) and end (`ex`, `ey`) belongs to the first axis. Relative forms give
 * both relative to the start point, absolute forms as positions. `dir` 0 runs clockwise (first
 * axis right, second up), any other value counter-clockwise. `str_vel` and `max_vel` are path
 * speeds in pulses per second (signs ignored), `Tacc`/`Tdec` ramp times in seconds,
 * `SVacc`/`SVdec` S-curve sections. Constant-speed arcs (`r`, `a`) run at `max_vel` throughout;
 * S-curve arcs start from the lowest speed of their range.
 *
 * Helices (`_arc_xyz`) run an arc on X-Y of the card while Z moves `ez` beside it; U counts the
 * arc's steps. Continuous arcs keep all four axes of the card in step so the next move can be
 * queued while one runs; `quvex_set_continuous_move` makes absolute moves measure from the end
 * of the latest queued move, `quvex_check_continuous_buffer` returns 1 while a move is queued,
 * `quvex_cancel_continuous_buffer` drops it.
 *
 * Status: 0; 15 for an invalid or null pair; 11 for a maximum speed of 0 (or a speed, time or
 * section that is NaN or infinite); 13 for a coordinate that is NaN or infinite; 30 for an
 * absent card or axis; 53 for three points sharing a coordinate or on one line; 54 for a
 * three-point centre beyond +-134217728. Refusals write nothing. */
#ifndef QUVEX_ARC_H
#define QUVEX_ARC_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* ---- arcs of a pair given by axis_array ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_start_r_arc2(int16_t card, const int16_t* axis_array, double cx,
                                                     double cy, double ex, double ey, int16_t dir,
                                                     double max_vel);
QUVEX_API quvex_status QUVEX_CALL quvex_start_a_arc2(int16_t card, const int16_t* axis_array, double cx,
                                                     double cy, double ex, double ey, int16_t dir,
                                                     double max_vel);
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_arc2(int16_t card, const int16_t* axis_array, double cx,
                                                      double cy, double ex, double ey, int16_t dir,
                                                      double str_vel, double max_vel, double Tacc,
                                                      double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_arc2(int16_t card, const int16_t* axis_array, double cx,
                                                      double cy, double ex, double ey, int16_t dir,
                                                      double str_vel, double max_vel, double Tacc,
                                                      double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_arc2(int16_t card, const int16_t* axis_array, double cx,
                                                      double cy, double ex, double ey, int16_t dir,
                                                      double str_vel, double max_vel, double Tacc,
                                                      double Tdec, double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_arc2(int16_t card, const int16_t* axis_array, double cx,
                                                      double cy, double ex, double ey, int16_t dir,
                                                      double str_vel, double max_vel, double Tacc,
                                                      double Tdec, double SVacc, double SVdec);

/* ---- arcs of the XY pair ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_start_r_arc_xy(int16_t card, double cx, double cy, double ex,
                                                       double ey, int16_t dir, double max_vel);
QUVEX_API quvex_status QUVEX_CALL quvex_start_a_arc_xy(int16_t card, double cx, double cy, double ex,
                                                       double ey, int16_t dir, double max_vel);
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_arc_xy(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_arc_xy(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_arc_xy(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec,
                                                        double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_arc_xy(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec,
                                                        double SVacc, double SVdec);

/* ---- arcs of the ZU pair ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_start_r_arc_zu(int16_t card, double cx, double cy, double ex,
                                                       double ey, int16_t dir, double max_vel);
QUVEX_API quvex_status QUVEX_CALL quvex_start_a_arc_zu(int16_t card, double cx, double cy, double ex,
                                                       double ey, int16_t dir, double max_vel);
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_arc_zu(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_arc_zu(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_arc_zu(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec,
                                                        double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_arc_zu(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec,
                                                        double SVacc, double SVdec);

/* ---- three points ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_get_arc_data_from_3points(double x1, double y1, double x2, double y2,
                                                                  double x3, double y3, double* cx_out,
                                                                  double* cy_out, int16_t* dir_out);

/* ---- helices: X-Y arc, Z line beside it ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_arc_xyz(int16_t card, double cx, double cy, double ex,
                                                         double ey, double ez, int16_t dir, double str_vel,
                                                         double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_arc_xyz(int16_t card, double cx, double cy, double ex,
                                                         double ey, double ez, int16_t dir, double str_vel,
                                                         double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_arc_xyz(int16_t card, double cx, double cy, double ex,
                                                         double ey, double ez, int16_t dir, double str_vel,
                                                         double max_vel, double Tacc, double Tdec,
                                                         double SVacc, double SVdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_arc_xyz(int16_t card, double cx, double cy, double ex,
                                                         double ey, double ez, int16_t dir, double str_vel,
                                                         double max_vel, double Tacc, double Tdec,
                                                         double SVacc, double SVdec);

/* ---- continuous operation ---- */
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_arc2_conti(int16_t card, const int16_t* axis_array,
                                                            double cx, double cy, double ex, double ey,
                                                            int16_t dir, double str_vel, double max_vel,
                                                            double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_arc_xy_conti(int16_t card, double cx, double cy, double ex,
                                                              double ey, int16_t dir, double str_vel,
                                                              double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_arc_xy_conti(int16_t card, double cx, double cy, double ex,
                                                              double ey, int16_t dir, double str_vel,
                                                              double max_vel, double Tacc, double Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_set_continuous_move(int16_t axis, int16_t enable);
/* 1 while a move is queued, 0 when not (30 for a bad axis). */
QUVEX_API int16_t QUVEX_CALL quvex_check_continuous_buffer(int16_t axis);
QUVEX_API quvex_status QUVEX_CALL quvex_cancel_continuous_buffer(int16_t axis);

QUVEX_EXTERN_C_END

#endif
