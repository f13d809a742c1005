// Four-axis module exports: speed profiles, the speed-range pin, single-axis moves and stops.
#include <cmath>

#include "modules/four_axis_codes.h"
#include "modules/four_axis_link.h"
#include "modules/module_checks.h"
#include "modules/module_motion.h"
#include "quvex/quvex.h"

// Defined inside the module's namespace (C linkage keeps the exported names), so its vocabulary
// needs no using-directive that would meet the one-axis module's in a unity build.
namespace quvex::modules::m4 {

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_tmove_speed(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           double str_vel, double max_vel, double Tacc, double Tdec) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        QUVEX_TRY(check_speeds(str_vel < max_vel, max_vel, {str_vel, max_vel, Tacc, Tdec}));
        return load_profile(l.axis(a), motion::Curve::kTrapezoid,
                            {.str_vel = std::fabs(str_vel), .max_vel = std::fabs(max_vel), .tacc = Tacc, .tdec = Tdec});
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_smove_speed(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           double str_vel, double max_vel, double Tacc, double Tdec,
                                                           double SVacc, double SVdec) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        QUVEX_TRY(check_speeds(str_vel < max_vel, max_vel, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec}));
        return load_profile(l.axis(a), motion::Curve::kSCurve,
                            {.str_vel = std::fabs(str_vel), .max_vel = std::fabs(max_vel), .tacc = Tacc, .tdec = Tdec,
                             .sv_acc = SVacc, .sv_dec = SVdec});
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_fix_speed_range(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           double max_vel) {
    return with_axis<OnRing>(ring, slave, axis,
                             [&](FourAxisLink& l, int a) { return pin_speed_range(l.axis(a), max_vel); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_unfix_speed_range(uint16_t ring, uint16_t slave, uint16_t axis) {
    return with_axis<OnRing>(ring, slave, axis, [](FourAxisLink& l, int a) -> quvex_status {
        l.block(a).speed_range_fixed = 0;
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_r_move(uint16_t ring, uint16_t slave, int16_t axis, int32_t dist) {
    QUVEX_TRY(check_pulses(dist, KRING_ERR_MOVE_RANGE));
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        QUVEX_TRY(check_profile_loaded(l.block(a)));
        return start_relative(l.axis(a), dist);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_a_move(uint16_t ring, uint16_t slave, uint16_t axis, int32_t pos) {
    QUVEX_TRY(check_pulses(pos, KRING_ERR_MOVE_RANGE));
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        QUVEX_TRY(check_profile_loaded(l.block(a)));
        return start_absolute(l.axis(a), pos);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_v_move(uint16_t ring, uint16_t slave, uint16_t axis, uint8_t dir) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        QUVEX_TRY(check_profile_loaded(l.block(a)));
        return start_velocity(l.axis(a), dir);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_home_move(uint16_t ring, uint16_t slave, uint16_t axis,
                                                           uint8_t dir) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) { return start_home(l.axis(a), dir); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_sd_stop(uint16_t ring, uint16_t slave, uint16_t axis) {
    return with_axis_command<OnRing>(ring, slave, axis, code::kDeceleratingStop);
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_emg_stop(uint16_t ring, uint16_t slave, uint16_t axis) {
    return with_axis_command<OnRing>(ring, slave, axis, code::kImmediateStop);
}

}  // extern "C"

}  // namespace quvex::modules::m4
