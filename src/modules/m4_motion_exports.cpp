// Four-axis module exports: speed profiles, the speed-range pin, single-axis moves and stops.
#include <cmath>

#include "modules/four_axis_checks.h"
#include "modules/four_axis_motion.h"
#include "quvex/quvex.h"

// Defined inside the module's namespace (C linkage keeps the exported names), so its vocabulary
// needs no using-directive that would meet the one-axis module's in a unity build.
namespace quvex::modules::m4 {

namespace {

// Speeds must be ordered (a value that is not a number never is) and the top one non-zero.
quvex_status check_speeds(bool ordered, double max_vel, std::initializer_list<double> all) {
    QUVEX_TRY(check(ordered, KRING_ERR_SPEED_ORDER));
    QUVEX_TRY(check_finite(KRING_ERR_SPEED_ORDER, all));
    return check(max_vel != 0.0, KRING_ERR_ZERO_MAX_SPEED);
}

quvex_status check_profile_loaded(Link& l, int axis) {
    return check(l.block(axis).max_speed_reg != 0, KRING_ERR_NO_PROFILE);
}

quvex_status check_pulses(std::int32_t v) { return check(v >= kMinPulses && v <= kMaxPulses, KRING_ERR_MOVE_RANGE); }

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_tmove_speed(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           double str_vel, double max_vel, double Tacc, double Tdec) {
    return with_axis(ring, slave, axis, [&](Link& l, int a) -> quvex_status {
        QUVEX_TRY(check_speeds(str_vel < max_vel, max_vel, {str_vel, max_vel, Tacc, Tdec}));
        return load_profile(l, a, motion::Curve::kTrapezoid,
                            {.str_vel = std::fabs(str_vel), .max_vel = std::fabs(max_vel), .tacc = Tacc, .tdec = Tdec});
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_smove_speed(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           double str_vel, double max_vel, double Tacc, double Tdec,
                                                           double SVacc, double SVdec) {
    return with_axis(ring, slave, axis, [&](Link& l, int a) -> quvex_status {
        QUVEX_TRY(check_speeds(str_vel < max_vel, max_vel, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec}));
        return load_profile(l, a, motion::Curve::kSCurve,
                            {.str_vel = std::fabs(str_vel), .max_vel = std::fabs(max_vel), .tacc = Tacc, .tdec = Tdec,
                             .sv_acc = SVacc, .sv_dec = SVdec});
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_fix_speed_range(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           double max_vel) {
    return with_axis(ring, slave, axis, [&](Link& l, int a) { return pin_speed_range(l, a, max_vel); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_unfix_speed_range(uint16_t ring, uint16_t slave, uint16_t axis) {
    return with_axis(ring, slave, axis, [](Link& l, int a) -> quvex_status {
        l.block(a).speed_range_fixed = 0;
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_r_move(uint16_t ring, uint16_t slave, int16_t axis, int32_t dist) {
    QUVEX_TRY(check_pulses(dist));
    return with_axis(ring, slave, axis, [&](Link& l, int a) -> quvex_status {
        QUVEX_TRY(check_profile_loaded(l, a));
        return start_relative(l, a, dist);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_a_move(uint16_t ring, uint16_t slave, uint16_t axis, int32_t pos) {
    QUVEX_TRY(check_pulses(pos));
    return with_axis(ring, slave, axis, [&](Link& l, int a) -> quvex_status {
        QUVEX_TRY(check_profile_loaded(l, a));
        return start_absolute(l, a, pos);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_v_move(uint16_t ring, uint16_t slave, uint16_t axis, uint8_t dir) {
    return with_axis(ring, slave, axis, [&](Link& l, int a) -> quvex_status {
        QUVEX_TRY(check_profile_loaded(l, a));
        return start_velocity(l, a, dir);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_home_move(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           uint8_t dir) {
    return with_axis(ring, slave, axis, [&](Link& l, int a) { return start_home(l, a, dir); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_sd_stop(uint16_t ring, uint16_t slave, uint16_t axis) {
    return with_axis(ring, slave, axis, [](Link& l, int a) { return l.command(a, code::kDeceleratingStop); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_emg_stop(uint16_t ring, uint16_t slave, uint16_t axis) {
    return with_axis(ring, slave, axis, [](Link& l, int a) { return l.command(a, code::kImmediateStop); });
}

}  // extern "C"

}  // namespace quvex::modules::m4
