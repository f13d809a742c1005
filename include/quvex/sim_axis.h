/* Virtual installation: the signal inputs of the chip axes, their counters and the board's TTL
 * inputs. Included by sim.h. Devices and axes as in sim.h. Plain C.
 *
 * Each input holds the signal's active state (after the chip's input logic); the status words
 * report it as follows (S = sub-status word, port +2; R = 32-bit status register, read code
 * 0xF1, whose low half is L and high half H; M = main status word, port +0):
 *
 *   signal                         S bit   R bit   M bit   io_status bit (quvex_get_io_status)
 *   + end limit                      0               4       14
 *   - end limit                      1               5       15
 *   alarm                            3               6        0
 *   general input pin 0              6                       -- (quvex_axis_input, axes Y, Z, U)
 *   origin                          11               7        1
 *   index                           12                        2
 *   in-position                     13                        3
 *   slow-down                       14                        4
 *   latch                                    4                5
 *   general input pins 1..4                  7..10            6..9
 *   servo-on output (output 0)               13              10
 *   alarm-reset output (output 1)            14              11
 *   deviation-clear (ERC) output             15              12
 *   general output (output 4)                16              13
 *   operation state (0 = stopped)            0..3    0..3    --
 *   buffered move pending                            14      --
 *     (a start waits for the running move)
 *
 * Bits 8-12 of M (comparators) belong to the comparator model.
 *
 * The alarm bits also show the alarm of the axis's servo drive, and with a drive on the
 * in-position bit is the drive's signal (sim_drive.h). The slow-down and latch inputs are pin
 * levels, read through their logic bits (env1 bits 6 and 23; 1, as at power-up, is active high /
 * the rising edge) when they act; their status bits show the pin as driven. */
#ifndef QUVEX_SIM_AXIS_H
#define QUVEX_SIM_AXIS_H

#include <stdint.h>

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Signal inputs of an axis. */
#define QUVEX_SIM_INPUT_EL_PLUS 0
#define QUVEX_SIM_INPUT_EL_MINUS 1
#define QUVEX_SIM_INPUT_ORIGIN 2
#define QUVEX_SIM_INPUT_INDEX 3
#define QUVEX_SIM_INPUT_ALARM 4
#define QUVEX_SIM_INPUT_IN_POSITION 5
#define QUVEX_SIM_INPUT_SLOW_DOWN 6
#define QUVEX_SIM_INPUT_LATCH 7
#define QUVEX_SIM_INPUT_GENERAL0 8 /* general input pin k is QUVEX_SIM_INPUT_GENERAL0 + k, k = 0..4 */
#define QUVEX_SIM_INPUT_COUNT 13

/* Drives one input of an axis active (non-zero) or inactive. 0, or -1 for a bad device, axis or signal. */
QUVEX_API int QUVEX_CALL quvex_sim_set_axis_input(int device, int axis, int signal, int active);
/* 1 when the input is active, 0 when not, -1 for a bad device, axis or signal. */
QUVEX_API int QUVEX_CALL quvex_sim_axis_input(int device, int axis, int signal);

/* Sets a counter of an axis from outside (an encoder, a drive's deviation), as if it had
 * counted there: `code` is the counter's write or read code (command 0xA3/0xE3, position
 * 0xA4/0xE4, error 0xE5, general 0xA6/0xE6). 0, or -1 for a bad device, axis or code. */
QUVEX_API int QUVEX_CALL quvex_sim_set_counter(int device, int axis, unsigned code, int32_t value);

/* The word the TTL input port (board + 0x18) reads. The TTL output word (board + 0x1A, outputs
 * in bits 0-3, enable in bit 7) and the end-limit logic word (board + 0x08, axis X bit 3 .. axis
 * U bit 0) read back as last written: see quvex_sim_board_port. */
QUVEX_API int QUVEX_CALL quvex_sim_set_ttl_inputs(int device, uint16_t inputs);

QUVEX_EXTERN_C_END

#endif
