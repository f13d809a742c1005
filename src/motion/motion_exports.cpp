// Exports of the speed profile utilities and the single-axis moves: the argument checks in
// their order, then one call into the motion subsystem.
#include "card/export_shells.h"
#include "card/card_table.h"
#include "motion/single_axis.h"
#include "motion/speed_checks.h"
#include "motion/speed_profile.h"
#include "quvex/quvex.h"

using namespace quvex;
using namespace quvex::motion;

namespace {

// The checks shared by every positioning and velocity start: a zero (or unusable) maximum
// speed first, then the axis, then the other speeds and times, then the distance.
quvex_status check_start(int16_t axis, double max_vel, std::initializer_list<double> speeds_and_times,
                         double distance) {
    QUVEX_TRY(check_nonzero_speed(max_vel));
    QUVEX_TRY(check_axis(axis));
    QUVEX_TRY(check_finite(QUVEX_ERR_ZERO_MAX_SPEED, speeds_and_times));
    return check_finite(QUVEX_ERR_PULSE_RANGE, {distance});
}

quvex_status positioning(int16_t axis, Curve curve, Reference reference, const PositioningMove& move) {
    QUVEX_TRY(check_start(axis, move.max_vel, {move.str_vel, move.tacc, move.tdec, move.sv_acc, move.sv_dec},
                          move.distance_or_target));
    start_positioning(axis, curve, reference, move);
    return QUVEX_OK;
}

quvex_status velocity(int16_t axis, Curve curve, double str_vel, double max_vel, double tacc, double sv_acc) {
    QUVEX_TRY(check_start(axis, max_vel, {str_vel, tacc, sv_acc}, 0.0));
    start_velocity(axis, curve, str_vel, max_vel, tacc, sv_acc);
    return QUVEX_OK;
}

// A stop is refused for an idle axis before anything is written.
quvex_status check_stop(int16_t axis) {
    QUVEX_TRY(check_axis(axis));
    return check(in_motion(axis), QUVEX_ERR_AXIS_NOT_MOVING);
}

// A maximum speed that is not above 0 (or not a number) for the utilities that choose a range.
quvex_status check_positive_speed(double max_vel) {
    return check(max_vel > 0.0 && std::isfinite(max_vel), QUVEX_ERR_ZERO_MAX_SPEED);
}

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_fix_speed_range(int16_t axis, double max_vel) {
    QUVEX_TRY(check_positive_speed(max_vel));
    return shell::checked_call<check_axis, fix_speed_range>(axis, max_vel);
}

QUVEX_CHECKED_CALL(quvex_unfix_speed_range, check_axis, unfix_speed_range)

QUVEX_API quvex_status QUVEX_CALL quvex_verify_speed(double str_vel, double max_vel, double* min_acc_time,
                                                    double* max_acc_time, double ref_vel) {
    QUVEX_TRY(check_finite(QUVEX_ERR_ZERO_MAX_SPEED, {str_vel, max_vel, ref_vel}));
    const AccelTimeBounds bounds = verify_speed(str_vel, max_vel, ref_vel);
    put(min_acc_time, bounds.min_time);
    put(max_acc_time, bounds.max_time);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_check_s_vel(double dist, double str_vel, double max_vel, double Tacc,
                                                   double Tdec, double SVacc, double SVdec, double* out_max_vel,
                                                   double* out_svacc, double* out_svdec) {
    QUVEX_TRY(check_positive_speed(max_vel));
    QUVEX_TRY(check_finite(QUVEX_ERR_ZERO_MAX_SPEED, {dist, str_vel, Tacc, Tdec, SVacc, SVdec}));
    const SReach reach = check_s_vel(dist, str_vel, max_vel, Tacc, Tdec, SVacc, SVdec);
    put(out_max_vel, reach.max_vel);
    put(out_svacc, reach.sv_acc);
    put(out_svdec, reach.sv_dec);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_move(int16_t axis, double dist, double str_vel, double max_vel,
                                                     double Tacc, double Tdec) {
    return positioning(axis, Curve::kTrapezoid, Reference::kRelative, {dist, str_vel, max_vel, Tacc, Tdec, 0, 0});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_move(int16_t axis, double pos, double str_vel, double max_vel,
                                                     double Tacc, double Tdec) {
    return positioning(axis, Curve::kTrapezoid, Reference::kAbsolute, {pos, str_vel, max_vel, Tacc, Tdec, 0, 0});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_move(int16_t axis, double dist, double str_vel, double max_vel,
                                                     double Tacc, double Tdec, double SVacc, double SVdec) {
    return positioning(axis, Curve::kSCurve, Reference::kRelative, {dist, str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_move(int16_t axis, double pos, double str_vel, double max_vel,
                                                     double Tacc, double Tdec, double SVacc, double SVdec) {
    return positioning(axis, Curve::kSCurve, Reference::kAbsolute, {pos, str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_tv_move(int16_t axis, double str_vel, double max_vel, double Tacc) {
    return velocity(axis, Curve::kTrapezoid, str_vel, max_vel, Tacc, 0);
}

QUVEX_API quvex_status QUVEX_CALL quvex_sv_move(int16_t axis, double str_vel, double max_vel, double Tacc,
                                               double SVacc) {
    return velocity(axis, Curve::kSCurve, str_vel, max_vel, Tacc, SVacc);
}

QUVEX_API quvex_status QUVEX_CALL quvex_sd_stop(int16_t axis, double Tdec) {
    QUVEX_TRY(check_stop(axis));
    QUVEX_TRY(check_finite(QUVEX_ERR_ZERO_MAX_SPEED, {Tdec}));
    decelerating_stop(axis, Tdec);
    return QUVEX_OK;
}

QUVEX_CHECKED_CALL(quvex_emg_stop, check_stop, immediate_stop)

// Idle pulses, vibration suppression and backlash compensation of one axis.
QUVEX_CHECKED_CALL(quvex_set_idle_pulse, check_axis, set_idle_pulse, int16_t)
QUVEX_CHECKED_CALL(quvex_suppress_vibration, check_axis, suppress_vibration, uint16_t, uint16_t)
QUVEX_CHECKED_CALL(quvex_backlash_comp, check_axis, backlash_comp, int16_t)

}  // extern "C"
