// Four-axis module exports: the axis chips' environment settings, the servo and alarm-reset
// outputs and the limit-switch enables.
#include "modules/four_axis_codes.h"
#include "modules/four_axis_link.h"
#include "modules/module_checks.h"
#include "modules/module_link.h"
#include "quvex/quvex.h"

// Defined inside the module's namespace (C linkage keeps the exported names), so its vocabulary
// needs no using-directive that would meet the one-axis module's in a unity build.
namespace quvex::modules::m4 {

namespace {

std::uint32_t bit(std::int64_t v) { return static_cast<std::uint32_t>(v & 1); }

// Sets fields of env1..env3 (index 0..2) and writes the register; the write's result.
std::int16_t set_env(FourAxisLink& l, int axis, int index,
                     std::initializer_list<std::pair<Field, std::uint32_t>> fields) {
    std::uint32_t& e = l.block(axis).env[static_cast<std::size_t>(index)];
    for (const auto& [f, v] : fields) e = with_field(e, f, v);
    return l.write_axis(axis, static_cast<std::uint16_t>(code::kEnv1 + index), e);
}

constexpr int kEnv1Slot = 0, kEnv2Slot = 1, kEnv3Slot = 2;

// Sets one field of the operation-mode mirror and writes it to `bank`.
std::int16_t set_operation_bit(FourAxisLink& l, int axis, Field f, std::uint32_t v, Bank bank) {
    ring::ModuleAxisBlock& b = l.block(axis);
    b.operation_mode = with_field(b.operation_mode, f, v);
    return write_operation(l.axis(axis), bank, chip::kOperationMode, b.operation_mode);
}

// The axis I/O port holds the servo-on and alarm-reset outputs; the mirror follows a write that
// went through.
quvex_status set_output(std::uint16_t ring, std::uint16_t slave, std::uint16_t axis, Field f, std::uint16_t on) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        ring::ModuleAxisBlock& b = l.block(a);
        const auto byte = static_cast<std::uint8_t>(with_field(b.dio_byte, f, on > 0 ? 1u : 0u));
        const std::int16_t r = l.write_module(reg::axis_io(a), byte);
        if (r == QUVEX_OK) b.dio_byte = byte;
        return r;
    });
}

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_pls_outmode(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           uint32_t mode) {
    return with_axis<OnRing>(ring, slave, axis,
                     [&](FourAxisLink& l, int a) { return set_env(l, a, kEnv1Slot, {{env::kPulseOut, mode & 7u}}); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_pls_iptmode(uint16_t ring, uint16_t slave, uint16_t axis, int32_t mode,
                                                           int32_t dir) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) {
        return set_env(l, a, kEnv2Slot, {{env::kInputMode, static_cast<std::uint32_t>(mode) & 3u}, {env::kInputDir, bit(dir)}});
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_pulser_iptmode(uint16_t ring, uint16_t slave, uint16_t axis,
                                                              int32_t mode, int16_t dir) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) {
        return set_env(l, a, kEnv2Slot,
                       {{env::kPulserMode, static_cast<std::uint32_t>(mode) & 3u}, {env::kPulserDir, bit(dir)}});
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_feedback_src(uint16_t ring, uint16_t slave, uint16_t axis,
                                                            uint16_t src) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) {
        if (src == 1) l.block(a).move_ratio = 1.0;
        return set_env(l, a, kEnv3Slot, {{env::kFeedback, bit(src)}});
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_alm(uint16_t ring, uint16_t slave, uint16_t axis, int32_t logic,
                                                   int32_t mode) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) {
        return set_env(l, a, kEnv1Slot, {{env::kAlarmLogic, bit(logic)}, {env::kAlarmMode, bit(mode)}});
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_inp(uint16_t ring, uint16_t slave, uint16_t axis, int32_t enable,
                                                   int32_t logic) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) {
        set_env(l, a, kEnv1Slot, {{env::kInpLogic, bit(logic)}});
        // The in-position enable goes to the buffered operation-mode register.
        return set_operation_bit(l, a, mode::kInpEnable, bit(enable), Bank::kBuffered);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_erc(uint16_t ring, uint16_t slave, uint16_t axis, int32_t logic,
                                                   int32_t width, int32_t mode) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) {
        return set_env(l, a, kEnv1Slot,
                       {{env::kErcWidth, static_cast<std::uint32_t>(width) & 7u},
                        {env::kErcLogic, bit(logic)},
                        {env::kErcMode, static_cast<std::uint32_t>(mode) & 3u}});
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_erc_on(uint16_t ring, uint16_t slave, uint16_t axis, int16_t on) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        if (on == 1) l.command(a, code::kErcOn);
        if (on == 0) l.command(a, code::kErcOff);
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_sd(uint16_t ring, uint16_t slave, uint16_t axis, int16_t enable,
                                                  int16_t logic, int16_t latch, int16_t mode) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) {
        set_env(l, a, kEnv1Slot, {{env::kSdLogic, bit(logic)}, {env::kSdLatch, bit(latch)}, {env::kSdMode, bit(mode)}});
        return set_operation_bit(l, a, mode::kSdEnable, bit(enable), Bank::kLive);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_ltc_logic(uint16_t ring, uint16_t slave, uint16_t axis,
                                                         uint32_t logic) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        const std::int16_t r = set_env(l, a, kEnv1Slot, {{env::kLatchLogic, logic & 1u}});
        return r == QUVEX_OK ? quvex_status{QUVEX_OK} : quvex_status{KRING_ERR_LATCH_LOGIC};
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_home_config(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           int32_t home_mode, int32_t org_logic, int32_t ez_logic,
                                                           int32_t ez_count, int32_t erc_out) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        const std::int16_t r1 = set_env(l, a, kEnv1Slot, {{env::kOrgLogic, bit(org_logic)}, {env::kErcOut, bit(erc_out)}});
        const std::int16_t r2 = set_env(l, a, kEnv2Slot,
                                        {{env::kEzLogic, bit(ez_logic)},
                                         {env::kEzCount, static_cast<std::uint32_t>(ez_count) & 15u},
                                         {env::kHomeMode, bit(home_mode)}});
        return r1 == QUVEX_OK && r2 == QUVEX_OK ? quvex_status{QUVEX_OK} : quvex_status{KRING_ERR_HOME_CONFIG};
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_svon(uint16_t ring, uint16_t slave, uint16_t axis, uint16_t on) {
    return set_output(ring, slave, axis, io::kServoOn, on);
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_ralm(uint16_t ring, uint16_t slave, uint16_t axis, uint16_t on) {
    return set_output(ring, slave, axis, io::kAlarmReset, on);
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_ell(uint16_t ring, uint16_t slave, int16_t axis, int16_t on) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        std::uint16_t enables = 0;
        // A register that was not read cannot be written back.
        QUVEX_TRY(l.read_module(reg::kLimitEnable, &enables));
        const Field f = field(static_cast<unsigned>(a), 1);
        if (on == 1) enables = static_cast<std::uint16_t>(with_field(enables, f, 1));
        if (on == 0) enables = static_cast<std::uint16_t>(with_field(enables, f, 0));
        return l.write_module(reg::kLimitEnable, enables);
    });
}

}  // extern "C"

}  // namespace quvex::modules::m4
