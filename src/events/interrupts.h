// Interrupt control of a card, its axis events E0..E3, the axes' interrupt factors and the
// driver's interrupt status.
#pragma once

#include <cstdint>

#include "common/platform.h"
#include "quvex/quvex_base.h"

namespace quvex::events {

// E0..E3; E4 belongs to the compare-event thread.
constexpr int kAxisEvents = 4;

quvex_status int_control(int card, int on_off);
// Opens E0..E3 of the card and hands their handles out in that order (out may be null).
quvex_status int_enable(int card, void** out);
quvex_status int_disable(int card);
quvex_status set_int_factor(int axis_no, std::uint32_t factor);
// The driver's interrupt status reply words 1 and 2, whatever the driver answered.
void get_int_status(int axis_no, std::uint32_t* word1, std::uint32_t* word2);

// Handle of axis event k (0..3) of the card as it is now. The callback thread reads it while
// the application's thread may open or close the events, so both sides go through here.
plat::Handle axis_event(int card, int k);

}  // namespace quvex::events
