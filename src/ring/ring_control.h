// What the ring exports do once their checks have passed: attaching a slot to a card, the baud
// rate, and the ring-level operations that add a wait, a default or a conversion to the ring
// master's own operations.
#pragma once

#include <cstdint>

#include "quvex/quvex_base.h"
#include "ring/ring_master.h"

namespace quvex::ring {

// Attaches the first free slot to the card's ring window: the slot number, or -1 when the card
// has no window or no slot is free.
quvex_status open_ring_on_card(int card);
// The card's ring window address as the 32-bit export hands it out (the low half in a 64-bit build).
std::uint32_t ring_window_address(int card);
// Reads the baud port, refuses a code above 3 (-1), writes the code and records it in the slot
// opened last.
quvex_status set_baud_rate(int card, std::uint8_t baud);

// Resets the ring and waits for it to settle.
void reset_and_settle(RingMaster& r);
// Scans the ring; a stopped ring leaves the table all zero. A null table is not written.
void read_active_table(RingMaster& r, std::uint32_t* table);
// The status copy polled by the watchdog while it runs, else the status word read now.
void ring_status(RingMaster& r, std::uint16_t* status);
// Starts the watchdog with the application's event handle (a null pointer is refused with -1).
quvex_status enable_soft_watchdog(RingMaster& r, void** event);
// The lowest slave marked in error, or KRING_ERR_SLAVE when none is.
quvex_status take_error_device(RingMaster& r);
// Identification whose time-out is reported only through the code (0xA4). A null `id` sends nothing.
quvex_status identify_device(RingMaster& r, std::uint16_t slave, std::uint8_t* id);

}  // namespace quvex::ring
