#include "axis/move_ratio.h"

#include "common/numeric.h"

namespace quvex::axis {
namespace {

bool in_ratio_table(int axis_no) { return axis_no >= 0 && axis_no < kMaxAxes; }

}  // namespace

double move_ratio(int axis_no) {
    return in_ratio_table(axis_no) ? move_ratios().ratio[static_cast<std::size_t>(axis_no)] : 1.0;
}

bool valid_move_ratio(double ratio) {
    // An infinite ratio would turn every position into infinity or 0: refused like 0.
    return (ratio < 0.0 || ratio > 0.0) && is_finite(ratio);
}

bool set_move_ratio(int axis_no, double ratio) {
    if (!valid_move_ratio(ratio) || !in_ratio_table(axis_no)) return false;
    move_ratios().ratio[static_cast<std::size_t>(axis_no)] = ratio;
    return true;
}

}  // namespace quvex::axis
