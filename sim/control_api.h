// What the installation's C control interface (the quvex_sim_* exports) shares: the refusal
// value, the argument checks, and finding a device's ring and its stations under the machine lock.
#pragma once

#include "card.h"
#include "machine.h"
#include "ring/ring_master_model.h"

namespace qsim {

constexpr int kRefused = -1;

inline bool slave_ok(int slave) { return slave >= 0 && slave < ringhw::kSlaves; }
inline bool direction_ok(int direction) { return direction == 1 || direction == -1; }

// The ring master of a device's card, or null. The machine lock is held.
inline RingMasterModel* ring_locked(int device) {
    Card* card = Machine::get().card_locked(device);
    return card == nullptr ? nullptr : &card->ring();
}

// The station of kind S plugged at a slave of a device's ring, or null. The machine lock is held.
template <typename S>
S* station_locked(int device, int slave) {
    RingMasterModel* ring = slave_ok(slave) ? ring_locked(device) : nullptr;
    return ring == nullptr ? nullptr : dynamic_cast<S*>(ring->station(slave));
}

}  // namespace qsim
