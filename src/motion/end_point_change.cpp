#include "motion/end_point_change.h"

#include "axis/counters.h"
#include "ports/local_chip_sink.h"
#include "ports/primitives.h"
#include "common/numeric.h"
#include "card/card_table.h"
#include "motion/speed_profile.h"
#include "quvex/quvex_base.h"

namespace quvex::motion {

bool end_point_reachable(double ramp_down_point, double position, double new_end) {
    if (new_end >= position) return ramp_down_point < new_end - position;
    return 2.0 * ramp_down_point < position - new_end;
}

std::int16_t change_end_point(std::int16_t axis, double new_end) {
    const std::uint32_t rdp =
        chip::read_register32(axis, static_cast<std::uint16_t>(chip::reg::kOperationRead + chip::kRampDownPoint));
    const double position = quvex::axis::position(axis);
    if (!end_point_reachable(static_cast<double>(rdp), position, new_end)) return QUVEX_ERR_END_POINT_TOO_LATE;
    AxisRecord& rec = axis_record(axis);
    rec.target_pos = new_end;  // prev_target_pos stays: it is where the running move started
    chip::LocalChipSink sink(axis, kLive);
    sink.write(chip::kMoveAmount,
               static_cast<std::uint32_t>(truncate_to<std::int32_t>(new_end - rec.prev_target_pos)));
    return QUVEX_OK;
}

}  // namespace quvex::motion
