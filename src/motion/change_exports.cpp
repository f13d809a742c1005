// Exports of the on-the-fly speed and end-point changes: the checks in their order, then one call.
#include "card/export_checks.h"
#include "motion/end_point_change.h"
#include "motion/speed_change.h"
#include "quvex/quvex.h"

using namespace quvex;
using namespace quvex::motion;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_v_change(int16_t axis, double new_vel, double T) {
    QUVEX_TRY(check_axis(axis));
    QUVEX_TRY(check_finite(QUVEX_ERR_ZERO_MAX_SPEED, {new_vel, T}));
    return change_speed(axis, new_vel, T);
}

QUVEX_API quvex_status QUVEX_CALL quvex_cmp_v_change(int16_t axis, double dist, double cur_vel, double new_vel,
                                                    double T) {
    QUVEX_TRY(check_axis(axis));
    QUVEX_TRY(check_finite(QUVEX_ERR_ZERO_MAX_SPEED, {new_vel, cur_vel, T}));
    QUVEX_TRY(check_finite(QUVEX_ERR_PULSE_RANGE, {dist}));
    return prepare_speed_change(axis, dist, cur_vel, new_vel, T);
}

QUVEX_API quvex_status QUVEX_CALL quvex_p_change(int16_t axis, double new_pos) {
    QUVEX_TRY(check_axis(axis));
    QUVEX_TRY(check_finite(QUVEX_ERR_PULSE_RANGE, {new_pos}));
    return change_end_point(axis, new_pos);
}

}  // extern "C"
