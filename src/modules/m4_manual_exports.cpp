// Four-axis module exports: manual operation (hand wheel, jog, step), its status and its stored
// speed settings.
#include "modules/four_axis_codes.h"
#include "modules/four_axis_link.h"
#include "modules/module_checks.h"
#include "modules/four_axis_manual.h"
#include "modules/four_axis_status.h"
#include "quvex/quvex.h"

// Defined inside the module's namespace (C linkage keeps the exported names), so its vocabulary
// needs no using-directive that would meet the one-axis module's in a unity build.
namespace quvex::modules::m4 {

namespace {

constexpr std::int16_t kManualModes = 6;

// The module and axis checks, then KRING_ERR_SPEED_ORDER unless the four speed values are numbers; then `set`
// with them as a stored manual profile.
template <typename Set, typename... Extra>
quvex_status set_manual_velocity(std::uint16_t ring, std::uint16_t slave, std::uint16_t axis, double str_vel,
                                 double max_vel, double tacc, double tdec, Set set, Extra... extra) {
    return with_axis<OnRing>(ring, slave, axis, [&](FourAxisLink& l, int a) -> quvex_status {
        QUVEX_TRY(check_finite(KRING_ERR_SPEED_ORDER, {str_vel, max_vel, tacc, tdec}));
        const ring::ModuleManualProfile p{.start_speed = str_vel, .max_speed = max_vel, .accel_time = tacc,
                                          .decel_time = tdec};
        return set(l, a, p, extra...);
    });
}

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_mof_config(uint16_t ring, uint16_t slave, int16_t mode) {
    return with_module<OnRing>(ring, slave, [&](FourAxisLink& l) -> quvex_status {
        QUVEX_TRY(check(mode >= 0 && mode < kManualModes, KRING_ERR_MOF_MODE));
        return configure_manual(l, mode);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_disable_mof(uint16_t ring, uint16_t slave) {
    return with_module<OnRing>(ring, slave, [](FourAxisLink& l) { return run_manual_engine(l, {}); });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_manual_mpg(uint16_t ring, uint16_t slave, int16_t axis) {
    return with_module<OnRing>(ring, slave, [&](FourAxisLink& l) -> quvex_status {
        QUVEX_TRY(check_axis<OnRing>(axis, KRING_ERR_MOF_AXIS));
        l.record().mof_axis = axis;
        l.write_module(reg::kManualControl, static_cast<std::uint16_t>(1u << axis));
        return QUVEX_OK;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_get_mof_status(uint16_t ring, uint16_t slave, uint16_t* status) {
    return with_module<OnRing>(ring, slave, [&](FourAxisLink& l) -> quvex_status {
        std::uint16_t v = 0;
        const std::int16_t r = l.read_module(reg::kManualStatus, &v);
        if (r == QUVEX_OK) put(status, manual_status(v));
        return r;
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_mof_mpg_velocity(uint16_t ring, uint16_t slave, uint16_t axis,
                                                                double str_vel, double max_vel, double Tacc,
                                                                double Tdec) {
    return set_manual_velocity(ring, slave, axis, str_vel, max_vel, Tacc, Tdec, set_mpg_velocity);
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_mof_jog_velocity(uint16_t ring, uint16_t slave, uint16_t axis,
                                                                double str_vel, double max_vel, double Tacc,
                                                                double Tdec, int16_t percent) {
    return set_manual_velocity(ring, slave, axis, str_vel, max_vel, Tacc, Tdec, set_jog_velocity, percent);
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_mof_step_distance(uint16_t ring, uint16_t slave, uint16_t axis,
                                                                 double dist) {
    return with_module<OnRing>(ring, slave, [&](FourAxisLink& l) -> quvex_status {
        QUVEX_TRY(check_axis<OnRing>(axis, KRING_ERR_MOF_AXIS));
        QUVEX_TRY(check_finite(KRING_ERR_MOVE_RANGE, {dist}));
        return set_step_distance(l, axis, dist);
    });
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_set_mof_step_velocity(uint16_t ring, uint16_t slave, uint16_t axis,
                                                                 double str_vel, double max_vel, double Tacc,
                                                                 double Tdec, int16_t percent) {
    return set_manual_velocity(ring, slave, axis, str_vel, max_vel, Tacc, Tdec, set_step_velocity, percent);
}

}  // extern "C"

}  // namespace quvex::modules::m4
