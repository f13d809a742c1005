// One-axis module exports: speed profiles, the speed-range pin, moves, stops and speed changes.
#include <cmath>

#include "modules/module_checks.h"
#include "modules/one_axis_codes.h"
#include "modules/one_axis_link.h"
#include "modules/module_motion.h"
#include "modules/one_axis_speed_change.h"
#include "quvex/quvex.h"

// Defined inside the module's namespace (C linkage keeps the exported names), so its vocabulary
// needs no using-directive that would meet the four-axis module's in a unity build.
namespace quvex::modules::m1 {

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_tmove_speed(uint16_t ring, uint16_t slave, double str_vel,
                                                           double max_vel, double Tacc, double Tdec) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        QUVEX_TRY(check_speeds(!(max_vel <= str_vel), max_vel, {str_vel, max_vel, Tacc, Tdec}));
        return load_profile(l, motion::Curve::kTrapezoid,
                            {.str_vel = std::fabs(str_vel), .max_vel = std::fabs(max_vel), .tacc = Tacc, .tdec = Tdec});
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_set_smove_speed(uint16_t ring, uint16_t slave, double str_vel,
                                                           double max_vel, double Tacc, double Tdec, double SVacc,
                                                           double SVdec) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        QUVEX_TRY(check_speeds(str_vel < max_vel, max_vel, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec}));
        return load_profile(l, motion::Curve::kSCurve,
                            {.str_vel = std::fabs(str_vel), .max_vel = std::fabs(max_vel), .tacc = Tacc, .tdec = Tdec,
                             .sv_acc = SVacc, .sv_dec = SVdec});
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_fix_speed_range(uint16_t ring, uint16_t slave, double max_vel) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return pin_speed_range(l, max_vel); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_unfix_speed_range(uint16_t ring, uint16_t slave) {
    return with_module<OnRing>(ring, slave, [](OneAxisLink& l) -> quvex_status {
        l.block().speed_range_fixed = 0;
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_start_r_move(uint16_t ring, uint16_t slave, int32_t dist) {
    QUVEX_TRY(check_pulses(dist, KRING_ERR_MOVE_RANGE));
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        QUVEX_TRY(check_profile_loaded(l.block()));
        return start_relative(l, dist);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_start_a_move(uint16_t ring, uint16_t slave, int32_t pos) {
    QUVEX_TRY(check_pulses(pos, KRING_ERR_MOVE_RANGE));
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        QUVEX_TRY(check_profile_loaded(l.block()));
        return start_absolute(l, pos);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_v_move(uint16_t ring, uint16_t slave, uint8_t dir) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        QUVEX_TRY(check_profile_loaded(l.block()));
        return start_velocity(l, dir);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_v_change(uint16_t ring, uint16_t slave, double new_vel, double time) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        QUVEX_TRY(check_finite(KRING_ERR_SPEED_ORDER, {new_vel, time}));
        return change_speed(l, new_vel, time);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_start_home_move(uint16_t ring, uint16_t slave, uint8_t dir) {
    return with_module<OnRing>(ring, slave, [&](OneAxisLink& l) { return start_home(l, dir); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_sd_stop(uint16_t ring, uint16_t slave) {
    return with_module<OnRing>(ring, slave, [](OneAxisLink& l) { return l.command(code::kDeceleratingStop); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m1_emg_stop(uint16_t ring, uint16_t slave) {
    return with_module<OnRing>(ring, slave, [](OneAxisLink& l) { return l.command(code::kEmergencyStop); });
}

}  // extern "C"

}  // namespace quvex::modules::m1
