/* Virtual installation: a servo drive behind each card axis, and the card's emergency input.
 * Included by sim.h. Devices and axes as in sim.h. Plain C.
 *
 * Off (the default), an axis is ideal: its position counter counts the command pulses and its
 * error counter stays as set. Switched on, the drive follows the command pulses with a
 * first-order lag and feeds back encoder pulses: the position counter counts them, the error
 * counter holds command less feedback pulses (signed), the deviation-clear output clears the
 * deviation, the in-position signal is active while the deviation stays within the band for the
 * settling time, and a deviation past the limit raises the drive's alarm (cleared by the
 * alarm-reset output once the deviation is back within the limit). The motor follows only while
 * the servo-on output (output 0) is on; the library switches it off at start-up. */
#ifndef QUVEX_SIM_DRIVE_H
#define QUVEX_SIM_DRIVE_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

typedef struct quvex_sim_drive {
    double time_constant;    /* first-order lag, seconds (0: follows at once) */
    double in_position_band; /* pulses */
    double settling_time;    /* seconds the deviation stays within the band before in-position */
    double deviation_limit;  /* pulses; 0: no limit */
} quvex_sim_drive;

/* Switches the drive of an axis on with the given parameters, or off (drive NULL). 0, or -1 for
 * a bad device or axis, or a parameter negative, infinite or NaN (nothing changed). */
QUVEX_API int QUVEX_CALL quvex_sim_set_drive(int device, int axis, const quvex_sim_drive* drive);

typedef struct quvex_sim_drive_state {
    int on;              /* 1 when a drive is switched on */
    double deviation;    /* pulses, the drive's reference less its motor */
    double motor;        /* motor position, pulses since the drive was switched on */
    int alarm;           /* the drive's alarm */
    int in_position;     /* the drive's in-position signal */
} quvex_sim_drive_state;

/* The drive of an axis brought up to now. 0, or -1 for a bad device or axis or a null out. */
QUVEX_API int QUVEX_CALL quvex_sim_drive_state_get(int device, int axis, quvex_sim_drive_state* out);

/* The card's emergency input: active (non-zero) stops every axis of the card at once (stop
 * reason 0x200) and refuses starts while it stays active. 0, or -1 for a bad device. */
QUVEX_API int QUVEX_CALL quvex_sim_set_emergency(int device, int active);
/* 1 when the emergency input is active, 0 when not, -1 for a bad device. */
QUVEX_API int QUVEX_CALL quvex_sim_emergency(int device);

QUVEX_EXTERN_C_END

#endif
