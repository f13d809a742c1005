#include "compare/comparators.h"

#include "axis/counters.h"
#include "axis/move_ratio.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "chip/registers.h"
#include "common/bits.h"
#include "common/numeric.h"
#include "card/card_table.h"

namespace quvex::compare {
namespace {

// Where comparator n keeps its configuration.
struct Layout {
    chip::MirrorSlot slot;
    Field source;
    Field condition;
    Field action;
    Field spare;  // cleared whenever the comparator is configured (width 0: none)
};

constexpr Field kNoSpare{0, 0};

constexpr Layout kLayouts[5] = {
    {chip::kEnv4, chip::env4::kSource1, chip::env4::kCondition1, chip::env4::kAction1, chip::env4::kSpare1},
    {chip::kEnv4, chip::env4::kSource2, chip::env4::kCondition2, chip::env4::kAction2, chip::env4::kSpare2},
    {chip::kEnv4, chip::env4::kSource3, chip::env4::kCondition3, chip::env4::kAction3, chip::env4::kSpare3},
    {chip::kEnv4, chip::env4::kSource4, chip::env4::kCondition4, chip::env4::kAction4, kNoSpare},
    {chip::kEnv5, chip::env5::kSource5, chip::env5::kCondition5, chip::env5::kAction5, kNoSpare},
};

const Layout& layout(int n) { return kLayouts[n - 1]; }

// Conditions 8, 9 and 10 of the general comparator compare the general counter.
bool general_counter_condition(unsigned condition) { return condition >= 8 && condition <= 10; }

// A comparator whose source has bit 0 set holds user units.
bool scaled(int axis_no, int n) {
    const Layout& l = layout(n);
    return (field_value(axis_record(axis_no).mirror[l.slot], l.source) & 1u) != 0;
}

std::uint16_t data_write_code(int n) { return static_cast<std::uint16_t>(chip::reg::kComparator1 + n - 1); }
std::uint16_t data_read_code(int n) { return static_cast<std::uint16_t>(chip::reg::kReadComparator1 + n - 1); }

// Type 0 and 1 of the export select field values 3 and 2; anything else switches the output off.
std::uint32_t trigger_field(int type) {
    if (type == 0) return 3;
    if (type == 1) return 2;
    return 0;
}

}  // namespace

quvex_status configure_comparator(int axis_no, int n, unsigned source, unsigned condition, unsigned action) {
    if (!comparator_exists(n)) return QUVEX_ERR_COMPARATOR_NUMBER;
    if (condition == kSoftLimitCondition) {
        if (n == kErrorCheck || n == kGeneralComparator) return QUVEX_ERR_COMPARATOR_CONDITION;
        if (n == kSoftLimitPlus || n == kSoftLimitMinus) source = 0;
    }
    if (n == kGeneralComparator && general_counter_condition(condition)) source = kGeneralCounterSource;
    const Layout& l = layout(n);
    std::uint32_t bits = with_field(0, l.source, source);
    bits = with_field(bits, l.condition, condition);
    bits = with_field(bits, l.action, action);
    chip::update_mirrored(axis_no, l.slot, l.source.mask | l.condition.mask | l.action.mask | l.spare.mask, bits);
    return QUVEX_OK;
}

quvex_status set_comparator_data(int axis_no, int n, double value) {
    if (!comparator_exists(n)) return QUVEX_ERR_COMPARATOR_NUMBER;
    if (scaled(axis_no, n)) {
        value *= axis::move_ratio(axis_no);
        if (!axis::pulses_in_range(value)) return QUVEX_ERR_PULSE_RANGE;
    } else if (!fits_register(value)) {
        // Unscaled data passes as it is: only what a 32-bit register holds (NaN never does).
        return QUVEX_ERR_PULSE_RANGE;
    }
    chip::write_register32(axis_no, data_write_code(n), static_cast<std::uint32_t>(truncate_to<std::int32_t>(value)));
    return QUVEX_OK;
}

quvex_status read_comparator_data(int axis_no, int n, double* out) {
    if (!comparator_exists(n)) return QUVEX_ERR_COMPARATOR_NUMBER;
    double value = static_cast<std::int32_t>(chip::read_register32(axis_no, data_read_code(n)));
    if (scaled(axis_no, n)) value /= axis::move_ratio(axis_no);
    if (out != nullptr) *out = value;
    return QUVEX_OK;
}

std::uint16_t compare_status(int axis_no) {
    std::uint16_t status = 0;
    chip::read_axis_status(axis_no, &status);
    return static_cast<std::uint16_t>(field_value(status, chip::main_status::kComparators));
}

void set_trigger_type(int axis_no, int type) {
    chip::update_mirrored(axis_no, chip::kEnv2, chip::env2::kTriggerType.mask,
                          with_field(0, chip::env2::kTriggerType, trigger_field(type)));
}

}  // namespace quvex::compare
