#include "motion/speed_profile.h"

#include "ports/local_chip_sink.h"
#include "chip/register_mirror.h"
#include "chip/registers.h"
#include "card/card_table.h"

namespace quvex::motion {
namespace {

const chip::RegisterMirror& mirror_of(std::int16_t axis) { return axis_record(axis).mirror; }

}  // namespace

SpeedProfile speed_profile(std::int16_t axis) {
    const chip::RegisterMirror& m = mirror_of(axis);
    SpeedProfile p;
    p.move_amount = static_cast<std::int32_t>(m[chip::kMirrorMoveAmount]);
    p.start_speed_reg = m[chip::kMirrorStartSpeed];
    p.max_speed_reg = m[chip::kMirrorMaxSpeed];
    p.accel_rate = m[chip::kMirrorAccelRate];
    p.decel_rate = m[chip::kMirrorDecelRate];
    p.speed_range = m[chip::kMirrorSpeedRange];
    p.ramp_down_point = m[chip::kMirrorRampDownPoint];
    p.aux_amount = m[chip::kMirrorAuxAmount];
    p.s_accel_section = m[chip::kMirrorSAccelSection];
    p.s_decel_section = m[chip::kMirrorSDecelSection];
    return p;
}

std::optional<std::uint32_t> pinned_range(std::int16_t axis) {
    const AxisRecord& rec = axis_record(axis);
    if (rec.speed_range_fixed != 1) return std::nullopt;
    return rec.mirror[chip::kMirrorSpeedRange];
}

SpeedRegisters mirrored_speeds(std::int16_t axis) {
    const chip::RegisterMirror& m = mirror_of(axis);
    return {m[chip::kMirrorSpeedRange], m[chip::kMirrorMaxSpeed], m[chip::kMirrorStartSpeed]};
}

void compute_speed_registers(std::int16_t axis, double str_vel, double max_vel, chip::Bank bank) {
    chip::LocalChipSink sink(axis, bank);
    emit_speeds(plan_speeds(kLocalChipUnits, str_vel, max_vel, pinned_range(axis)), sink);
}

void fix_speed_range(std::int16_t axis, double max_vel) {
    compute_speed_registers(axis, 0.0, max_vel, kBuffered);
    axis_record(axis).speed_range_fixed = 1;
}

void unfix_speed_range(std::int16_t axis) { axis_record(axis).speed_range_fixed = 0; }

void compute_rates(std::int16_t axis, Curve curve, double tacc, double tdec, double sv_acc, double sv_dec,
                   chip::Bank bank) {
    const SpeedRegisters speeds = mirrored_speeds(axis);
    const RampRates rates = curve == Curve::kSCurve
                                ? plan_s_rates(kLocalChipUnits, speeds, tacc, tdec, sv_acc, sv_dec)
                                : plan_t_rates(kLocalChipUnits, speeds, tacc, tdec);
    chip::LocalChipSink sink(axis, bank);
    emit_rates(curve, rates, sink);
}

void copy_speed_registers(std::int16_t from_axis, std::int16_t to_axis, chip::Bank bank) {
    const SpeedRegisters from = mirrored_speeds(from_axis);
    chip::LocalChipSink sink(to_axis, bank);
    sink.write(chip::kMaxSpeed, from.fh);
    sink.write(chip::kStartSpeed, from.fl);
}

void copy_faster_speed_registers(std::int16_t axis_a, std::int16_t axis_b, chip::Bank bank) {
    const SpeedRegisters a = mirrored_speeds(axis_a);
    const SpeedRegisters b = mirrored_speeds(axis_b);
    const SpeedRegisters& faster = b.fh > a.fh ? b : a;
    for (const std::int16_t target : {axis_b, axis_a}) {
        chip::LocalChipSink sink(target, bank, chip::LocalChipSink::Mirror::kLeave);
        sink.write(chip::kMaxSpeed, faster.fh);
        sink.write(chip::kStartSpeed, faster.fl);
    }
}

bool ramp_down_is_manual(std::int16_t axis, double tacc, double tdec) {
    return 2.0 * tacc <= tdec || tdec == 0.0 || axis_record(axis).speed_range_fixed == 1;
}

bool ramp_down_point_wanted(bool manual_mode, double tdec) { return manual_mode && tdec != 0.0; }

std::uint16_t t_curve_start_command(double tacc, double tdec) {
    if (tacc != 0.0) return chip::cmd::kStartRamped;
    return tdec != 0.0 ? chip::cmd::kStartDecelerating : chip::cmd::kStartAtMaxSpeed;
}

}  // namespace quvex::motion
