// Interrupt control of a card and its axis events.
#pragma once

#include "quvex/quvex_base.h"

namespace quvex::events {

quvex_status int_control(int card, int on_off);
quvex_status int_disable(int card);
// Closes the stop-reason log when one is open.
void close_error_log();

}  // namespace quvex::events
