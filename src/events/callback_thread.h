// The callback thread of a card: waits on the axis events E0..E3, calls the application's
// callback with the AxisNo and logs the axis's stop reasons.
#pragma once

#include "quvex/quvex_events.h"

namespace quvex::events {

// Stores the callback and starts the card's callback thread (interrupts must be enabled; the
// export checks that). 0, or 31 when the thread cannot be created.
quvex_status link_interrupt(int card, quvex_int_callback callback);

}  // namespace quvex::events
