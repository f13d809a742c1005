// Exports of the speed profile utilities and the single-axis moves: the argument checks in
// their order, then one call into the motion subsystem.
#include <cmath>
#include <initializer_list>

#include "frame/card_table.h"
#include "motion/single_axis.h"
#include "motion/speed_checks.h"
#include "motion/speed_profile.h"
#include "quvex/quvex.h"

using namespace quvex;
using namespace quvex::motion;

namespace {

bool all_finite(std::initializer_list<double> values) {
    for (const double v : values) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}

template <typename T>
void put(T* out, T value) {
    if (out != nullptr) *out = value;
}

// The checks shared by every positioning and velocity start: a zero (or unusable) maximum
// speed first, then the axis, then the other speeds and times, then the distance.
quvex_status check_start(int16_t axis, double max_vel, std::initializer_list<double> speeds_and_times,
                         double distance) {
    if (max_vel == 0.0 || !std::isfinite(max_vel)) return QUVEX_ERR_ZERO_MAX_SPEED;
    if (!axis_usable(axis)) return QUVEX_ERR_CARD_NUMBER;
    if (!all_finite(speeds_and_times)) return QUVEX_ERR_ZERO_MAX_SPEED;
    if (!std::isfinite(distance)) return QUVEX_ERR_PULSE_RANGE;
    return QUVEX_OK;
}

quvex_status positioning(int16_t axis, Curve curve, Reference reference, const PositioningMove& move) {
    const quvex_status st = check_start(
        axis, move.max_vel, {move.str_vel, move.tacc, move.tdec, move.sv_acc, move.sv_dec}, move.distance_or_target);
    if (st != QUVEX_OK) return st;
    start_positioning(axis, curve, reference, move);
    return QUVEX_OK;
}

quvex_status velocity(int16_t axis, Curve curve, double str_vel, double max_vel, double tacc, double sv_acc) {
    const quvex_status st = check_start(axis, max_vel, {str_vel, tacc, sv_acc}, 0.0);
    if (st != QUVEX_OK) return st;
    start_velocity(axis, curve, str_vel, max_vel, tacc, sv_acc);
    return QUVEX_OK;
}

// A stop is refused for an idle axis before anything is written.
quvex_status check_stop(int16_t axis) {
    if (!axis_usable(axis)) return QUVEX_ERR_CARD_NUMBER;
    if (quvex_motion_done(axis) == 0) return QUVEX_ERR_AXIS_NOT_MOVING;
    return QUVEX_OK;
}

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_fix_speed_range(int16_t axis, double max_vel) {
    if (!(max_vel > 0.0) || !std::isfinite(max_vel)) return QUVEX_ERR_ZERO_MAX_SPEED;
    if (!axis_usable(axis)) return QUVEX_ERR_CARD_NUMBER;
    compute_speed_registers(axis, 0.0, max_vel, kBuffered);
    axis_record(axis).speed_range_fixed = 1;
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_unfix_speed_range(int16_t axis) {
    if (!axis_usable(axis)) return QUVEX_ERR_CARD_NUMBER;
    axis_record(axis).speed_range_fixed = 0;
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_verify_speed(double str_vel, double max_vel, double* min_acc_time,
                                                    double* max_acc_time, double ref_vel) {
    if (!all_finite({str_vel, max_vel, ref_vel})) return QUVEX_ERR_ZERO_MAX_SPEED;
    const AccelTimeBounds bounds = verify_speed(str_vel, max_vel, ref_vel);
    put(min_acc_time, bounds.min_time);
    put(max_acc_time, bounds.max_time);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_check_s_vel(double dist, double str_vel, double max_vel, double Tacc,
                                                   double Tdec, double SVacc, double SVdec, double* out_max_vel,
                                                   double* out_svacc, double* out_svdec) {
    if (!(max_vel > 0.0) || !all_finite({dist, str_vel, max_vel, Tacc, Tdec, SVacc, SVdec})) {
        return QUVEX_ERR_ZERO_MAX_SPEED;
    }
    const SReach reach = check_s_vel(dist, str_vel, max_vel, Tacc, Tdec, SVacc, SVdec);
    put(out_max_vel, reach.max_vel);
    put(out_svacc, reach.sv_acc);
    put(out_svdec, reach.sv_dec);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_move(int16_t axis, double dist, double str_vel, double max_vel,
                                                     double Tacc, double Tdec) {
    return positioning(axis, Curve::t_curve, Reference::relative, {dist, str_vel, max_vel, Tacc, Tdec, 0, 0});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_move(int16_t axis, double pos, double str_vel, double max_vel,
                                                     double Tacc, double Tdec) {
    return positioning(axis, Curve::t_curve, Reference::absolute, {pos, str_vel, max_vel, Tacc, Tdec, 0, 0});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_move(int16_t axis, double dist, double str_vel, double max_vel,
                                                     double Tacc, double Tdec, double SVacc, double SVdec) {
    return positioning(axis, Curve::s_curve, Reference::relative, {dist, str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_move(int16_t axis, double pos, double str_vel, double max_vel,
                                                     double Tacc, double Tdec, double SVacc, double SVdec) {
    return positioning(axis, Curve::s_curve, Reference::absolute, {pos, str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_tv_move(int16_t axis, double str_vel, double max_vel, double Tacc) {
    return velocity(axis, Curve::t_curve, str_vel, max_vel, Tacc, 0);
}

QUVEX_API quvex_status QUVEX_CALL quvex_sv_move(int16_t axis, double str_vel, double max_vel, double Tacc,
                                               double SVacc) {
    return velocity(axis, Curve::s_curve, str_vel, max_vel, Tacc, SVacc);
}

QUVEX_API quvex_status QUVEX_CALL quvex_sd_stop(int16_t axis, double Tdec) {
    const quvex_status st = check_stop(axis);
    if (st != QUVEX_OK) return st;
    if (!std::isfinite(Tdec)) return QUVEX_ERR_ZERO_MAX_SPEED;
    decelerating_stop(axis, Tdec);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_emg_stop(int16_t axis) {
    const quvex_status st = check_stop(axis);
    if (st != QUVEX_OK) return st;
    immediate_stop(axis);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_idle_pulse(int16_t axis, int16_t count) {
    if (!axis_usable(axis)) return QUVEX_ERR_CARD_NUMBER;
    set_idle_pulse(axis, count);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_suppress_vibration(int16_t axis, uint16_t time1, uint16_t time2) {
    if (!axis_usable(axis)) return QUVEX_ERR_CARD_NUMBER;
    suppress_vibration(axis, time1, time2);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_backlash_comp(int16_t axis, int16_t count) {
    if (!axis_usable(axis)) return QUVEX_ERR_CARD_NUMBER;
    backlash_comp(axis, count);
    return QUVEX_OK;
}

}  // extern "C"
