// One-axis module exports: counters, status, cyclic flags and digital I/O.
#include "modules/module_checks.h"
#include "modules/one_axis_codes.h"
#include "modules/one_axis_link.h"
#include "modules/one_axis_readings.h"
#include "modules/one_axis_signals.h"
#include "quvex/quvex.h"

// Defined inside the module's namespace (C linkage keeps the exported names), so its vocabulary
// needs no using-directive that would meet the four-axis module's in a unity build.
namespace quvex::modules::m1 {

namespace {


quvex_status read_into(OneAxisLink& l, std::uint16_t code, uint32_t* out) {
    std::uint32_t v = 0;
    const std::int16_t r = l.read(code, &v);
    put(out, v);
    return r;
}

quvex_status io_channel_bit(uint16_t channel, std::uint8_t bit0, std::uint8_t* bit) {
    QUVEX_TRY(check(channel <= 1, KRING_ERR_IO_CHANNEL));
    *bit = static_cast<std::uint8_t>(bit0 << channel);
    return QUVEX_OK;
}

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_command(uint16_t ring, uint16_t slave, int32_t cmd) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        QUVEX_TRY(check(cmd >= kMinPulses && cmd <= kMaxCounter, KRING_ERR_COUNTER_RANGE));
        return write_counter(l, code::kCommandCounter, cmd);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_position(uint16_t ring, uint16_t slave, int32_t pos) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        QUVEX_TRY(check(pos >= kMinPulses && pos <= kMaxCounter, KRING_ERR_COUNTER_RANGE));
        return write_counter(l, code::kPositionCounter, pos);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_reset_command(uint16_t ring, uint16_t slave) {
    return with_module<OnRing>(ring, slave, [](OneAxisLink& l) { return l.command(code::kResetCommand); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_reset_position(uint16_t ring, uint16_t slave) {
    return with_module<OnRing>(ring, slave, [](OneAxisLink& l) { return l.command(code::kResetPosition); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_reset_error_counter(uint16_t ring, uint16_t slave) {
    return with_module<OnRing>(ring, slave, [](OneAxisLink& l) { return l.command(code::kResetErrorCounter); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_get_command(uint16_t ring, uint16_t slave, uint32_t* cmd) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return read_into(l, code::kReadCommand, cmd); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_get_position(uint16_t ring, uint16_t slave, uint32_t* pos) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return read_position(l, pos); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_get_error_counter(uint16_t ring, uint16_t slave, uint32_t* err) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return read_into(l, code::kReadErrorCounter, err); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_get_current_speed(uint16_t ring, uint16_t slave, double* speed) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return read_current_speed(l, speed); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_motion_done(uint16_t ring, uint16_t slave, uint16_t* done) {
    return with_module_unchecked<OnRing>(ring, slave, [&](OneAxisLink& l) { return read_motion_done(l, done); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_get_io_status(uint16_t ring, uint16_t slave, uint32_t* io) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return read_io_status(l, io); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_get_FH(uint16_t ring, uint16_t slave, double* fh_now, double* fh_set) {
    return with_module_unchecked<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        std::uint32_t v = 0;
        l.read(code::kReadMaxSpeed, &v);
        put(fh_now, static_cast<double>(v));
        put(fh_set, static_cast<double>(l.block().max_speed_reg));
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_get_rmv(uint16_t ring, uint16_t slave, double* rmv_now, double* rmv_set) {
    return with_module_unchecked<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        std::uint32_t v = 0;
        l.read(code::kReadMoveAmount, &v);
        put(rmv_now, static_cast<double>(v));
        put(rmv_set, static_cast<double>(l.block().move_amount & kAmountMask));
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_check_int(uint16_t ring, uint16_t slave, uint8_t* flags) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        put(flags, l.cyclic_in(port::kFlags) & port::kIntFlagsMask);
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_get_serr(uint16_t ring, uint16_t slave, uint16_t* serr) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) {
        return read_pending(l, port::kErrorPending, code::kReadErrorStatus, 0x7FFF, serr);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_get_sevt(uint16_t ring, uint16_t slave, uint16_t* sevt) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) {
        return read_pending(l, port::kEventPending, code::kReadEventStatus, 0x1FFF, sevt);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_dio_output(uint16_t ring, uint16_t slave, uint16_t channel, uint16_t on) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        std::uint8_t bit = 0;
        QUVEX_TRY(io_channel_bit(channel, port::kOutput0, &bit));
        return set_output_bit(l, bit, on != 0);
    });
}

QUVEX_API int16_t QUVEX_CALL kring_m1_dio_input(uint16_t ring, uint16_t slave, uint16_t channel) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        // The input byte is taken before the channel is judged, as the module's mirror expects.
        const std::uint8_t inputs = l.cyclic_in(port::kInputs);
        l.block().dio_byte = inputs;
        std::uint8_t bit = 0;
        QUVEX_TRY(io_channel_bit(channel, port::kInput0, &bit));
        return (inputs & bit) != 0 ? 1 : 0;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_svon(uint16_t ring, uint16_t slave, uint16_t on) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_output_bit(l, port::kServoOn, on > 0); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_ralm(uint16_t ring, uint16_t slave, uint16_t on) {
    return with_module<OnRing>(ring, slave,
                               [&](OneAxisLink& l) { return set_output_bit(l, port::kAlarmReset, on > 0); });
}

}  // extern "C"

}  // namespace quvex::modules::m1
