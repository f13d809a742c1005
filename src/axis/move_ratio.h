// The move ratio table: one double per AxisNo of the twelve possible cards, converting user
// units to pulses (pulses = user value x ratio). 1.0 for every axis from load until changed.
#pragma once

namespace quvex::axis {

// The axis's ratio; 1.0 for an AxisNo outside the table.
double move_ratio(int axis_no);

// False for a ratio of 0 (the test "neither below nor above 0" also refuses NaN) or an
// infinite one.
bool valid_move_ratio(double ratio);

// Stores a ratio. Returns false (and stores nothing) for 0, NaN, an infinite ratio or an
// AxisNo outside the table.
bool set_move_ratio(int axis_no, double ratio);

// Every ratio back to 1.0, as at load. For tests: the table lives as long as the library.
void reset_move_ratios();

}  // namespace quvex::axis
