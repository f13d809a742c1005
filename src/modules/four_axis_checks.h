// The checks every four-axis module export starts with, then the module's link for the work.
#pragma once

#include <cstdint>

#include "common/export_checks.h"
#include "modules/four_axis_codes.h"
#include "modules/four_axis_link.h"
#include "ring/ring_checks.h"

namespace quvex::modules::m4 {

// -5 for a SlaveNo above 63, then -4 for a ring slot that is not open; else f(link).
template <typename F>
quvex_status with_module(std::uint16_t ring, std::uint16_t slave, F&& f) {
    QUVEX_TRY(check_slave(slave));
    ring::RingMaster* master = nullptr;
    QUVEX_TRY(ring::check_open_ring(ring, &master));
    RingTransport transport(*master, slave);
    Link link(transport, master->slave(slave));
    return f(link);
}

inline bool axis_in_range(int axis) { return axis >= 0 && axis < kAxisCount; }

// An axis outside 0..3: -50, or the code the export names.
inline quvex_status check_module_axis(int axis, quvex_status code = KRING_ERR_AXIS) {
    return check(axis_in_range(axis), code);
}

// The module checks, then the axis check; f(link, axis).
template <typename F>
quvex_status with_axis(std::uint16_t ring, std::uint16_t slave, int axis, F&& f) {
    return with_module(ring, slave, [&](Link& link) -> quvex_status {
        QUVEX_TRY(check_module_axis(axis));
        return f(link, axis);
    });
}

}  // namespace quvex::modules::m4
