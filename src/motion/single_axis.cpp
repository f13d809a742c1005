#include "motion/single_axis.h"

#include <cmath>

#include "axis/status.h"
#include "ports/local_chip_sink.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "chip/registers.h"
#include "common/bits.h"
#include "card/card_table.h"
#include "motion/axis_move.h"
#include "motion/speed_profile.h"

namespace quvex::motion {
namespace {

// Start speed used for the correction when no speed has been programmed yet.
constexpr std::uint32_t kDefaultCorrectionSpeed = 0x87D0;

// A velocity move programs only its speeds and rates.
constexpr PlanStep kVelocitySteps[] = {PlanStep::kSpeeds, PlanStep::kRates};

}  // namespace

void start_positioning(std::int16_t axis, Curve curve, Reference reference, const PositioningMove& move) {
    const StartRules rules{.clear_helical = true,
                           .manual_mode = ramp_down_is_manual(axis, move.tacc, move.tdec),
                           .counters = CounterChoice::kByFeedbackSource,
                           .s_curve_always_full = true};
    const MoveRequest request{.curve = curve,
                              .str_vel = std::fabs(move.str_vel),
                              .max_vel = std::fabs(move.max_vel),
                              .tacc = move.tacc,
                              .tdec = move.tdec,
                              .sv_acc = move.sv_acc,
                              .sv_dec = move.sv_dec};
    start_axis_move(axis, reference, move.distance_or_target, request, rules);
}

void start_velocity(std::int16_t axis, Curve curve, double str_vel, double max_vel, double tacc, double sv_acc) {
    const std::uint32_t kind = max_vel > 0 ? chip::opmode::kKindContinuousPlus : chip::opmode::kKindContinuousMinus;
    const std::uint32_t mode = chip::opmode::start_word(axis_record(axis).mirror[chip::kMirrorOperationMode], kind,
                                                        curve == Curve::kSCurve, true);
    // A velocity move has no deceleration of its own: the lowest rate, no section.
    const MovePlan plan = plan_axis_move(axis, {.curve = curve,
                                                .str_vel = std::fabs(str_vel),
                                                .max_vel = std::fabs(max_vel),
                                                .tacc = tacc,
                                                .sv_acc = sv_acc});
    {
        chip::LocalChipSink sink(axis, chip::Bank::kBuffered);
        sink.write(chip::kOperationMode, mode | chip::opmode::kSingleAxisStart.mask);
        program_axis_move(sink, plan, kVelocitySteps);
    }
    chip::write_axis_command(axis, chip::cmd::kStartRamped);
}

void decelerating_stop(std::int16_t axis, double tdec) {
    const AxisRecord& rec = axis_record(axis);
    if (field_value(rec.mirror[chip::kMirrorOperationMode], chip::opmode::kSCurve) != 0) {
        // The deceleration section is a quarter of the maximum speed register, taken as if it
        // were in pulses per second: the stop keeps the S shape at any speed range.
        const double section = static_cast<double>(rec.mirror[chip::kMirrorMaxSpeed]) / 4.0;
        compute_rates(axis, Curve::kSCurve, 0, tdec, 0, section, kLive);
    } else {
        compute_rates(axis, Curve::kTrapezoid, 0, tdec, 0, 0, kLive);
    }
    chip::write_axis_command(axis, chip::cmd::kDeceleratingStop);
}

void immediate_stop(std::int16_t axis) { chip::write_axis_command(axis, chip::cmd::kImmediateStop); }

bool in_motion(std::int16_t axis) { return quvex::axis::operation_state(axis) != 0; }

void set_idle_pulse(std::int16_t axis, std::int16_t count) {
    // ORed in without clearing first: bits already set stay set.
    const std::uint32_t bits = with_field(0, chip::env5::kIdlePulses, static_cast<std::uint32_t>(count));
    chip::update_mirrored(axis, chip::kEnv5, 0, bits);
}

void suppress_vibration(std::int16_t axis, std::uint16_t time1, std::uint16_t time2) {
    const std::uint32_t word =
        with_field(with_field(0, chip::env7::kSuppressTime1, time1), chip::env7::kSuppressTime2, time2);
    chip::write_mirrored(axis, chip::kEnv7, chip::kMirrorWriteCode[chip::kEnv7], word);
}

void backlash_comp(std::int16_t axis, std::int16_t count) {
    chip::RegisterMirror& mirror = axis_record(axis).mirror;
    const std::uint32_t env6 = mirror[chip::kEnv6];
    const std::uint32_t env6_low = (env6 & chip::env6::kKeptLowBits.mask) | chip::env6::kBacklashEnable.mask |
                                   with_field(0, chip::env6::kBacklashAmount, static_cast<std::uint32_t>(count));
    mirror[chip::kEnv6] = with_field(env6, chip::env6::kLowHalf, env6_low);
    mirror[chip::kEnv3] |= chip::env3::kCorrectionEnable.mask;
    if (mirror[chip::kMirrorStartSpeed] == 0) mirror[chip::kMirrorStartSpeed] = kDefaultCorrectionSpeed;
    mirror[chip::kMirrorCorrectionSpeed] =
        with_field(mirror[chip::kMirrorCorrectionSpeed], chip::correction::kSpeed, mirror[chip::kMirrorStartSpeed]);
    for (const chip::MirrorSlot slot : {chip::kEnv6, chip::kEnv3, chip::kMirrorCorrectionSpeed}) {
        chip::write_register32(axis, chip::kMirrorWriteCode[slot], mirror[slot]);
    }
}

}  // namespace quvex::motion
