/* Control of the virtual ring behind each card's ring master: the stations plugged into it, the
 * cyclic bytes of I/O stations as their terminals see them, and injected faults. Plain C.
 * Devices are driver device numbers (as in sim.h), slaves 0..63, ports 0..3. Every call returns
 * -1 for a device without a card or an argument out of range.
 *
 * Decoded trace events of the ring (records of kind QUVEX_SIM_EV_RING_*, sim.h):
 *   "d0 ring scan" / "d0 ring run" / "d0 ring stop" / "d0 ring reset"   control commands
 *   "d0 ring slave 3 msg 0053 0000 0000 -> 0000 1234 0000"   message and the reply words
 *   "d0 ring slave 3 msg 0053 (no answer)"                    message to a silent or absent slave,
 *                                                             or one its station answers later
 *   "d0 ring slave 3 reply -> 0000 1234"                      the later answer
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
/* Messages answered by their stations so far. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_messages(int device);

/* Words of the latest message delivered to `slave`: copies up to `max` of them into `words`
 * (when given) and returns their count. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_last_message(int device, int slave, uint16_t* words, int max);
/* From now on the station at `slave` answers every message with these `count` words instead of
 * its own reply; a count below 0 gives it back its own replies. */
QUVEX_API int QUVEX_CALL quvex_sim_ring_set_reply(int device, int slave, const uint16_t* words, int count);

/* ---- message history ----
 * Every message the master sent to a station since the last reset or clear, oldest first, with
 * the reply: kept whether tracing is on or not (the latest 65536 of them). Messages to a silent
 * or absent station are in it too, unanswered. */
#define QUVEX_SIM_RING_FIFO_WORDS 64 /* words the message port holds each way */
typedef struct quvex_sim_ring_message {
    double sent;      /* virtual time of the send command, seconds */
    double answered;  /* virtual time of the answer, -1 while unanswered */
    int slave;
    int word_count;
    int reply_count;
    uint16_t words[QUVEX_SIM_RING_FIFO_WORDS];
    uint16_t reply[QUVEX_SIM_RING_FIFO_WORDS];
} quvex_sim_ring_message;
QUVEX_API int QUVEX_CALL quvex_sim_ring_history_count(int device);
/* Copies message `index` (0 = oldest kept). */
QUVEX_API int QUVEX_CALL quvex_sim_ring_history_get(int device, int index, quvex_sim_ring_message* out);
QUVEX_API int QUVEX_CALL quvex_sim_ring_history_clear(int device);

/* ---- stations of your own ----
 * A station is a set of callbacks the master calls under the installation's lock. Inside a
 * callback only the quvex_sim_station_* calls below may be used, on the link the callback got
 * (any other quvex_sim_* call would wait for the lock for ever); the link is valid until the
 * callback returns. */
typedef struct quvex_sim_station_link quvex_sim_station_link;
typedef struct quvex_sim_station {
    uint8_t type;    /* the type byte a scan reports (bit 7 = present) */
    uint32_t ident;  /* the identification */
    void* context;   /* handed back to every callback */
    /* A message of `count` words. Writes up to `reply_max` reply words into `reply` and returns
     * their count, or returns -1 to answer later with quvex_sim_station_answer. Null: empty reply. */
    int (QUVEX_CALL* message)(void* context, quvex_sim_station_link* link, const uint16_t* words, int count,
                              uint16_t* reply, int reply_max);
    /* The host wrote cyclic word 0 or 1 (the master already holds it). May be null. */
    void (QUVEX_CALL* cyclic_write)(void* context, quvex_sim_station_link* link, int word, uint16_t value);
    /* The host reads cyclic word 0 or 1: returns what the station shows; `stored` is the word as
     * last written or set. Null: the stored word. */
    uint16_t (QUVEX_CALL* cyclic_read)(void* context, quvex_sim_station_link* link, int word, uint16_t stored);
    /* A timer set with quvex_sim_station_schedule is due. May be null. */
    void (QUVEX_CALL* timer)(void* context, quvex_sim_station_link* link, int tag);
} quvex_sim_station;
/* Plugs the station at `slave` in place of any station there (the struct is copied; `context`
 * must outlive the station). */
QUVEX_API int QUVEX_CALL quvex_sim_ring_plug_station(int device, int slave, const quvex_sim_station* station);

/* Inside a station's callback. Every call returns -1 for a null link or an argument out of range. */
QUVEX_API int QUVEX_CALL quvex_sim_station_slave(quvex_sim_station_link* link);
QUVEX_API double QUVEX_CALL quvex_sim_station_now(quvex_sim_station_link* link);
/* Cyclic word 0 or 1 of this station as stored (0..65535), and setting it (its inputs). */
QUVEX_API int QUVEX_CALL quvex_sim_station_cyclic(quvex_sim_station_link* link, int word);
QUVEX_API int QUVEX_CALL quvex_sim_station_set_cyclic(quvex_sim_station_link* link, int word, uint16_t value);
/* Calls the station's timer callback with `tag` after `delay` seconds of virtual time (0..1e6),
 * unless the station has been unplugged by then. */
QUVEX_API int QUVEX_CALL quvex_sim_station_schedule(quvex_sim_station_link* link, double delay, int tag);
/* Answers the message this station left unanswered: the host then reads the `count` words from
 * the message port. -1 when no message of this station is waiting. */
QUVEX_API int QUVEX_CALL quvex_sim_station_answer(quvex_sim_station_link* link, const uint16_t* words, int count);
/* The handshake line that the host polls after each message to a four-axis module: bit 1 of the
 * window word at offset 256 (slave 0's cyclic word 0). Level 0 or 1 takes the line: bit 1 there
 * reads that level for every reader until the station releases it (level -1) or another station
 * takes it. While no station holds it, bit 1 is slave 0's own. */
QUVEX_API int QUVEX_CALL quvex_sim_station_ready_line(quvex_sim_station_link* link, int level);

/* The handshake line as the master holds it: the station driving it (-1: none) through `holder`
 * when given; returns the level of bit 1 at offset 256 as the host would read it now (0 or 1). */
QUVEX_API int QUVEX_CALL quvex_sim_ring_ready_line(int device, int* holder);

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
