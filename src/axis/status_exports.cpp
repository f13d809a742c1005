// Exports of the axis read side: counters, status and the move ratio. Most are rows: the axis
// check, then one read into the out-pointer or one call; the rest check a value first.
#include "axis/counters.h"
#include "axis/move_ratio.h"
#include "axis/status.h"
#include "card/export_shells.h"
#include "common/numeric.h"
#include "quvex/quvex.h"

using namespace quvex;

extern "C" {

QUVEX_API int16_t QUVEX_CALL quvex_motion_done(int16_t axis) {
    QUVEX_TRY(check_axis(axis));
    return static_cast<int16_t>(axis::operation_state(axis));
}

QUVEX_CHECKED_READ(quvex_get_io_status, check_axis, axis::io_status, uint16_t)

QUVEX_API quvex_status QUVEX_CALL quvex_set_move_ratio(int16_t axis, double ratio) {
    // A zero or non-number ratio is refused before the axis: its code is the export's own.
    QUVEX_TRY(check(axis::valid_move_ratio(ratio), QUVEX_ERR_ZERO_MOVE_RATIO));
    return shell::checked_call<check_axis, axis::set_move_ratio>(axis, ratio);
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_position(int16_t axis, double pos) {
    QUVEX_TRY(check(axis::position_fits(axis, pos), QUVEX_ERR_PULSE_RANGE));
    return shell::checked_call<check_axis, axis::set_position>(axis, pos);
}

QUVEX_API quvex_status QUVEX_CALL quvex_reset_target_pos(int16_t axis, double pos) {
    QUVEX_TRY(check_axis(axis));
    // A target that is not a finite number would poison every later absolute move.
    QUVEX_TRY(check_finite(QUVEX_ERR_PULSE_RANGE, {pos}));
    axis::reset_target_position(axis, pos);
    return QUVEX_OK;
}

// Positions, counters and speeds.
QUVEX_CHECKED_READ(quvex_get_position, check_axis, axis::position, double)
QUVEX_CHECKED_READ(quvex_get_target_pos, check_axis, axis::target_position, double)
QUVEX_CHECKED_READ(quvex_get_command, check_axis, axis::command_counter, int32_t)
QUVEX_CHECKED_CALL(quvex_set_command, check_axis, axis::set_command_counter, int32_t)
QUVEX_CHECKED_READ(quvex_get_error_counter, check_axis, axis::error_counter_low, int16_t)
QUVEX_CHECKED_CALL(quvex_reset_error_counter, check_axis, axis::clear_error_counter)
QUVEX_CHECKED_READ(quvex_get_current_speed, check_axis, axis::current_speed, double)
QUVEX_CHECKED_READ(quvex_get_rest_command, check_axis, axis::remaining_pulses, int32_t)
QUVEX_CHECKED_READ(quvex_check_rdp, check_axis, axis::ramp_down_point, int32_t)

}  // extern "C"
