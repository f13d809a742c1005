// Straight lines over two, three or four axes of one four-axis module: each axis gets its share
// of the move and of the path speed in the chip's buffered registers, then one start command to
// the first axis, whose axis bits select every participating axis, starts them together.
#pragma once

#include <cstdint>
#include <span>

#include "modules/four_axis_link.h"
#include "modules/module_axis_block.h"
#include "motion/move_plan.h"
#include "quvex/quvex_base.h"

namespace quvex::modules::m4 {

struct LineRequest {
    motion::Curve curve = motion::Curve::kTrapezoid;
    motion::Reference reference = motion::Reference::kRelative;
    std::span<const std::int16_t> axes;  // in start order; checked by the caller
    std::span<const double> values;      // distances (relative) or targets (absolute), one per axis
    SpeedArgs path;                      // along the path, signed as given
};

// KRING_ERR_M4_AXES unless the axes form a valid set of `count` axes: ascending for two and three, pairwise
// distinct for four, each within 0..3. A null array is no set at all.
quvex_status check_line_axes(const std::int16_t* axes, int count);

// The start command for the ramp times with the axis bits of `axes`.
std::uint16_t line_start_code(double tacc, double tdec, std::span<const std::int16_t> axes);

// After the slave, ring and axis checks: KRING_ERR_M4_ZERO_MAX_SPEED for a zero (or non-finite) speed or
// value, then the
// loads and the start; a failed write is returned at once and leaves the axes before it loaded.
quvex_status start_line(FourAxisLink& link, const LineRequest& q);

}  // namespace quvex::modules::m4
