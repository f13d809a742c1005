/* Control of the virtual ring behind each card's ring master: the stations plugged into it, the
 * cyclic bytes of I/O stations as their terminals see them, and injected faults. Plain C.
 * Devices are driver device numbers (as in sim.h), slaves 0..63, ports 0..3. Every call returns
 * -1 for a device without a card or an argument out of range.
 *
 * Decoded trace events of the ring:
 *   "d0 ring scan" / "d0 ring run" / "d0 ring stop" / "d0 ring reset"   control commands
 *   "d0 ring slave 3 msg 0053 0000 0000 -> 0000 1234 0000"   message and the reply words
 *   "d0 ring slave 3 msg 0053 (no answer)"                    message to a silent or absent slave
 *   "d0 ring slave 3 ident -> 00100000"                       identification request
 *   "d0 ring slave 3 cyclic 1 <- AB00"                        host write of cyclic word 0 or 1
 *   "d0 ring error map 0 <- 0020"                             host write-back of an error-map word */
#ifndef QUVEX_SIM_RING_H
#define QUVEX_SIM_RING_H

#include <stdint.h>

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Plugs an I/O station at `slave`. Its type byte is what the next scan reports (bit 7 marks a
 * present station, bit 3 a second station flag); `ident` is its 32-bit identification. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_add_io_slave(int device, int slave, uint8_t type, uint32_t ident);
/* Unplugs whatever station is at `slave`. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_remove_slave(int device, int slave);
/* Identification the station at `slave` reports from now on. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_set_identification(int device, int slave, uint32_t ident);

/* A cyclic byte of a station (port 0 = low byte of its first word ... port 3 = high byte of its
 * second): what the host last wrote, or what the outside set. Returns 0..255. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_io_get(int device, int slave, int port);
QUVEX_API int QUVEX_CALL quvex_sim_ring_io_set(int device, int slave, int port, uint8_t value);

/* State of the master: 0 idle (after reset), 1 scanned, 2 running, 3 stopped. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_mode(int device);
/* Messages the master has delivered to answering stations so far. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_messages(int device);

/* Words of the latest message delivered to `slave`: copies up to `max` of them into `words`
 * (when given) and returns their count. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_last_message(int device, int slave, uint16_t* words, int max);
/* From now on the station at `slave` answers every message with these `count` words instead of
 * its own reply; a count below 0 gives it back its own replies. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_set_reply(int device, int slave, const uint16_t* words, int count);

/* ---- faults ---- */
/* The next `polls` reads of the status word also show `bits` (status bits 3..6 only). */
QUVEX_API int QUVEX_CALL quvex_sim_ring_status_fault(int device, uint16_t bits, int polls);
/* Marks `slave` in the error map (status bit 3 shows while any mark is set; the host clears a
 * mark by writing it back). */
QUVEX_API int QUVEX_CALL quvex_sim_ring_flag_error(int device, int slave);
/* Error-map word 0..3 as the master holds it now. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_error_map(int device, int word);
/* Cyclic word 0 or 1 of `slave` ignores host writes while stuck is 1: it never reads back. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_stuck_cyclic(int device, int slave, int word, int stuck);
/* A silent station never completes a message or an identification. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_slave_silent(int device, int slave, int silent);

QUVEX_EXTERN_C_END

#endif
