// Four-axis module exports: the reset, the identification and raw access to the module's own
// registers and to the axis chips' registers.
#include "modules/four_axis_codes.h"
#include "modules/four_axis_link.h"
#include "modules/module_axis_block.h"
#include "modules/module_checks.h"
#include "quvex/quvex.h"

// Defined inside the module's namespace (C linkage keeps the exported names), so its vocabulary
// needs no using-directive that would meet the one-axis module's in a unity build.
namespace quvex::modules::m4 {

namespace {

// Module register addresses are the low byte of their message word; a larger one would form
// another word.
constexpr std::uint16_t kMaxModuleAddress = 0xFF;

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_m4_initial(uint16_t ring, uint16_t slave) {
    return with_module<OnRing>(ring, slave, [](FourAxisLink& l) -> quvex_status {
        for (int axis = 0; axis < kAxisCount; ++axis) l.command(axis, code::kReset);
        for (int axis = 0; axis < kAxisCount; ++axis) {
            ring::ModuleAxisBlock& b = l.block(axis);
            reset_axis_block(b);
            b.env[0] = 0;
            b.env[2] = 0;
            b.env[1] = with_field(0, env::kInitialLow, env::kInitialEnv2);
            l.write_axis(axis, code::kEnv2, b.env[1]);
        }
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_get_idnum(uint16_t ring, uint16_t slave, uint16_t* id) {
    return with_module<OnRing>(ring, slave, [&](FourAxisLink& l) -> quvex_status {
        if (id != nullptr) l.read_module(reg::kIdNumber, id);
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_read_cpld(uint16_t ring, uint16_t slave, uint16_t address,
                                                     uint16_t* value) {
    return with_module<OnRing>(ring, slave, [&](FourAxisLink& l) -> quvex_status {
        if (value != nullptr && address <= kMaxModuleAddress) l.read_module(address, value);
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_write_cpld(uint16_t ring, uint16_t slave, uint16_t address,
                                                      uint16_t value) {
    return with_module<OnRing>(ring, slave, [&](FourAxisLink& l) -> quvex_status {
        if (address <= kMaxModuleAddress) l.write_module(address, value);
        return QUVEX_OK;
    });
}

// The raw accesses judge no axis of their own; one above 3 would address another port and is
// refused like every other axis.
QUVEX_API quvex_status QUVEX_CALL kring_m4_read_asic_reg(uint16_t ring, uint16_t slave, uint16_t axis, uint16_t code,
                                                         uint32_t* value) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        std::uint32_t read = value != nullptr ? *value : 0;
        l.read_axis(a, code, &read);
        put(value, read);
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_write_asic_reg(uint16_t ring, uint16_t slave, uint16_t axis, uint16_t code,
                                                          uint32_t value) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        l.write_axis(a, code, value);
        return QUVEX_OK;
    });
}

}  // extern "C"

}  // namespace quvex::modules::m4
