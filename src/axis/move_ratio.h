// The move ratio table: one double per AxisNo of the twelve possible cards, converting user
// units to pulses (pulses = user value x ratio). 1.0 for every axis from load until changed.
#pragma once

#include <array>

#include "card/card_table.h"

namespace quvex::axis {

// The table, a piece of the library context (frame/library_context.h). It sits beside the card
// table rather than in it because quvex_initial leaves ratios alone.
struct MoveRatios {
    std::array<double, kMaxAxes> ratio = unit_ratios();

    // Every ratio back to 1.0, as at load.
    void reset() { ratio = unit_ratios(); }

private:
    static constexpr std::array<double, kMaxAxes> unit_ratios() {
        std::array<double, kMaxAxes> table{};
        for (double& r : table) r = 1.0;
        return table;
    }
};

// The move ratio table of the library context.
MoveRatios& move_ratios();

// The axis's ratio; 1.0 for an AxisNo outside the table.
double move_ratio(int axis_no);

// False for a ratio of 0 (the test "neither below nor above 0" also refuses NaN) or an
// infinite one.
bool valid_move_ratio(double ratio);

// Stores a ratio. Returns false (and stores nothing) for 0, NaN, an infinite ratio or an
// AxisNo outside the table.
bool set_move_ratio(int axis_no, double ratio);

}  // namespace quvex::axis
