/* The serial ring: attaching a ring master to a card, ring control, discovery, supervision and
 * the cyclic bytes of I/O slaves. A RingNo is 0..3, a SlaveNo 0..63. Ring exports report errors
 * as negative codes; the two exports with unsigned results give their 16-bit forms (0xFFFC for
 * -4, 0xFFFA for -6, 0xFFFB for -5), which data (0..255) never reaches. */
#ifndef QUVEX_RING_H
#define QUVEX_RING_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* ---- card level ---- */
/* Attaches the first free ring slot to the card's ring window; returns its RingNo.
 * 30 for an absent card, -1 when all four slots are attached. */
QUVEX_API quvex_status QUVEX_CALL quvex_open_kring(int16_t card);
/* Stores the card's ring window address (its low 32 bits in a 64-bit build). 0 or 30. */
QUVEX_API quvex_status QUVEX_CALL quvex_get_kring_addr(int16_t card, uint32_t* addr);
/* Writes the baud-rate code 0..3 to the card's ring baud port. 0, -1 (code above 3) or 30. */
QUVEX_API quvex_status QUVEX_CALL quvex_set_kring_baudrate(int16_t card, uint8_t baud);

/* ---- ring level ---- */
/* Detaches all four ring slots and ends their watchdog threads. Always 0. */
QUVEX_API quvex_status QUVEX_CALL kring_close(void);
/* Accepted and ignored. 0, or -4 for a RingNo above 3. */
QUVEX_API quvex_status QUVEX_CALL kring_set_ring_config(uint16_t ring, uint16_t config);
/* Scans the ring, waits 100 ms and starts cyclic operation. 0 or -4. */
QUVEX_API quvex_status QUVEX_CALL kring_start_ring(uint16_t ring);
QUVEX_API quvex_status QUVEX_CALL kring_stop_ring(uint16_t ring);
/* Resets the ring and waits 100 ms. 0 or -4. */
QUVEX_API quvex_status QUVEX_CALL kring_reset_ring(uint16_t ring);
/* Scans the ring (300 ms) and stores the present slaves as bits: table[0] slaves 0..31,
 * table[1] slaves 32..63. A stopped ring gives an all-zero table. 0 or -4. */
QUVEX_API quvex_status QUVEX_CALL kring_get_ring_active_table(uint16_t ring, uint32_t* table);
/* Type byte of the slave from the latest scan (bit 7 present). 0xFFFC, 0xFFFB for a SlaveNo above 63. */
QUVEX_API uint16_t QUVEX_CALL kring_get_slave_info(uint16_t ring, uint16_t slave);
/* Ring status word: the last one the watchdog polled while it runs, else read now. 0 or -4. */
QUVEX_API quvex_status QUVEX_CALL kring_get_ring_status(uint16_t ring, uint16_t* status);
/* Ring state: 0 idle, 1 started, 2 error seen, 3 stopped; -4. */
QUVEX_API quvex_status QUVEX_CALL kring_get_com_status(uint16_t ring);
/* Starts the ring's watchdog thread; *event (an event handle) is set on every erroneous pass.
 * 0, -1 (null pointer or thread not created) or -4. */
QUVEX_API quvex_status QUVEX_CALL kring_enable_soft_watchdog(uint16_t ring, void** event);
/* Erroneous passes in a row before the watchdog stops the ring (clamped to 10..50) and a second
 * parameter (clamped to 40..60). Returns 1; -4 for a RingNo above 3. */
QUVEX_API quvex_status QUVEX_CALL kring_set_ring_quality_param(uint16_t ring, uint16_t limit, uint16_t param2);
/* Lowest-numbered slave the watchdog found in error (cleared as it is handed out); -5 when none. */
QUVEX_API quvex_status QUVEX_CALL kring_get_error_device(uint16_t ring);
/* Writes one cyclic byte (port 0..3) of an I/O slave and verifies it. 0, -1 (never read back),
 * -4, -5, -6. */
QUVEX_API quvex_status QUVEX_CALL kring_io_output(uint16_t ring, uint16_t slave, uint8_t port, uint8_t value);
/* Reads one cyclic byte of an I/O slave: 0..255, or 0xFFFA, 0xFFFC, 0xFFFB. */
QUVEX_API uint16_t QUVEX_CALL kring_io_input(uint16_t ring, uint16_t slave, uint8_t port);
/* Identification of a slave: stores 0xA3 or 0xA4 through id (0xA4 when the slave did not answer
 * within 200 ms). 0, -4, -5. */
QUVEX_API quvex_status QUVEX_CALL kring_id_data_device(uint16_t ring, uint16_t slave, uint8_t* id);

QUVEX_EXTERN_C_END

#endif
