/* The virtual four-axis motion module on the ring. Included by sim.h. Devices and slaves as in
 * sim_ring.h; axes 0..3. Every call returns -1 for a device without a card, a slave without a
 * four-axis module, or an argument out of range. The module's chips are reached with the
 * quvex_sim_module_* calls of sim_ring_m1.h (inputs, registers, motion, samples). Plain C.
 *
 * The module (slave type byte 0xA4; identification 0x001A0000 + its identification number, bit
 * 20 set, so the host's identification request reports 0xA4) has these registers:
 *
 *   0              identification number (read only)
 *   2              limit-switch enable, bit k for axis k, 0x000F at power-up: a cleared bit hides
 *                  the axis's end-limit inputs from its chip (the I/O port still shows them)
 *   4              manual operation: bits 0..3 axis, bit 4 all axes, bits 5..7 mode; 0 = off
 *   6              manual status (read only): bits 0..3 axis k running, bit 4 manual operation on
 *   0x20 + 8k      axis k's command port; reads the chip's main status
 *   0x22 + 8k      axis k's I/O port: written bit 0 servo on, bit 1 alarm reset; read bit 0
 *                  + end limit, 1 - end limit, 3 alarm, 6 general input 0, 11 origin, 12 index,
 *                  13 in-position, 14 slow-down
 *   0x24, 0x26 + 8k  axis k's chip data words (low, high)
 *
 *   cyclic port 0  bit 0 every axis stopped, bit 1 handshake (a message taken, its end-of-transfer
 *                  word not yet), bits 4..7 axis k running
 *   cyclic port 2  bits 0..3 axis k alarm, bits 4..7 axis k at an end limit
 *   ports 1, 3     the host's; kept as written */
#ifndef QUVEX_SIM_RING_M4_H
#define QUVEX_SIM_RING_M4_H

#include <stdint.h>

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Plugs a four-axis module with identification number `id_number` at `slave` (in place of any
 * station there), powered up: stopped, registers and counters 0, limits enabled, inputs inactive. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_add_m4_module(int device, int slave, uint16_t id_number);
/* How long the module takes to answer each message: it holds the handshake line (bit 1 of window
 * offset 256) low until the host has read it low `polls` times and `seconds` of virtual time have
 * passed since the message, then carries the message out, answers it and raises the line.
 * polls < 0: the module never answers. A message whose end-of-transfer word (0x0400) arrives
 * first is given up: not carried out, never answered. 0 and 0 (the power-up setting): answered
 * before the host's first read. 0, or -1 for no four-axis module there or seconds outside
 * 0..10^6 (NaN included). */
QUVEX_API int QUVEX_CALL quvex_sim_m4_set_reply_latency(int device, int slave, int polls, double seconds);
/* A module register (addresses above, not the data words) as the host would read it, without
 * side effects. 0 on success. */
QUVEX_API int QUVEX_CALL quvex_sim_m4_register(int device, int slave, unsigned address, uint16_t* value);
/* The module's jog and step switches of an axis (direction +1 or -1). They reach the axis only
 * while register 4 selects it; the chip then reacts as to the card's switches. Returns 1 when
 * the axis reacted, 0 when not, -1 for bad arguments. */
QUVEX_API int QUVEX_CALL quvex_sim_m4_jog_switch(int device, int slave, int axis, int direction, int pressed);
QUVEX_API int QUVEX_CALL quvex_sim_m4_step_press(int device, int slave, int axis, int direction);

QUVEX_EXTERN_C_END

#endif
