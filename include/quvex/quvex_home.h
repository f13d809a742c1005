/* Origin operations of one local axis: home return, escape from home and home search. The chip
 * carries them out by the home configuration set with quvex_set_home_config; the calls return
 * at once and quvex_motion_done reports the end.
 *
 * The direction is + when max_vel > 0, else -. With str_vel != max_vel the axis ramps from
 * |str_vel| to |max_vel| in Tacc (and back in Tacc); with str_vel = max_vel it runs at |max_vel|
 * (an escape always runs at its start speed). The correction speed is half the start speed (half
 * the maximum speed at constant speed).
 *
 * 0; 11 for max_vel = 0 (no direction and no speed range), or a NaN or infinite speed or time;
 * 30 for an AxisNo whose card is absent or outside 0..11; 13 for a NaN or infinite offset.
 * Every refusal writes nothing. */
#ifndef QUVEX_HOME_H
#define QUVEX_HOME_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Home return. */
QUVEX_API quvex_status QUVEX_CALL quvex_home_move(int16_t axis, double str_vel, double max_vel, double Tacc);
/* Escape from the home sensor, at the start speed. */
QUVEX_API quvex_status QUVEX_CALL quvex_escape_home(int16_t axis, double str_vel, double max_vel, double Tacc);
/* Home search; offset (pulses) is the move amount the chip is given. */
QUVEX_API quvex_status QUVEX_CALL quvex_home_search(int16_t axis, double str_vel, double max_vel, double Tacc,
                                                   double offset);

QUVEX_EXTERN_C_END

#endif
