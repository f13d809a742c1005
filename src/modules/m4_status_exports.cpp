// Four-axis module exports: counters, current speed, motion and I/O status, latches.
#include <algorithm>
#include <cmath>

#include "modules/four_axis_codes.h"
#include "modules/four_axis_link.h"
#include "modules/module_checks.h"
#include "modules/four_axis_profile.h"
#include "modules/four_axis_status.h"
#include "quvex/quvex.h"

// Defined inside the module's namespace (C linkage keeps the exported names), so its vocabulary
// needs no using-directive that would meet the one-axis module's in a unity build.
namespace quvex::modules::m4 {

namespace {

quvex_status set_counter(std::uint16_t ring, std::uint16_t slave, std::uint16_t axis, std::int32_t value,
                         std::uint16_t code) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        QUVEX_TRY(check(value >= kMinPulses && value <= kMaxCounter, KRING_ERR_COUNTER_RANGE));
        const auto v = static_cast<std::uint32_t>(value);
        return l.write_axis(a, code, join_halves(low_half(v), static_cast<std::uint16_t>(high_half(v) & kCounterHighMask)));
    });
}

// One axis register read handed out as read (0 when the module did not echo it).
template <typename T, typename Convert>
quvex_status read_out(std::uint16_t ring, std::uint16_t slave, std::uint16_t axis, std::uint16_t code, T* out,
                      Convert convert) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        std::uint32_t raw = 0;
        l.read_axis(a, code, &raw);
        put(out, convert(l.block(a), raw));
        return QUVEX_OK;
    });
}

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_command(uint16_t ring, uint16_t slave, uint16_t axis, int32_t cmd) {
    return set_counter(ring, slave, axis, cmd, code::kCommandCounter);
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_position(uint16_t ring, uint16_t slave, uint16_t axis, int32_t pos) {
    return set_counter(ring, slave, axis, pos, code::kPositionCounter);
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_reset_command(uint16_t ring, uint16_t slave, uint16_t axis) {
    return with_axis_command<OnRing>(ring, slave, axis, code::kResetCommand);
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_reset_position(uint16_t ring, uint16_t slave, uint16_t axis) {
    return with_axis_command<OnRing>(ring, slave, axis, code::kResetPosition);
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_get_command(uint16_t ring, uint16_t slave, uint16_t axis, uint32_t* cmd) {
    return read_out(ring, slave, axis, code::kReadCommand, cmd, [](const ring::ModuleAxisBlock&, std::uint32_t v) { return v; });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_get_position(uint16_t ring, uint16_t slave, uint16_t axis, uint32_t* pos) {
    return read_out(ring, slave, axis, code::kReadPosition, pos, [](const ring::ModuleAxisBlock&, std::uint32_t v) { return v; });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_get_current_speed(uint16_t ring, uint16_t slave, uint16_t axis,
                                                             double* speed) {
    return read_out(ring, slave, axis, code::kReadCurrentSpeed, speed,
                    [](const ring::ModuleAxisBlock& b, std::uint32_t v) { return current_speed(v, b.speed_range); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_motion_done(uint16_t ring, uint16_t slave, uint16_t axis, uint16_t* done) {
    return read_out(ring, slave, axis, code::kReadStatus, done,
                    [](const ring::ModuleAxisBlock&, std::uint32_t v) { return v & kMotionDoneMask; });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_get_motion_data(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           uint16_t* data) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        // The caller's words change only when the module echoed the read.
        MotionData words{};
        if (l.read_motion_data(a, words) && data != nullptr) std::copy(words.begin(), words.end(), data);
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_get_io_status(uint16_t ring, uint16_t slave, uint16_t axis, uint32_t* io) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        std::uint32_t status = 0;
        l.read_axis(a, code::kReadStatus, &status);
        std::uint16_t port = 0;
        if (l.read_module(reg::axis_io(a), &port) == QUVEX_OK) l.block(a).dio_byte = static_cast<std::uint8_t>(port);
        std::uint16_t word = 0;
        const std::int16_t r = l.read_module(reg::axis_io(a), &word);
        if (r == QUVEX_OK) put(io, io_status(status, static_cast<std::uint8_t>(port), word));
        return r;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_get_latch_data(uint16_t ring, uint16_t slave, uint16_t axis, int16_t latch,
                                                          double* data) {
    QUVEX_TRY(check(latch >= 1 && latch <= 3, KRING_ERR_LATCH_NUMBER));
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        std::uint32_t raw = 0;
        // An axis read reports success whether or not it was echoed, so the read never fails here.
        l.read_axis(a, static_cast<std::uint16_t>(code::kReadLatch1 + latch - 1), &raw);
        double value = static_cast<std::int32_t>(raw);
        if (latch == 3) {
            const double ratio = l.block(a).move_ratio;
            // A ratio of 0 (or not a number) cannot scale the reading.
            QUVEX_TRY(check(ratio != 0.0 && std::isfinite(ratio), KRING_ERR_SPEED_ORDER));
            value /= ratio;
        }
        put(data, value);
        return QUVEX_OK;
    });
}

}  // extern "C"

}  // namespace quvex::modules::m4
