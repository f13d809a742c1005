/* Virtual installation: the comparators, trigger output and latch input of the chip axes.
 * Included by sim.h. Devices are driver device numbers (0..11), axes 0..3 within a device.
 * Plain C.
 *
 * Main status bits 8-12 (port +0) show comparators 1..5: set while the comparator's condition
 * holds for the counters as they are. A match (the condition becoming true while the axis
 * counts) takes the comparator's action at the exact pulse; docs/compare.md lists the sources,
 * conditions and actions the virtual chip decodes. */
#ifndef QUVEX_SIM_COMPARE_H
#define QUVEX_SIM_COMPARE_H

#include <stdint.h>

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Stop reasons of comparator stops, in quvex_sim_motion_info.stop_reason. */
#define QUVEX_SIM_STOP_SOFT_LIMIT_PLUS 0x10000u  /* comparator 1 */
#define QUVEX_SIM_STOP_SOFT_LIMIT_MINUS 0x20000u /* comparator 2 */
#define QUVEX_SIM_STOP_COMPARATOR 0x40000u       /* comparators 3, 4, 5 */

/* Drives the latch input of an axis active (non-zero) or inactive. The active edge captures the
 * counters: latch 0 the command counter, 1 the error counter, 2 the position counter, 3 the
 * general counter. 0, or -1 for an absent device or bad axis. */
QUVEX_API int QUVEX_CALL quvex_sim_set_latch_input(int device, int axis, int active);

typedef struct quvex_sim_compare_info {
    uint32_t matches[5];      /* matches of comparators 1..5 since the card was installed */
    uint32_t trigger_pulses;  /* pulses (or level changes) of the trigger output */
    int trigger_level;        /* level of the trigger output in toggle mode */
    double last_trigger;      /* virtual time of the last trigger pulse, seconds (-1: none) */
} quvex_sim_compare_info;
/* The axis brought up to the current virtual time. 0, or -1 for an absent device or bad axis. */
QUVEX_API int QUVEX_CALL quvex_sim_compare_info_get(int device, int axis, quvex_sim_compare_info* out);

/* Copies up to `max` virtual times (seconds) of the trigger output's pulses, oldest first (the
 * first 4096 are kept), and returns how many are recorded; -1 for an absent device or bad axis. */
QUVEX_API int QUVEX_CALL quvex_sim_trigger_times(int device, int axis, double* out, int max);

QUVEX_EXTERN_C_END

#endif
