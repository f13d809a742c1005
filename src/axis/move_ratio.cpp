#include "axis/move_ratio.h"

#include <array>

#include "common/numeric.h"
#include "frame/card_table.h"

namespace quvex::axis {
namespace {

std::array<double, kMaxAxes> make_unit_table() {
    std::array<double, kMaxAxes> table{};
    table.fill(1.0);
    return table;
}

// Process-wide, alive as long as the library: the card table does not own it because
// quvex_initial leaves ratios alone.
std::array<double, kMaxAxes>& ratio_table() {
    static std::array<double, kMaxAxes> table = make_unit_table();
    return table;
}

bool in_table(int axis_no) { return axis_no >= 0 && axis_no < kMaxAxes; }

}  // namespace

double move_ratio(int axis_no) {
    return in_table(axis_no) ? ratio_table()[static_cast<std::size_t>(axis_no)] : 1.0;
}

bool valid_move_ratio(double ratio) {
    // An infinite ratio would turn every position into infinity or 0: refused like 0.
    return (ratio < 0.0 || ratio > 0.0) && is_finite(ratio);
}

bool set_move_ratio(int axis_no, double ratio) {
    if (!valid_move_ratio(ratio) || !in_table(axis_no)) return false;
    ratio_table()[static_cast<std::size_t>(axis_no)] = ratio;
    return true;
}

void reset_move_ratios() { ratio_table() = make_unit_table(); }

}  // namespace quvex::axis
