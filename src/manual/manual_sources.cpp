#include "manual/manual_sources.h"

#include "ports/local_chip_sink.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "chip/registers.h"
#include "common/numeric.h"
#include "manual/manual_board.h"
#include "motion/speed_profile.h"

namespace quvex::manual {
namespace {


// Operation kind placed in the mirror and written live.
void write_live_kind(int axis, std::uint32_t kind) {
    chip::update_mirrored(axis, chip::kMirrorOperationMode, chip::opmode::kOperationKind.mask, kind);
}

void store(ManualProfile& stored, const ProfileArgs& p) {
    stored.decel_time = p.tdec;
    stored.accel_time = p.tacc;
    stored.start_speed = p.str_vel;
    stored.max_speed = p.max_vel;
}

// Live speeds at `percent` of the given ones, then the T-curve rates over them.
void program_scaled(std::int16_t axis, const ProfileArgs& p, std::int16_t percent) {
    motion::compute_speed_registers(axis, percent * p.str_vel / 100, percent * p.max_vel / 100, motion::kLive);
    motion::compute_rates(axis, motion::Curve::kTrapezoid, p.tacc, p.tdec, 0, 0, motion::kLive);
}

void update_env3(int axis, std::uint32_t clear_mask, std::uint32_t set_bits) {
    chip::update_mirrored(axis, chip::kEnv3, clear_mask, set_bits);
}

}  // namespace

ProfileArgs profile_args(const ManualProfile& stored) {
    return {stored.start_speed, stored.max_speed, stored.accel_time, stored.decel_time};
}

void enable_jog(int card, std::int16_t on_off) {
    if (on_off == 1) {
        write_control(card, control::kJogStepEnabled);
        for (int a = first_axis(card); a < first_axis(card) + kAxesPerCard; ++a) {
            write_live_kind(a, chip::manual::kKindJog);
            chip::write_axis_command(a, chip::cmd::kStartRamped);
        }
        return;
    }
    write_control(card, 0);
    if (on_off != 0) return;
    for (int a = first_axis(card); a < first_axis(card) + kAxesPerCard; ++a) {
        chip::write_axis_command(a, chip::cmd::kImmediateStop);
    }
}

void enable_step(std::int16_t axis, std::int16_t on_off, double step_distance) {
    const int card = card_of(axis);
    if (on_off == 1) {
        set_step_distance(axis, step_distance);
        write_control(card, control::kJogStepEnabled);
        write_live_kind(axis, chip::manual::kKindStep);
        chip::write_axis_command(axis, chip::cmd::kStartRamped);
    } else if (on_off == 0) {
        write_control(card, 0);
        chip::write_axis_command(axis, chip::cmd::kImmediateStop);
    }
}

void set_step_distance(std::int16_t axis, double step_distance) {
    axis_record(axis).step_distance = step_distance;
    chip::LocalChipSink sink(axis, motion::kLive);
    sink.write(chip::kMoveAmount, static_cast<std::uint32_t>(truncate_to<std::int32_t>(step_distance)));
}

void set_jog_velocity(std::int16_t axis, const ProfileArgs& p, std::int16_t percent) {
    AxisRecord& rec = axis_record(axis);
    store(rec.jog, p);
    rec.jog_param = percent;
    program_scaled(axis, p, percent);
}

void set_step_velocity(std::int16_t axis, const ProfileArgs& p, std::int16_t percent) {
    AxisRecord& rec = axis_record(axis);
    store(rec.step, p);
    rec.step_param = percent;
    program_scaled(axis, p, percent);
    // The chip finds the step's ramp-down point itself: the manual point is 0.
    chip::LocalChipSink sink(axis, motion::kLive);
    sink.write(chip::kRampDownPoint, 0);
}

void set_hand_wheel_velocity(std::int16_t axis, const ProfileArgs& p) {
    store(axis_record(axis).mpg, p);
    constexpr double kHandWheelStartSpeed = 100.0;
    motion::compute_speed_registers(axis, kHandWheelStartSpeed, p.max_vel, motion::kLive);
    motion::compute_rates(axis, motion::Curve::kTrapezoid, p.tacc, p.tdec, 0, 0, motion::kLive);
}

void configure_hand_wheel(int card, std::int16_t enable, std::int16_t mode, std::int16_t wheel_axis) {
    std::uint32_t word = read_control(card) & control::kBoardBits.mask;
    word = with_field(word, control::kEnable, static_cast<std::uint32_t>(enable));
    word = with_field(word, control::kWheelOneAxis, static_cast<std::uint32_t>(mode));
    word = with_field(word, control::kWheelAxis, static_cast<std::uint32_t>(wheel_axis));
    write_control(card, static_cast<std::uint16_t>(word));

    if (enable == 1) {
        const int from = mode == 0 ? first_axis(card) : first_axis(card) + wheel_axis;
        const int to = mode == 0 ? first_axis(card) + kAxesPerCard : from + 1;
        for (int a = from; a < to; ++a) {
            write_live_kind(a, chip::manual::kKindHandWheel);
            chip::write_axis_command(a, chip::cmd::kStartAtMaxSpeed);
            update_env3(a, 0, chip::manual::kHandWheelEnable.mask);
        }
        return;
    }
    for (int a = first_axis(card); a < first_axis(card) + kAxesPerCard; ++a) {
        update_env3(a, chip::manual::kHandWheelCleared.mask, 0);
        chip::write_axis_command(a, chip::cmd::kImmediateStop);
    }
}

void select_hand_wheel_axis(int card, std::int16_t wheel_axis) {
    card_record(card).mpg_option = wheel_axis;
    const std::uint16_t kept = read_control(card) & control::kKeptByWheelAxisChange;
    write_control(card, static_cast<std::uint16_t>(kept | (static_cast<std::uint16_t>(wheel_axis) << 4)));
}

std::uint16_t pulser_ratio_half(std::int16_t ratio_p, std::int16_t ratio_m) {
    const auto p_less_one = static_cast<std::uint16_t>(ratio_p - 1);
    const auto m_less_one = static_cast<std::uint16_t>(ratio_m - 1);
    return static_cast<std::uint16_t>((m_less_one << chip::manual::kPulserRatioMShift) | p_less_one);
}

void set_pulser_ratio(std::int16_t axis, std::int16_t ratio_p, std::int16_t ratio_m) {
    AxisRecord& rec = axis_record(axis);
    rec.ratio_p = ratio_p;
    rec.ratio_m = ratio_m;
    const std::uint32_t half = pulser_ratio_half(ratio_p, ratio_m);
    chip::update_mirrored(axis, chip::kEnv6, chip::manual::kPulserRatioHalf.mask,
                          half << chip::manual::kPulserRatioHalf.shift);
}

void set_pulser_input_mode(std::int16_t axis, std::int16_t mode, std::int16_t inverse) {
    std::uint32_t env2 = axis_record(axis).mirror[chip::kEnv2];
    env2 = with_field(env2, chip::manual::kPulserInputMode, static_cast<std::uint32_t>(mode) & 3u);
    env2 = with_field(env2, chip::manual::kPulserInputInverse, static_cast<std::uint32_t>(inverse) & 1u);
    chip::write_mirrored(axis, chip::kEnv2, chip::kMirrorWriteCode[chip::kEnv2], env2);
}

}  // namespace quvex::manual
