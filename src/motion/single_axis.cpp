#include "motion/single_axis.h"

#include <cmath>

#include "chip/primitives.h"
#include "chip/registers.h"
#include "common/bits.h"
#include "frame/card_table.h"
#include "motion/operation_mode.h"
#include "motion/speed_profile.h"
#include "quvex/quvex_axis.h"

namespace quvex::motion {
namespace {

// env2 bit 28 is set by helical starts; every other start clears it again.
constexpr std::uint32_t kEnv2HelicalBit = 1u << 28;
// env5 bits 8-10: idle pulses before the start.
constexpr Field kIdlePulses = field(8, 3);
// env6: backlash amount (bits 0-11) with its enable (bit 12); bits 14-15 belong to others.
constexpr Field kBacklashAmount = field(0, 12);
constexpr std::uint32_t kBacklashEnable = 1u << 12;
constexpr std::uint32_t kEnv6KeptLowBits = 0xC000u;
// env3 bit 24: correction (backlash) output enable.
constexpr std::uint32_t kEnv3CorrectionEnable = 1u << 24;
// Start speed used for the correction when no speed has been programmed yet.
constexpr std::uint32_t kDefaultCorrectionSpeed = 0x87D0;
constexpr Field kLowHalf = field(0, 16);

void write_operation_mode(std::int16_t axis, std::uint32_t word) {
    chip::write_mirrored(axis, chip::kMirrorOperationMode,
                         chip::operation_write_code(chip::kBufferedBank, chip::kOperationMode), word);
}

}  // namespace

double absolute_reference(std::int16_t axis, bool continuous) {
    const AxisRecord& rec = axis_record(axis);
    if (continuous) return rec.target_pos;
    if (rec.feedback_src == 1) {
        std::int32_t command = 0;
        quvex_get_command(axis, &command);
        return static_cast<double>(command);
    }
    double position = 0;
    quvex_get_position(axis, &position);
    return position;
}

void start_positioning(std::int16_t axis, Curve curve, Reference reference, const PositioningMove& move) {
    AxisRecord& rec = axis_record(axis);
    const bool s_curve = curve == Curve::s_curve;
    rec.last_decel_time = move.tdec;
    chip::update_mirrored(axis, chip::kEnv2, kEnv2HelicalBit, 0);

    const bool manual = ramp_down_is_manual(axis, move.tacc, move.tdec);
    write_operation_mode(axis, opmode::single_axis_start(rec.mirror[chip::kMirrorOperationMode],
                                                         opmode::kKindPositioning, s_curve, manual));

    double amount = move.distance_or_target;
    if (reference == Reference::absolute) amount = move.distance_or_target - absolute_reference(axis, axis_record(axis).continuous_mode == 1);
    rec.prev_target_pos = rec.target_pos;
    rec.target_pos = reference == Reference::absolute ? move.distance_or_target : rec.target_pos + amount;

    write_move_amount(axis, amount, kBuffered);
    compute_speed_registers(axis, std::fabs(move.str_vel), std::fabs(move.max_vel), kBuffered);
    const std::int16_t ramp_down = ramp_down_argument(manual, move.tdec);
    if (s_curve) {
        compute_s_rates(axis, move.tacc, move.tdec, move.sv_acc, move.sv_dec, kBuffered);
        limit_s_peak(axis, kBuffered);
        compute_s_ramp_down(axis, kBuffered, ramp_down);
        chip::write_axis_command(axis, chip::cmd::kStart3);
    } else {
        compute_t_rates(axis, move.tacc, move.tdec, kBuffered);
        limit_t_peak(axis, kBuffered);
        compute_t_ramp_down(axis, kBuffered, ramp_down);
        chip::write_axis_command(axis, t_curve_start_command(move.tacc, move.tdec));
    }
}

void start_velocity(std::int16_t axis, Curve curve, double str_vel, double max_vel, double tacc, double sv_acc) {
    const bool s_curve = curve == Curve::s_curve;
    const std::uint32_t kind = max_vel > 0 ? opmode::kKindContinuousPlus : opmode::kKindContinuousMinus;
    write_operation_mode(axis, opmode::single_axis_start(axis_record(axis).mirror[chip::kMirrorOperationMode],
                                                         kind, s_curve, true));
    compute_speed_registers(axis, std::fabs(str_vel), std::fabs(max_vel), kBuffered);
    if (s_curve) {
        compute_s_rates(axis, tacc, 0, sv_acc, 0, kBuffered);
    } else {
        compute_t_rates(axis, tacc, 0, kBuffered);
    }
    chip::write_axis_command(axis, chip::cmd::kStart3);
}

void decelerating_stop(std::int16_t axis, double tdec) {
    const AxisRecord& rec = axis_record(axis);
    if ((rec.mirror[chip::kMirrorOperationMode] & opmode::kSCurve) != 0) {
        // The deceleration section is a quarter of the maximum speed register, taken as if it
        // were in pulses per second: the stop keeps the S shape at any speed range.
        const double section = static_cast<double>(rec.mirror[chip::kMirrorMaxSpeed]) / 4.0;
        compute_s_rates(axis, 0, tdec, 0, section, kLive);
    } else {
        compute_t_rates(axis, 0, tdec, kLive);
    }
    chip::write_axis_command(axis, chip::cmd::kDeceleratingStop);
}

void immediate_stop(std::int16_t axis) { chip::write_axis_command(axis, chip::cmd::kImmediateStop); }

void set_idle_pulse(std::int16_t axis, std::int16_t count) {
    const std::uint32_t bits = with_field(0, kIdlePulses, static_cast<std::uint32_t>(count));
    chip::update_mirrored(axis, chip::kEnv5, 0, bits);
}

void suppress_vibration(std::int16_t axis, std::uint16_t time1, std::uint16_t time2) {
    const std::uint32_t word = join_halves(time1, time2);
    chip::write_mirrored(axis, chip::kEnv7, chip::kMirrorWriteCode[chip::kEnv7], word);
}

void backlash_comp(std::int16_t axis, std::int16_t count) {
    chip::RegisterMirror& mirror = axis_record(axis).mirror;
    const std::uint32_t env6 = mirror[chip::kEnv6];
    const std::uint32_t env6_low = (env6 & kEnv6KeptLowBits) | kBacklashEnable |
                                   with_field(0, kBacklashAmount, static_cast<std::uint32_t>(count));
    mirror[chip::kEnv6] = with_field(env6, kLowHalf, env6_low);
    mirror[chip::kEnv3] |= kEnv3CorrectionEnable;
    if (mirror[chip::kMirrorStartSpeed] == 0) mirror[chip::kMirrorStartSpeed] = kDefaultCorrectionSpeed;
    mirror[chip::kMirrorCorrectionSpeed] =
        with_field(mirror[chip::kMirrorCorrectionSpeed], kLowHalf, mirror[chip::kMirrorStartSpeed]);
    for (const chip::MirrorSlot slot : {chip::kEnv6, chip::kEnv3, chip::kMirrorCorrectionSpeed}) {
        chip::write_register32(axis, chip::kMirrorWriteCode[slot], mirror[slot]);
    }
}

}  // namespace quvex::motion
