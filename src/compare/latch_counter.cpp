#include "compare/latch_counter.h"

#include <cstdint>

#include "axis/counters.h"
#include "axis/move_ratio.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "chip/registers.h"
#include "common/bits.h"
#include "common/numeric.h"
#include "compare/comparators.h"
#include "card/card_table.h"

namespace quvex::compare {
namespace {

// The latch that captures the position counter, and the general-counter source that counts
// feedback pulses: both are read in user units.
constexpr int kPositionLatch = 2;
constexpr unsigned kScaledCounterSource = 1;

double read_signed(int axis_no, std::uint16_t read_code) {
    return static_cast<std::int32_t>(chip::read_register32(axis_no, read_code));
}

unsigned counter_source(int axis_no) {
    return field_value(axis_record(axis_no).mirror[chip::kEnv3], chip::env3::kGeneralCounterSource);
}

}  // namespace

double latch_value(int axis_no, int latch) {
    const double value = read_signed(axis_no, static_cast<std::uint16_t>(chip::reg::kReadLatch0 + latch));
    return latch == kPositionLatch ? value / axis::move_ratio(axis_no) : value;
}

double general_counter(int axis_no) {
    const double value = read_signed(axis_no, chip::reg::kReadGeneralCounter);
    return counter_source(axis_no) == kScaledCounterSource ? value / axis::move_ratio(axis_no) : value;
}

quvex_status set_general_counter(int axis_no, unsigned source, double value) {
    const Field f = chip::env3::kGeneralCounterSource;
    chip::update_mirrored(axis_no, chip::kEnv3, f.mask, with_field(0, f, source));
    if (counter_source(axis_no) == kScaledCounterSource) {
        value *= axis::move_ratio(axis_no);
        if (!axis::pulses_in_range(value)) return QUVEX_ERR_PULSE_RANGE;
    } else if (!fits_register(value)) {
        return QUVEX_ERR_PULSE_RANGE;  // beyond what the 32-bit counter holds, or not a number
    }
    chip::write_register32(axis_no, chip::reg::kGeneralCounter,
                           static_cast<std::uint32_t>(truncate_to<std::int32_t>(value)));
    return QUVEX_OK;
}

}  // namespace quvex::compare
