/* Motion of the virtual chips: what an axis is doing now and its trajectory over virtual time.
 * Devices are driver device numbers (0..11), axes 0..3 (X, Y, Z, U) within a device. Plain C. */
#ifndef QUVEX_SIM_MOTION_H
#define QUVEX_SIM_MOTION_H

#include <stdint.h>

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Operation states (low four bits of the chip's status registers). */
#define QUVEX_SIM_STATE_STOPPED 0
#define QUVEX_SIM_STATE_WAITING 1      /* loaded, waiting for the simultaneous start (0x06) */
#define QUVEX_SIM_STATE_CONSTANT 2     /* running at constant speed */
#define QUVEX_SIM_STATE_ACCELERATING 3
#define QUVEX_SIM_STATE_DECELERATING 4
#define QUVEX_SIM_STATE_IN_POSITION_WAIT 5  /* pulses out, waiting for the in-position signal */

/* Why the last motion ended early (bits; 0 when it ran to its end). */
#define QUVEX_SIM_STOP_EL_PLUS 0x01u
#define QUVEX_SIM_STOP_EL_MINUS 0x02u
#define QUVEX_SIM_STOP_DECELERATING 0x04u  /* command 0x4A */
#define QUVEX_SIM_STOP_IMMEDIATE 0x08u     /* command 0x49 */
#define QUVEX_SIM_STOP_SIMULTANEOUS 0x10u  /* command 0x07 */
#define QUVEX_SIM_STOP_ALARM 0x20u        /* the axis's alarm (input or drive) */
#define QUVEX_SIM_STOP_EMERGENCY 0x40u    /* the card's emergency input */
#define QUVEX_SIM_STOP_SLOW_DOWN 0x80u    /* the slow-down input in its stopping mode */
#define QUVEX_SIM_STOP_OTHER_AXIS 0x100u  /* another axis of the path stopped it */

/* The synchronisation options of the operation-mode register as the virtual chip reads them:
 * bit 24: a start command loads the move and the axis waits for command 0x06 written to any
 *         axis of the card;
 * bit 25: command 0x07 written to any axis of the card stops this axis, decelerating when env1
 *         bit 27 is set, else at once;
 * bits 18-23 have no effect. */

typedef struct quvex_sim_motion_info {
    int32_t command_counter;
    int32_t position_counter;
    double speed;            /* pulses per second */
    uint32_t remaining;      /* pulses left of a positioning move */
    unsigned state;          /* QUVEX_SIM_STATE_* */
    uint32_t stop_reason;    /* QUVEX_SIM_STOP_* of the last motion */
    double started_at;       /* virtual time the last motion began to run, seconds */
    double ended_at;         /* virtual time it ended (valid once stopped), seconds */
    double peak_speed;       /* highest speed of the current or last motion, pulses per second */
} quvex_sim_motion_info;
/* The axis brought up to the current virtual time. 0, or -1 for an absent device or bad axis. */
QUVEX_API int QUVEX_CALL quvex_sim_motion_info_get(int device, int axis, quvex_sim_motion_info* out);

typedef struct quvex_sim_motion_sample {
    double time;        /* virtual time, seconds */
    int32_t position;   /* command counter */
    double speed;       /* pulses per second */
} quvex_sim_motion_sample;
/* Samples the axis now and then every `period` seconds of virtual time (at least 10 µs),
 * dropping the samples recorded before; a period <= 0 (or NaN) stops sampling and keeps the
 * samples. 0, or -1 for an absent device or bad axis. */
QUVEX_API int QUVEX_CALL quvex_sim_sample_motion(int device, int axis, double period);
/* Copies up to `max` samples of the axis, oldest first, and returns how many are recorded
 * (which may exceed max); -1 for an absent device or bad axis. */
QUVEX_API int QUVEX_CALL quvex_sim_motion_samples(int device, int axis, quvex_sim_motion_sample* out, int max);

QUVEX_EXTERN_C_END

#endif
