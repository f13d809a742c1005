/* Synchronous group moves: several axes programmed from parallel arrays in one call, and the
 * chip's simultaneous start and stop.
 *
 * A group call programs axes[0], axes[1], ... in array order, each like a single-axis start but
 * always with the manual ramp-down point, and writes each axis's start command in turn; the
 * synchronisation options set by quvex_set_sync_option decide whether an axis runs at once or
 * waits for quvex_start_move_all.
 *
 * Group status: 0; 11 when max_vel[i] is 0 (or NaN or infinite): the axes before i are already
 * programmed and started, the others untouched. Checked before anything is written: n <= 0
 * programs nothing and returns 0; 15 for n above 48 or a null array; 30 when an AxisNo's card
 * is absent or outside 0..11; 13 for a NaN or infinite distance or target; 11 for a NaN or
 * infinite start speed, time or section. */
#ifndef QUVEX_GROUP_H
#define QUVEX_GROUP_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

QUVEX_API quvex_status QUVEX_CALL quvex_set_tr_move_all(int16_t n, const int16_t* axes, const double* dist,
                                                       const double* str_vel, const double* max_vel,
                                                       const double* Tacc, const double* Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_set_ta_move_all(int16_t n, const int16_t* axes, const double* pos,
                                                       const double* str_vel, const double* max_vel,
                                                       const double* Tacc, const double* Tdec);
QUVEX_API quvex_status QUVEX_CALL quvex_set_sr_move_all(int16_t n, const int16_t* axes, const double* dist,
                                                       const double* str_vel, const double* max_vel,
                                                       const double* Tacc, const double* Tdec, const double* SVacc,
                                                       const double* SVdec);
QUVEX_API quvex_status QUVEX_CALL quvex_set_sa_move_all(int16_t n, const int16_t* axes, const double* pos,
                                                       const double* str_vel, const double* max_vel,
                                                       const double* Tacc, const double* Tdec, const double* SVacc,
                                                       const double* SVdec);

/* Simultaneous start (command 0x06) / stop (0x07), written once to the axis. 0 or 30. */
QUVEX_API quvex_status QUVEX_CALL quvex_start_move_all(int16_t axis);
QUVEX_API quvex_status QUVEX_CALL quvex_stop_move_all(int16_t axis);

/* Synchronisation options in the operation-mode register's high half: register bit 24 when
 * opt_bit24 is 1, bit 25 when opt_bit25 is 1, opt_low from bit 18 and opt_high from bit 20
 * (not range-checked: wide values spill into the neighbouring bits). Also sets env2 bit 29.
 * 0 or 30. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_sync_option(int16_t axis, int16_t opt_bit24, int16_t opt_bit25,
                                                       int16_t opt_low, int16_t opt_high);
/* Synchronous stop mode, env1 bit 27: set for mode 1, cleared otherwise. 0 or 30. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_sync_stop_mode(int16_t axis, int16_t mode);

QUVEX_EXTERN_C_END

#endif
