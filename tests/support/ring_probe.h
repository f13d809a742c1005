// Test access to a ring master's watchdog inputs: the transfer flag, the state and the user
// event, set directly so that one watchdog pass can be examined on its own.
#pragma once

#include "ring/ring_master.h"

namespace quvex::ring {

struct RingMasterProbe {
    static void set_transfer_busy(RingMaster& m, std::uint8_t busy) { m.transfer_busy_.store(busy); }
    static void set_state(RingMaster& m, RingState s) { m.state_.store(s); }
    static void set_user_event(RingMaster& m, plat::Handle ev) { m.user_event_.store(ev); }
};

}  // namespace quvex::ring
