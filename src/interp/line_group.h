// The axes of one line: validation of the caller's index array and the AxisNo of each member.
#pragma once

#include <array>
#include <cstdint>

namespace quvex::interp {

constexpr int kMaxLineAxes = 4;
// Arcs and continuous arcs move a pair of axes.
constexpr int kPairSize = 2;

struct LineGroup {
    int count = 0;
    std::array<std::int16_t, kMaxLineAxes> index{};    // axis within the card, 0 = X .. 3 = U
    std::array<std::int16_t, kMaxLineAxes> axis_no{};  // card x 4 + index

    // The lowest axis of the group: it takes the start command and decides the mode bits.
    std::int16_t lead() const { return axis_no[0]; }
    bool is_four_axis() const { return count == kMaxLineAxes; }
    // Axis-select bits of the multi-axis start command word.
    std::uint16_t select_bits() const;
};

// True when axis_array is not null and holds `count` indexes in 0..3, strictly increasing.
bool valid_line_axes(const std::int16_t* axis_array, int count);

// The group of a present card; axis_array must have passed valid_line_axes.
LineGroup make_line_group(int card, const std::int16_t* axis_array, int count);

}  // namespace quvex::interp
