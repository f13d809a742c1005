/* Manual operation on the virtual cards: the hand wheel (pulser), the jog and step switches and
 * the hand-wheel status port. Devices are driver device numbers (0..11), axes 0..3 (X, Y, Z, U)
 * within a device. Plain C.
 *
 * The hand wheel gives one pulse per detent. The card's manual-control word routes it (bit 6
 * set: only the axis in bits 4-5; clear: every axis). An axis armed for the hand wheel (its
 * start took over operation kind 0x01) moves by the pulses times ratio_m / ratio_p of its env6,
 * in the turn's direction (reversed by env2 bit 26); the divider keeps its remainder from turn
 * to turn, so N detents move exactly trunc(N x m / p) pulses from a fresh start. Pulser moves
 * (kinds 0x51, 0x54, 0x55, 0x6A, 0x6C, 0x6D) stand at speed 0 until turns pace them, whatever
 * the routing and the turn's direction; a line or arc's driving axis (the longest) counts the
 * pulses. Pulser arcs run as their chord.
 *
 * An axis armed for jog (kind 0x02) runs its live profile while a jog switch is held and
 * decelerates to a stop when it is released; one armed for step (kind 0x56) moves its live move
 * amount per press, ramped. Presses while the axis moves, or on an axis not armed, do nothing.
 * A stop command (0x49, 0x4A) disarms the axis. */
#ifndef QUVEX_SIM_MANUAL_H
#define QUVEX_SIM_MANUAL_H

#include <stdint.h>

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Turns the device's hand wheel by `detents` (negative: backwards) at `rate` detents per second
 * (above 0). The turn begins when the turns asked for before it end, now at the earliest.
 * Returns 0, or -1 for an absent device or a rate that is not a positive number. */
QUVEX_API int QUVEX_CALL quvex_sim_turn_wheel(int device, int detents, double rate);
/* Virtual time (seconds) at which the last turn asked for ends; -1 for an absent device. */
QUVEX_API double QUVEX_CALL quvex_sim_wheel_idle_at(int device);

/* Jog switch of an axis: direction +1 or -1, pressed 1 or released 0. Returns 1 when the axis
 * reacted, 0 when it did not (not armed for jog, already moving), -1 for bad arguments. */
QUVEX_API int QUVEX_CALL quvex_sim_jog_switch(int device, int axis, int direction, int pressed);
/* One press of an axis's step switch (direction +1 or -1). Returns as quvex_sim_jog_switch. */
QUVEX_API int QUVEX_CALL quvex_sim_step_press(int device, int axis, int direction);

/* The word the hand-wheel status port (board + 0x12) reads. 0, or -1 for an absent device. */
QUVEX_API int QUVEX_CALL quvex_sim_set_wheel_status(int device, uint16_t status);

QUVEX_EXTERN_C_END

#endif
