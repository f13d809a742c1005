// The checks every one-axis module export starts with, then the module's link for the work.
#pragma once

#include <cmath>
#include <cstdint>

#include "common/export_checks.h"
#include "modules/one_axis_codes.h"
#include "modules/one_axis_link.h"
#include "ring/ring_checks.h"

namespace quvex::modules::m1 {

// -5 for a SlaveNo above 63, then -4 for a ring slot that is not open; else f(link).
template <typename F>
quvex_status with_module(std::uint16_t ring, std::uint16_t slave, F&& f) {
    QUVEX_TRY(check_slave(slave));
    ring::RingMaster* master = nullptr;
    QUVEX_TRY(ring::check_open_ring(ring, &master));
    Link link(*master, slave);
    return f(link);
}

// The exports that read without checking the slave: a ring that is not open still cannot be
// touched (-4), nor a slave record that does not exist (-5).
template <typename F>
quvex_status with_module_unchecked(std::uint16_t ring, std::uint16_t slave, F&& f) {
    ring::RingMaster* master = nullptr;
    QUVEX_TRY(ring::check_open_ring(ring, &master));
    QUVEX_TRY(check_slave(slave));
    Link link(*master, slave);
    return f(link);
}

inline quvex_status check_pulses(double v, quvex_status code) {
    return check(v >= kMinPulses && v <= kMaxPulses, code);
}

}  // namespace quvex::modules::m1
