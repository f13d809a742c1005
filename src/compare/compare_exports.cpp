// Exports of the comparators, trigger, latches, general counter and soft limits. Thin shells:
// the checks in the export's order, then the compare subsystem.
#include "card/export_checks.h"
#include "compare/auto_compare.h"
#include "compare/compare_area.h"
#include "compare/comparators.h"
#include "compare/latch_counter.h"
#include "quvex/quvex.h"

using namespace quvex;
using namespace quvex::compare;

namespace {

constexpr unsigned kNoAction = 0;

// The remainder of a negative AxisNo that is not a multiple of 4 is negative: such an axis
// cannot name a trigger output.
bool trigger_axis_valid(int axis) { return axis % kAxesPerCard >= 0; }

unsigned bits16(int16_t v) { return static_cast<std::uint16_t>(v); }

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_set_soft_limit(int16_t axis, int32_t limit1, int32_t limit2) {
    QUVEX_TRY(check_axis(axis));
    // A limit the comparator cannot take is simply not written; the export still succeeds.
    set_comparator_data(axis, kSoftLimitPlus, limit1);
    set_comparator_data(axis, kSoftLimitMinus, limit2);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_enable_soft_limit(int16_t axis, int16_t action) {
    QUVEX_TRY(check_axis(axis));
    configure_comparator(axis, kSoftLimitPlus, 0, kSoftLimitCondition, bits16(action));
    configure_comparator(axis, kSoftLimitMinus, 0, kSoftLimitCondition, bits16(action));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_disable_soft_limit(int16_t axis) {
    QUVEX_TRY(check_axis(axis));
    configure_comparator(axis, kSoftLimitPlus, 0, 0, kNoAction);
    configure_comparator(axis, kSoftLimitMinus, 0, 0, kNoAction);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_error_counter_check(int16_t axis, int16_t tolerance, int16_t on_off) {
    QUVEX_TRY(check_axis(axis));
    const unsigned condition = (on_off & 1) != 0 ? kErrorCheckCondition : 0;
    configure_comparator(axis, kErrorCheck, kErrorCounterSource, condition, kNoAction);
    set_comparator_data(axis, kErrorCheck, tolerance);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_general_comparator(int16_t axis, int16_t source, int16_t condition,
                                                              int16_t action, double data) {
    QUVEX_TRY(check_axis(axis));
    set_comparator_data(axis, kGeneralComparator, data);  // its status is not the export's
    return configure_comparator(axis, kGeneralComparator, bits16(source), bits16(condition), bits16(action));
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_trigger_comparator(int16_t axis, int16_t source, int16_t condition,
                                                              double data) {
    QUVEX_TRY(check(trigger_axis_valid(axis), QUVEX_ERR_COMPARE_ARGUMENT));
    QUVEX_TRY(check_axis(axis));
    set_comparator_data(axis, kTriggerComparator, data);
    return configure_comparator(axis, kTriggerComparator, bits16(source), bits16(condition), kNoAction);
}

QUVEX_API quvex_status QUVEX_CALL quvex_check_compare_data(int16_t axis, int16_t comparator, double* value) {
    QUVEX_TRY(check(comparator_exists(comparator), QUVEX_ERR_COMPARE_ARGUMENT));
    QUVEX_TRY(check_axis(axis));
    read_comparator_data(axis, comparator, value);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_check_compare_status(int16_t axis, uint16_t* status) {
    QUVEX_TRY(check_axis(axis));
    put(status, compare_status(axis));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_trigger_type(int16_t axis, int16_t type) {
    QUVEX_TRY(check_axis(axis));
    set_trigger_type(axis, type);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_latch_data(int16_t axis, int16_t latch, double* value) {
    QUVEX_TRY(check(latch_exists(latch), QUVEX_ERR_LATCH_NUMBER));
    QUVEX_TRY(check_axis(axis));
    put(value, latch_value(axis, latch));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_general_counter(int16_t axis, double* value) {
    QUVEX_TRY(check_axis(axis));
    put(value, general_counter(axis));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_general_counter(int16_t axis, int16_t source, double value) {
    QUVEX_TRY(check_axis(axis));
    return set_general_counter(axis, bits16(source), value);
}

QUVEX_API quvex_status QUVEX_CALL quvex_build_compare_table(int16_t axis, const double* table, int32_t count) {
    QUVEX_TRY(check_axis(axis));
    return build_table(axis, table, count);
}

QUVEX_API quvex_status QUVEX_CALL quvex_build_compare_function(int16_t axis, double start, double end,
                                                              double interval) {
    QUVEX_TRY(check_axis(axis));
    return build_series(axis, start, end, interval);
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_auto_compare(int16_t axis, int16_t mode) {
    QUVEX_TRY(check(auto_mode_exists(mode), QUVEX_ERR_AUTO_COMPARE_MODE));
    QUVEX_TRY(check_axis(axis));
    return set_auto_compare(axis, mode);
}

}  // extern "C"
