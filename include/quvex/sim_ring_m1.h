/* Virtual motion modules on the ring: the one-axis module, and the chips of any module station
 * (their inputs, registers and motion). Included by sim.h. Devices and slaves as in sim_ring.h;
 * axis 0 is the one-axis module's only axis. Every call returns -1 for a device without a card,
 * a slave without a module station, or an argument out of range. Plain C.
 *
 * The one-axis module (slave type byte 0xA3; its identification has bit 20 clear, so the host's
 * identification request reports 0xA3) shows these bits:
 *
 *   move amount 0xD0       as written; once a positioning move starts from it, the pulses the
 *                          move has left (0 after it ran out) until 0x90 is written again
 *   comparators (env4)     1 and 2 as the card's; 3 (the trigger comparator) with its method in
 *                          bits 18-21 and its action in 22-23; each match of 3 pulses the trigger
 *   status register 0xF1   0..3 operation state (QUVEX_SIM_STATE_*), 4 latch, 5 origin, 6 index,
 *                          7 in-position, 8 slow-down, 9 general input pin 3, 13..15 general input
 *                          pins 0..2, 16 servo on, 17 alarm reset, 18 ERC output, 19 general output
 *   error status 0xF2      stop reasons of the last move (QUVEX_SIM_STOP_* bits 0..3); read clears
 *   event status 0xF3      bit 0 move ended, 1 acceleration ended, 2 deceleration begun, each only
 *                          while its interrupt-factor bit (0xAC) is set; read clears
 *   cyclic port 0          bit 0 axis stopped, 1 a move ended since 0xF3 was last read,
 *                          2 error status pending, 3 event status pending
 *   cyclic port 2          bit 0 + end limit, 1 - end limit, 4 digital input 0, 5 digital input 1,
 *                          6 alarm
 *   cyclic port 3 (host)   bit 0 servo on, 1 alarm reset, 2 digital output 0, 3 digital output 1 */
#ifndef QUVEX_SIM_RING_M1_H
#define QUVEX_SIM_RING_M1_H

#include <stdint.h>

#include "quvex_base.h"
#include "sim_compare.h"
#include "sim_motion.h"

QUVEX_EXTERN_C_BEGIN

/* The module's two digital inputs, beyond the chip signals QUVEX_SIM_INPUT_* of sim_axis.h. */
#define QUVEX_SIM_M1_INPUT_DI0 16
#define QUVEX_SIM_M1_INPUT_DI1 17

/* Plugs a one-axis module at `slave` (in place of any station there), powered up: stopped,
 * registers and counters 0, inputs inactive. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_add_m1_module(int device, int slave);
/* The output byte the module took from the host (cyclic port 3): 0..255. */
QUVEX_API int QUVEX_CALL quvex_sim_m1_outputs(int device, int slave);

/* ---- the chips of a module station ---- */
/* Drives an input of a module axis active (non-zero) or inactive: a QUVEX_SIM_INPUT_* signal, or
 * a module input (QUVEX_SIM_M1_INPUT_*). 0 on success. */
QUVEX_API int QUVEX_CALL quvex_sim_module_set_input(int device, int slave, int axis, int signal, int active);
/* 1 when the input is active, 0 when not. */
QUVEX_API int QUVEX_CALL quvex_sim_module_input(int device, int slave, int axis, int signal);
/* A register of a module axis's chip by its read or write code, without side effects. */
QUVEX_API int QUVEX_CALL quvex_sim_module_register(int device, int slave, int axis, unsigned code, uint32_t* value);
/* Motion of a module axis, brought up to the current virtual time (as quvex_sim_motion_info_get). */
QUVEX_API int QUVEX_CALL quvex_sim_module_motion_info(int device, int slave, int axis, quvex_sim_motion_info* out);
/* Comparator matches and trigger output of a module axis (as quvex_sim_compare_info_get); the
 * one-axis module's trigger output pulses on each match of its comparator 3. */
QUVEX_API int QUVEX_CALL quvex_sim_module_compare_info(int device, int slave, int axis, quvex_sim_compare_info* out);
/* Trajectory sampling of a module axis (as quvex_sim_sample_motion and quvex_sim_motion_samples). */
QUVEX_API int QUVEX_CALL quvex_sim_module_sample_motion(int device, int slave, int axis, double period);
QUVEX_API int QUVEX_CALL quvex_sim_module_motion_samples(int device, int slave, int axis, quvex_sim_motion_sample* out,
                                                         int max);

QUVEX_EXTERN_C_END

#endif
