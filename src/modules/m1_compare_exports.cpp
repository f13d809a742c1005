// One-axis module exports: comparators, trigger, soft limits and latches.
#include "modules/module_checks.h"
#include "modules/one_axis_codes.h"
#include "modules/one_axis_link.h"
#include "modules/one_axis_compare.h"
#include "quvex/quvex.h"

// Defined inside the module's namespace (C linkage keeps the exported names), so its vocabulary
// needs no using-directive that would meet the four-axis module's in a unity build.
namespace quvex::modules::m1 {

namespace {

constexpr std::int16_t kPlusLimit = 1;
constexpr std::int16_t kMinusLimit = 2;
constexpr std::int16_t kTriggerComparator = 3;
constexpr std::int16_t kSourceCommand = 0;
constexpr std::int16_t kMethodOff = 0;
constexpr std::int16_t kMethodLimit = 6;

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_comparator_mode(uint16_t ring, uint16_t slave, int16_t comparator,
                                                               int16_t source, int16_t method, int16_t action) {
    return with_module<OnRing>(ring, slave,
                               [&](OneAxisLink& l) { return set_comparator_mode(l, comparator, source, method, action); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_comparator_data(uint16_t ring, uint16_t slave, int16_t comparator,
                                                               double data) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_comparator_data(l, comparator, data); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_get_comparator_data(uint16_t ring, uint16_t slave, int16_t comparator,
                                                               double* data) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return get_comparator_data(l, comparator, data); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_trigger_comparator(uint16_t ring, uint16_t slave, uint16_t source,
                                                                  uint16_t method) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return set_trigger_comparator(l, source, method); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_trigger_comparator_data(uint16_t ring, uint16_t slave, double data) {
    return with_module<OnRing>(ring, slave,
                               [&](OneAxisLink& l) { return set_comparator_data(l, kTriggerComparator, data); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_auto_trigger(uint16_t ring, uint16_t slave, uint16_t edge,
                                                            uint16_t source, uint16_t data, uint16_t flag) {
    return with_module<OnRing>(ring, slave,
                               [&](OneAxisLink& l) { return set_auto_trigger(l, edge, source, data, flag); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_soft_limit(uint16_t ring, uint16_t slave, int32_t plus, int32_t minus) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        QUVEX_TRY(check_pulses(plus, KRING_ERR_SOFT_LIMIT));
        QUVEX_TRY(check_pulses(minus, KRING_ERR_SOFT_LIMIT));
        set_comparator_data(l, kPlusLimit, plus);
        set_comparator_data(l, kMinusLimit, minus);
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_enable_soft_limit(uint16_t ring, uint16_t slave, uint8_t action) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        const auto a = static_cast<std::int16_t>(action & 3);
        set_comparator_mode(l, kPlusLimit, kSourceCommand, kMethodLimit, a);
        set_comparator_mode(l, kMinusLimit, kSourceCommand, kMethodLimit, a);
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_disable_soft_limit(uint16_t ring, uint16_t slave) {
    return with_module<OnRing>(ring, slave, [](OneAxisLink& l) -> quvex_status {
        set_comparator_mode(l, kPlusLimit, kSourceCommand, kMethodOff, 0);
        set_comparator_mode(l, kMinusLimit, kSourceCommand, kMethodOff, 0);
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_get_latch_data(uint16_t ring, uint16_t slave, int16_t latch, double* data) {
    QUVEX_TRY(check(latch >= 1 && latch <= 3, KRING_ERR_LATCH_NUMBER));
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return get_latch_data(l, latch, data); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_start_soft_ltc(uint16_t /*ring*/, uint16_t /*slave*/, int32_t /*arg1*/,
                                                          int32_t /*arg2*/) {
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_steplose_check(uint16_t /*ring*/, uint16_t /*slave*/, int32_t /*arg1*/,
                                                          int32_t /*arg2*/, int32_t /*arg3*/, int32_t /*arg4*/,
                                                          int32_t /*arg5*/) {
    return QUVEX_OK;
}

}  // extern "C"

}  // namespace quvex::modules::m1
