// One-axis module exports: signal set-up and the move ratio.
#include "modules/module_checks.h"
#include "modules/one_axis_codes.h"
#include "modules/one_axis_link.h"
#include "modules/one_axis_signals.h"
#include "quvex/quvex.h"

// Defined inside the module's namespace (C linkage keeps the exported names), so its vocabulary
// needs no using-directive that would meet the four-axis module's in a unity build.
namespace quvex::modules::m1 {

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_m1_initial(uint16_t ring, uint16_t slave) {
    return with_module<OnRing>(ring, slave, [](OneAxisLink& l) { return initialize(l); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_pls_outmode(uint16_t ring, uint16_t slave, uint32_t mode) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_pulse_output(l, mode); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_pls_iptmode(uint16_t ring, uint16_t slave, int32_t mode, int32_t dir) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_pulse_input(l, mode, dir); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_feedback_src(uint16_t ring, uint16_t slave, uint16_t src) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_feedback_source(l, src); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_alm(uint16_t ring, uint16_t slave, int32_t logic, int32_t mode) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_alarm(l, logic, mode); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_inp(uint16_t ring, uint16_t slave, int32_t enable, int32_t logic) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_in_position(l, enable, logic); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_sd(uint16_t ring, uint16_t slave, int16_t enable, int16_t logic,
                                                  int16_t latch, int16_t mode) {
    return with_module<OnRing>(ring, slave,
                               [&](OneAxisLink& l) { return set_slow_down(l, enable, logic, latch, mode); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_erc(uint16_t ring, uint16_t slave, int32_t logic, int32_t width,
                                                   int32_t mode) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_erc(l, logic, width, mode); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_erc_on(uint16_t ring, uint16_t slave, int16_t on) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_erc_output(l, on); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_pcs(uint16_t ring, uint16_t slave, uint16_t logic) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_pcs(l, logic); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_clr(uint16_t ring, uint16_t slave, uint32_t mode) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_clear(l, mode); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_clr_mask(uint16_t ring, uint16_t slave, int32_t mask) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_clear_mask(l, mask); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_ltc_logic(uint16_t ring, uint16_t slave, uint32_t logic) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_latch_logic(l, logic); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_home_config(uint16_t ring, uint16_t slave, int32_t home_mode,
                                                           int32_t org_logic, int32_t ez_logic, int32_t ez_count,
                                                           int32_t erc_out) {
    return with_module<OnRing>(ring, slave,
                       [&](OneAxisLink& l) { return set_home_config(l, {home_mode, org_logic, ez_logic, ez_count, erc_out}); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_int_factor(uint16_t ring, uint16_t slave, int32_t factor) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return add_int_factors(l, factor); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_move_ratio(uint16_t ring, uint16_t slave, double ratio) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        QUVEX_TRY(check(ratio != 0.0 && std::isfinite(ratio), KRING_ERR_SPEED_ORDER));
        l.block().move_ratio = ratio;
        return QUVEX_OK;
    });
}

}  // extern "C"

}  // namespace quvex::modules::m1
