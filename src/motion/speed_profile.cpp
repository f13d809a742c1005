#include "motion/speed_profile.h"

#include <algorithm>
#include <cmath>

#include "chip/primitives.h"
#include "chip/registers.h"
#include "common/numeric.h"
#include "frame/card_table.h"
#include "motion/profile_math.h"

namespace quvex::motion {
namespace {

using namespace profile_slot;

std::uint32_t& mirror(std::int16_t axis, chip::MirrorSlot slot) { return axis_record(axis).mirror[slot]; }
double mirrored(std::int16_t axis, chip::MirrorSlot slot) { return static_cast<double>(mirror(axis, slot)); }
double multiplier(std::int16_t axis) { return mirrored(axis, speed_range) + 1.0; }

// Stores a profile register in the mirror and writes it to the chosen bank.
void write_profile_register(std::int16_t axis, chip::OperationRegister n, std::uint32_t value, std::int16_t bank) {
    chip::write_mirrored(axis, chip::operation_slot(n), chip::operation_write_code(bank, n), value);
}

// Writes a register without touching the mirror.
void write_unmirrored(std::int16_t axis, chip::OperationRegister n, std::uint32_t value, std::int16_t bank) {
    chip::write_register32(axis, chip::operation_write_code(bank, n), value);
}

// A signed 32-bit register value in its unsigned register form.
std::uint32_t register_word(std::int32_t v) { return static_cast<std::uint32_t>(v); }

}  // namespace

SpeedProfile speed_profile(std::int16_t axis) {
    SpeedProfile p;
    p.move_amount = static_cast<std::int32_t>(mirror(axis, move_amount));
    p.start_speed_reg = mirror(axis, start_speed_reg);
    p.max_speed_reg = mirror(axis, max_speed_reg);
    p.accel_rate = mirror(axis, accel_rate);
    p.decel_rate = mirror(axis, decel_rate);
    p.speed_range = mirror(axis, speed_range);
    p.ramp_down_point = mirror(axis, ramp_down_point);
    p.aux_amount = mirror(axis, aux_amount);
    p.s_accel_section = mirror(axis, s_accel_section);
    p.s_decel_section = mirror(axis, s_decel_section);
    return p;
}

std::uint32_t speed_range_for(double max_vel) { return math::table_speed_range(max_vel); }

void write_move_amount(std::int16_t axis, double pulses, std::int16_t bank) {
    write_profile_register(axis, chip::kMoveAmount, register_word(truncate_to<std::int32_t>(pulses)), bank);
}

void write_aux_amount(std::int16_t axis, double value, std::int16_t bank) {
    write_profile_register(axis, chip::kAuxAmount, register_word(truncate_to<std::int32_t>(value)), bank);
}

void compute_speed_registers(std::int16_t axis, double str_vel, double max_vel, std::int16_t bank) {
    const std::uint32_t range = axis_record(axis).speed_range_fixed == 1 ? mirror(axis, speed_range)
                                                                       : math::table_speed_range(max_vel);
    const double m = static_cast<double>(range) + 1.0;
    str_vel = std::max(str_vel, math::lowest_start_speed(m));
    write_profile_register(axis, chip::kSpeedRange, range, bank);
    const math::SpeedPair speeds =
        math::break_speed_tie({math::max_speed_units(m, max_vel), math::start_speed_units(m, str_vel)});
    write_profile_register(axis, chip::kMaxSpeed, speeds.fh, bank);
    write_profile_register(axis, chip::kStartSpeed, speeds.fl, bank);
}

void compute_t_rates(std::int16_t axis, double tacc, double tdec, std::int16_t bank) {
    const double span = mirrored(axis, max_speed_reg) - mirrored(axis, start_speed_reg);
    write_profile_register(axis, chip::kAccelRate, math::t_accel_rate(tacc, span), bank);
    write_profile_register(axis, chip::kDecelRate, math::t_decel_rate(tdec, span), bank);
}

void limit_t_peak(std::int16_t axis, std::int16_t bank) {
    const double pulses = std::fabs(static_cast<double>(static_cast<std::int32_t>(mirror(axis, move_amount))));
    const double fh = math::t_peak_limit(pulses, mirrored(axis, start_speed_reg), mirrored(axis, max_speed_reg),
                                         mirrored(axis, accel_rate), mirrored(axis, decel_rate), multiplier(axis));
    write_profile_register(axis, chip::kMaxSpeed, truncate_to<std::uint32_t>(fh), bank);
}

void compute_t_ramp_down(std::int16_t axis, std::int16_t bank, std::int16_t manual) {
    std::uint32_t point = 0;
    if (manual == 1) {
        const double d = math::t_ramp_distance(mirrored(axis, max_speed_reg), mirrored(axis, start_speed_reg),
                                               mirrored(axis, decel_rate), multiplier(axis));
        point = static_cast<std::uint32_t>(
            std::clamp<std::int64_t>(floor_to<std::int64_t>(d), 0, kMaxRampDownPoint));
    }
    write_profile_register(axis, chip::kRampDownPoint, point, bank);
}

void compute_s_rates(std::int16_t axis, double tacc, double tdec, double sv_acc, double sv_dec,
                     std::int16_t bank) {
    const double m = multiplier(axis);
    const double span = mirrored(axis, max_speed_reg) - mirrored(axis, start_speed_reg);
    const std::uint32_t us = math::s_section(m, sv_acc);
    write_profile_register(axis, chip::kSAccelSection, us, bank);
    write_profile_register(axis, chip::kAccelRate, math::s_rate(tacc, span, us), bank);
    const std::uint32_t ds = math::s_section(m, sv_dec);
    write_profile_register(axis, chip::kSDecelSection, ds, bank);
    write_profile_register(axis, chip::kDecelRate, math::s_rate(tdec, span, ds), bank);
}

void limit_s_peak(std::int16_t axis, std::int16_t bank) {
    const double pulses = std::fabs(static_cast<double>(static_cast<std::int32_t>(mirror(axis, move_amount))));
    const double fh = math::s_peak_limit(pulses, mirrored(axis, start_speed_reg), mirrored(axis, max_speed_reg),
                                         mirrored(axis, accel_rate), mirrored(axis, decel_rate),
                                         mirrored(axis, s_accel_section), mirrored(axis, s_decel_section),
                                         multiplier(axis));
    write_profile_register(axis, chip::kMaxSpeed, truncate_to<std::uint32_t>(fh), bank);
}

void compute_s_ramp_down(std::int16_t axis, std::int16_t bank, std::int16_t manual) {
    std::uint32_t point = 0;
    if (manual != 0) {
        const double d = math::s_ramp_distance(mirrored(axis, max_speed_reg), mirrored(axis, start_speed_reg),
                                               mirrored(axis, decel_rate), mirrored(axis, s_decel_section),
                                               multiplier(axis));
        point = register_word(truncate_to<std::int32_t>(d));
    }
    write_profile_register(axis, chip::kRampDownPoint, point, bank);
}

void copy_speed_registers(std::int16_t from_axis, std::int16_t to_axis, std::int16_t bank) {
    write_profile_register(to_axis, chip::kMaxSpeed, mirror(from_axis, max_speed_reg), bank);
    write_profile_register(to_axis, chip::kStartSpeed, mirror(from_axis, start_speed_reg), bank);
}

void copy_faster_speed_registers(std::int16_t axis_a, std::int16_t axis_b, std::int16_t bank) {
    const std::int16_t source = mirror(axis_b, max_speed_reg) > mirror(axis_a, max_speed_reg) ? axis_b : axis_a;
    const std::uint32_t fh = mirror(source, max_speed_reg);
    const std::uint32_t fl = mirror(source, start_speed_reg);
    for (const std::int16_t target : {axis_b, axis_a}) {
        write_unmirrored(target, chip::kMaxSpeed, fh, bank);
        write_unmirrored(target, chip::kStartSpeed, fl, bank);
    }
}

bool ramp_down_is_manual(std::int16_t axis, double tacc, double tdec) {
    return 2.0 * tacc <= tdec || tdec == 0.0 || axis_record(axis).speed_range_fixed == 1;
}

std::int16_t ramp_down_argument(bool manual_mode, double tdec) { return manual_mode && tdec != 0.0 ? 1 : 0; }

std::uint16_t t_curve_start_command(double tacc, double tdec) {
    if (tacc != 0.0) return chip::cmd::kStart3;
    return tdec != 0.0 ? chip::cmd::kStart2 : chip::cmd::kStart1;
}

}  // namespace quvex::motion
