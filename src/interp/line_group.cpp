#include "interp/line_group.h"

#include "chip/registers.h"
#include "card/card_table.h"

namespace quvex::interp {

std::uint16_t LineGroup::select_bits() const {
    std::uint16_t bits = 0;
    for (int i = 0; i < count; ++i) bits = static_cast<std::uint16_t>(bits | chip::cmd::select_axis(index[i]));
    return bits;
}

bool valid_line_axes(const std::int16_t* axis_array, int count) {
    if (axis_array == nullptr || count < 2 || count > kMaxLineAxes) return false;
    int previous = -1;
    for (int i = 0; i < count; ++i) {
        const int index = axis_array[i];
        if (index <= previous || index >= kAxesPerCard) return false;
        previous = index;
    }
    return true;
}

LineGroup make_line_group(int card, const std::int16_t* axis_array, int count) {
    LineGroup group;
    group.count = count;
    for (int i = 0; i < count; ++i) {
        group.index[i] = axis_array[i];
        group.axis_no[i] = static_cast<std::int16_t>(card * kAxesPerCard + axis_array[i]);
    }
    return group;
}

}  // namespace quvex::interp
