// Exports of the axis read side: counters, status and the move ratio. Thin shells: the
// input-policy check, then one call into the axis subsystem.
#include "axis/counters.h"
#include "axis/move_ratio.h"
#include "axis/status.h"
#include "common/export_checks.h"
#include "common/numeric.h"
#include "quvex/quvex.h"

using namespace quvex;

extern "C" {

QUVEX_API int16_t QUVEX_CALL quvex_motion_done(int16_t axis) {
    QUVEX_TRY(check_axis(axis));
    return static_cast<int16_t>(axis::operation_state(axis));
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_io_status(int16_t axis, uint16_t* io_status) {
    QUVEX_TRY(check_axis(axis));
    put(io_status, axis::io_status(axis));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_move_ratio(int16_t axis, double ratio) {
    // A zero or non-number ratio is refused before the axis: its code is the export's own.
    QUVEX_TRY(check(axis::valid_move_ratio(ratio), QUVEX_ERR_ZERO_MOVE_RATIO));
    QUVEX_TRY(check_axis(axis));
    axis::set_move_ratio(axis, ratio);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_position(int16_t axis, double* pos) {
    QUVEX_TRY(check_axis(axis));
    put(pos, axis::position(axis));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_position(int16_t axis, double pos) {
    QUVEX_TRY(check(axis::position_fits(axis, pos), QUVEX_ERR_PULSE_RANGE));
    QUVEX_TRY(check_axis(axis));
    axis::set_position(axis, pos);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_target_pos(int16_t axis, double* pos) {
    QUVEX_TRY(check_axis(axis));
    put(pos, axis::target_position(axis));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_reset_target_pos(int16_t axis, double pos) {
    QUVEX_TRY(check_axis(axis));
    // A target that is not a finite number would poison every later absolute move.
    QUVEX_TRY(check_finite(QUVEX_ERR_PULSE_RANGE, {pos}));
    axis::reset_target_position(axis, pos);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_command(int16_t axis, int32_t* cmd) {
    QUVEX_TRY(check_axis(axis));
    put(cmd, axis::command_counter(axis));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_command(int16_t axis, int32_t cmd) {
    QUVEX_TRY(check_axis(axis));
    axis::set_command_counter(axis, cmd);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_error_counter(int16_t axis, int16_t* error) {
    QUVEX_TRY(check_axis(axis));
    put(error, axis::error_counter_low(axis));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_reset_error_counter(int16_t axis) {
    QUVEX_TRY(check_axis(axis));
    axis::clear_error_counter(axis);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_current_speed(int16_t axis, double* speed) {
    QUVEX_TRY(check_axis(axis));
    put(speed, axis::current_speed(axis));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_rest_command(int16_t axis, int32_t* rest) {
    QUVEX_TRY(check_axis(axis));
    put(rest, axis::remaining_pulses(axis));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_check_rdp(int16_t axis, int32_t* rdp) {
    QUVEX_TRY(check_axis(axis));
    put(rdp, axis::ramp_down_point(axis));
    return QUVEX_OK;
}

}  // extern "C"
