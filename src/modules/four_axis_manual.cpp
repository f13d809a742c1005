#include "modules/four_axis_manual.h"

#include <cmath>

#include "common/bits.h"
#include "card/export_checks.h"
#include "common/numeric.h"
#include "modules/four_axis_codes.h"
#include "modules/module_motion.h"

namespace quvex::modules::m4 {
namespace {

constexpr std::uint16_t kControlEnabled = 0x80;
constexpr std::uint16_t kControlStep = 0xC0;  // jog or step
constexpr Field kControlType = field(5, 2);
constexpr Field kControlAllAxes = field(4, 1);

bool in(std::int16_t v, int lo, int hi) { return v >= lo && v <= hi; }

std::uint16_t control_word(const ManualEngine& e) {
    const std::uint32_t base = e.type == static_cast<std::int16_t>(ManualType::kStep)
                                   ? kControlStep
                                   : with_field(kControlEnabled, kControlType, static_cast<std::uint32_t>(e.type) & 3u);
    return static_cast<std::uint16_t>(with_field(base, kControlAllAxes, static_cast<std::uint32_t>(e.all_axes)) |
                                      (1u << e.axis));
}

std::uint32_t operation_of(std::int16_t type) {
    switch (static_cast<ManualType>(type)) {
        case ManualType::kHandWheel: return mode::kHandWheel;
        case ManualType::kJog: return mode::kJog;
        default: return mode::kStep;
    }
}

void write_env2(FourAxisLink& link, int axis) { link.write_axis(axis, code::kEnv2, link.block(axis).env[1]); }

void turn_off(FourAxisLink& link) {
    for (int axis = 0; axis < kAxisCount; ++axis) {
        ring::ModuleAxisBlock& b = link.block(axis);
        b.env[1] = with_field(b.env[1], env::kManualOff, 1);
        write_env2(link, axis);
        link.command(axis, code::kImmediateStop);
    }
    link.write_module(reg::kManualControl, 0);
}

void turn_on(FourAxisLink& link, const ManualEngine& e) {
    link.write_module(reg::kManualControl, control_word(e));
    for (int axis = 0; axis < kAxisCount; ++axis) {
        ring::ModuleAxisBlock& b = link.block(axis);
        b.env[1] = with_field(b.env[1], env::kManualOff, 0);
        write_env2(link, axis);
    }
    for (int axis = 0; axis < kAxisCount; ++axis) {
        if (e.all_axes != 1 && axis != e.axis) continue;
        ring::ModuleAxisBlock& b = link.block(axis);
        b.operation_mode = with_field(b.operation_mode, mode::kOperation, operation_of(e.type));
        write_operation(link.axis(axis), Bank::kLive, chip::kOperationMode, b.operation_mode);
        link.command(axis, code::kStartAtMaxSpeed);
    }
}

// Manual operation runs with the magnitudes of the stored speeds, scaled by the percentage.
std::int16_t load_manual_profile(FourAxisLink& link, int axis, const ring::ModuleManualProfile& p, double scale) {
    return load_profile(link.axis(axis), motion::Curve::kTrapezoid,
                        {.str_vel = std::fabs(p.start_speed * scale), .max_vel = std::fabs(p.max_speed * scale),
                         .tacc = p.accel_time, .tdec = p.decel_time});
}

// Jog and step keep their profile and percentage in the axis block, then load them scaled.
std::int16_t store_and_load_scaled(FourAxisLink& link, int axis,
                                   ring::ModuleManualProfile ring::ModuleAxisBlock::*profile,
                                   std::int16_t ring::ModuleAxisBlock::*percent_of, const ring::ModuleManualProfile& p,
                                   std::int16_t percent) {
    ring::ModuleAxisBlock& b = link.block(axis);
    b.*profile = p;
    b.*percent_of = percent;
    return load_manual_profile(link, axis, p, static_cast<double>(percent) / 100.0);
}

quvex_status check_owner(const ring::SlaveRecord& r, int lo, int hi) {
    return check(in(r.mof_mode, lo, hi), KRING_ERR_MOF_MODE_OWNER);
}

// Mode 0 and 1 own the hand wheel, 2 and 3 the jog, 4 and 5 the step; even modes drive every
// axis, odd ones mof_axis alone.
void for_affected_axes(FourAxisLink& link, std::int16_t mode, auto&& f) {
    if (mode % 2 == 0) {
        for (int axis = 0; axis < kAxisCount; ++axis) f(axis);
    } else if (in(link.record().mof_axis, 0, kAxisCount - 1)) {
        f(link.record().mof_axis);
    }
}

}  // namespace

quvex_status run_manual_engine(FourAxisLink& link, const ManualEngine& e) {
    QUVEX_TRY(check(in(e.type, 0, 3), KRING_ERR_MOF_TYPE));
    QUVEX_TRY(check(in(e.enable, 0, 1) && in(e.all_axes, 0, 1), KRING_ERR_MOF_FLAG));
    QUVEX_TRY(check(in(e.axis, 0, kAxisCount - 1), KRING_ERR_AXIS));
    std::uint16_t control = 0;
    link.read_module(reg::kManualControl, &control);  // read as the module expects; the new word replaces it
    if (e.enable != 1 || e.type == static_cast<std::int16_t>(ManualType::kOff)) {
        turn_off(link);
    } else {
        turn_on(link, e);
    }
    return QUVEX_OK;
}

quvex_status set_mpg_velocity(FourAxisLink& link, int axis, const ring::ModuleManualProfile& p) {
    QUVEX_TRY(check_owner(link.record(), 0, 1));
    link.block(axis).mpg = p;
    return load_manual_profile(link, axis, p, 1.0);
}

quvex_status set_jog_velocity(FourAxisLink& link, int axis, const ring::ModuleManualProfile& p, std::int16_t percent) {
    QUVEX_TRY(check_owner(link.record(), 2, 3));
    return store_and_load_scaled(link, axis, &ring::ModuleAxisBlock::jog, &ring::ModuleAxisBlock::jog_percent, p,
                                 percent);
}

quvex_status set_step_velocity(FourAxisLink& link, int axis, const ring::ModuleManualProfile& p, std::int16_t percent) {
    QUVEX_TRY(check_owner(link.record(), 4, 5));
    return store_and_load_scaled(link, axis, &ring::ModuleAxisBlock::step, &ring::ModuleAxisBlock::step_percent, p,
                                 percent);
}

quvex_status set_step_distance(FourAxisLink& link, int axis, double dist) {
    QUVEX_TRY(check_owner(link.record(), 4, 5));
    ring::ModuleAxisBlock& b = link.block(axis);
    b.step_dist = dist;
    b.move_amount = static_cast<std::uint32_t>(truncate_to<std::int64_t>(dist)) & kAmountMask;
    return write_operation(link.axis(axis), Bank::kLive, chip::kMoveAmount, b.move_amount);
}

quvex_status configure_manual(FourAxisLink& link, std::int16_t mode) {
    ring::SlaveRecord& r = link.record();
    r.mof_mode = mode;
    const std::int16_t all = mode % 2 == 0 ? 1 : 0;
    const std::int16_t engine_axis = all == 1 ? 0 : r.mof_axis;
    const auto type = static_cast<std::int16_t>(mode / 2 + 1);
    run_manual_engine(link, {.enable = 1, .type = type, .all_axes = all, .axis = engine_axis});
    for_affected_axes(link, mode, [&](int axis) {
        const ring::ModuleAxisBlock& b = link.block(axis);
        switch (static_cast<ManualType>(type)) {
            case ManualType::kHandWheel: set_mpg_velocity(link, axis, b.mpg); break;
            case ManualType::kJog: set_jog_velocity(link, axis, b.jog, b.jog_percent); break;
            default:
                set_step_distance(link, axis, b.step_dist);
                set_step_velocity(link, axis, b.step, b.step_percent);
                break;
        }
    });
    return QUVEX_OK;
}

}  // namespace quvex::modules::m4
