// What the installation's C control interface (the quvex_sim_* exports) shares: the refusal
// value, the argument checks, and finding a device's ring and its stations under the machine lock.
#pragma once

#include <mutex>
#include <utility>

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

// Runs fn(card) under the machine lock when the device has a card; `refused` otherwise.
template <typename Fn, typename Result = decltype(std::declval<Fn&>()(std::declval<Card&>()))>
Result with_card(int device, Fn fn, Result refused = Result(kRefused)) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Card* card = m.card_locked(device);
    return card == nullptr ? refused : fn(*card);
}

// Runs fn(chip) under the machine lock when the device's card has the axis; kRefused otherwise.
// The chip is as it was last brought up to date: fn updates it when what it does needs that.
template <typename Fn>
int with_chip(int device, int axis, Fn fn) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = m.chip_locked(device, axis);
    return chip == nullptr ? kRefused : fn(*chip);
}

// The station of kind S plugged at a slave of a device's ring, or null. The machine lock is held.
template <typename S>
S* station_locked(int device, int slave) {
    RingMasterModel* ring = slave_ok(slave) ? ring_locked(device) : nullptr;
    return ring == nullptr ? nullptr : dynamic_cast<S*>(ring->station(slave));
}

// Runs fn(station) under the machine lock when a station of kind S is plugged there; kRefused
// otherwise.
template <typename S, typename Fn>
int with_station(int device, int slave, Fn fn) {
    std::lock_guard<std::mutex> lk(Machine::get().mu);
    S* station = station_locked<S>(device, slave);
    return station == nullptr ? kRefused : fn(*station);
}

}  // namespace qsim
