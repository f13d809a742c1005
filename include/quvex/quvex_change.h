/* Changes of a running move of one local axis: its maximum speed and its end point. They work
 * from the move the last start programmed (its speed range, start speed, sections and
 * deceleration time); nothing checks that the axis is moving.
 *
 * Bad input, beyond each function's own status codes: 30 for an AxisNo whose card is absent or
 * outside 0..11; 11 for a new speed of 0 or a NaN or infinite speed or time; 13 for a NaN or
 * infinite distance or position. Every refusal writes nothing. */
#ifndef QUVEX_CHANGE_H
#define QUVEX_CHANGE_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* New maximum speed |new_vel| (pps), reached within T seconds, written live.
 * 0; 29 when the new speed in speed units equals the current or the start speed; 16 when a
 * positioning move has too few pulses left for the shifted ramp-down. */
QUVEX_API quvex_status QUVEX_CALL quvex_v_change(int16_t axis, double new_vel, double T);
/* The same change prepared from the speed the axis will have (cur_vel) and, on an S-curve
 * positioning move, the distance it will have left (dist): continuous moves and T-curve
 * positioning moves get it in the buffered bank (for the next load), S-curve positioning moves
 * live. Status values as quvex_v_change. */
QUVEX_API quvex_status QUVEX_CALL quvex_cmp_v_change(int16_t axis, double dist, double cur_vel, double new_vel,
                                                    double T);
/* Moves the end of the running positioning move to new_pos (pulses); an end behind the axis
 * turns it round. 0; 28 when the ramp-down point (twice it for a reversal) is not shorter than
 * the way to the new end. */
QUVEX_API quvex_status QUVEX_CALL quvex_p_change(int16_t axis, double new_pos);

QUVEX_EXTERN_C_END

#endif
