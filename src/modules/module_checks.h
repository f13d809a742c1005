// The checks the module exports of both kinds start with, then the module's link for the work.
// OnRing is the kind's way onto an open ring (m1::OnRing, m4::OnRing): it holds the link and
// whatever the link needs.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "card/export_checks.h"
#include "modules/module_codes.h"
#include "ring/ring_checks.h"
#include "ring/slave_record.h"

namespace quvex::modules {

// KRING_ERR_SLAVE for a SlaveNo above 63, then KRING_ERR_NOT_OPEN for a ring slot that is not open; else
// f(link).
template <typename OnRing, typename F>
quvex_status with_module(std::uint16_t ring, std::uint16_t slave, F&& f) {
    QUVEX_TRY(check_slave(slave));
    ring::RingMaster* master = nullptr;
    QUVEX_TRY(ring::check_open_ring(ring, &master));
    OnRing on_ring(*master, slave);
    return f(on_ring.link);
}

// The exports that read without checking the slave first: a ring that is not open still cannot
// be touched (KRING_ERR_NOT_OPEN), nor a slave record that does not exist (KRING_ERR_SLAVE).
template <typename OnRing, typename F>
quvex_status with_module_unchecked(std::uint16_t ring, std::uint16_t slave, F&& f) {
    ring::RingMaster* master = nullptr;
    QUVEX_TRY(ring::check_open_ring(ring, &master));
    QUVEX_TRY(check_slave(slave));
    OnRing on_ring(*master, slave);
    return f(on_ring.link);
}

// An axis the module does not have: KRING_ERR_AXIS, or the code the export names.
template <typename OnRing>
quvex_status check_axis(int axis, quvex_status code = KRING_ERR_AXIS) {
    return check(axis >= 0 && axis < decltype(OnRing::link)::kAxisCount, code);
}

// The module checks, then the axis check; f(link, axis).
template <typename OnRing, typename F>
quvex_status with_axis(std::uint16_t ring, std::uint16_t slave, int axis, F&& f) {
    return with_module<OnRing>(ring, slave, [&](auto& link) -> quvex_status {
        QUVEX_TRY(check_axis<OnRing>(axis));
        return f(link, axis);
    });
}

// The module and axis checks, then one command to that axis of a module with several axes; the
// command's result.
template <typename OnRing>
quvex_status with_axis_command(std::uint16_t ring, std::uint16_t slave, int axis, std::uint16_t code) {
    return with_axis<OnRing>(ring, slave, axis, [&](auto& link, int a) -> quvex_status { return link.command(a, code); });
}

// A profile's speeds: ordered (a value that is not a number never is), then finite, then a
// non-zero top speed.
inline quvex_status check_speeds(bool ordered, double max_vel, std::initializer_list<double> all) {
    QUVEX_TRY(check(ordered, KRING_ERR_SPEED_ORDER));
    QUVEX_TRY(check_finite(KRING_ERR_SPEED_ORDER, all));
    return check(max_vel != 0.0, KRING_ERR_ZERO_MAX_SPEED);
}

// A move needs a loaded speed profile.
inline quvex_status check_profile_loaded(const ring::ModuleAxisBlock& b) {
    return check(b.max_speed_reg != 0, KRING_ERR_NO_PROFILE);
}

// A distance or position the 28-bit amount register holds.
inline quvex_status check_pulses(double v, quvex_status code) {
    return check(v >= kMinPulses && v <= kMaxPulses, code);
}

}  // namespace quvex::modules
