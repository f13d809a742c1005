#include "modules/one_axis_motion.h"

#include <cmath>
#include <optional>

#include "common/bits.h"
#include "modules/one_axis_codes.h"
#include "modules/one_axis_profile.h"
#include "modules/one_axis_sink.h"
#include "quvex/quvex_base.h"

namespace quvex::modules::m1 {
namespace {

std::optional<std::uint32_t> pinned_range(const ring::ModuleAxisBlock& b) {
    return b.speed_range_fixed == 1 ? std::optional<std::uint32_t>(b.speed_range) : std::nullopt;
}

void store_speeds(ring::ModuleAxisBlock& b, const motion::SpeedRegisters& s) {
    b.speed_range = s.range;
    b.max_speed_reg = s.fh;
    b.start_speed_reg = s.fl;
}

// Both curves finish alike: the operation mode with its curve bit, then the start-speed copy.
std::int16_t finish_profile(ModuleSink& sink, const ring::ModuleAxisBlock& b) {
    sink.write(chip::kOperationMode, b.operation_mode);
    sink.write(chip::kCorrectionSpeed, b.start_speed_reg);
    return sink.last_result();
}

std::int16_t load_profile(Link& link, motion::Curve curve, const Profile& p, double tdec) {
    ring::ModuleAxisBlock& b = link.block();
    b.last_decel_time = tdec;
    store_speeds(b, p.speeds);
    b.accel_rate = p.rates.accel;
    b.decel_rate = p.rates.decel;
    const bool s_curve = curve == motion::Curve::kSCurve;
    if (s_curve) {
        b.s_accel_section = p.rates.s_accel;
        b.s_decel_section = p.rates.s_decel;
    }
    b.operation_mode = with_field(b.operation_mode, mode::kSCurve, s_curve ? 1u : 0u);
    ModuleSink sink(link);
    motion::emit_speeds(p.speeds, sink);
    motion::emit_rates(curve, p.rates, sink);
    return finish_profile(sink, b);
}

// The signed distance as the 28-bit amount register holds it.
std::uint32_t amount_word(std::int64_t dist) { return static_cast<std::uint32_t>(dist) & kAmountMask; }

std::int16_t start_positioning(Link& link, std::int64_t dist) {
    ring::ModuleAxisBlock& b = link.block();
    b.move_amount = amount_word(dist);
    b.operation_mode = with_field(b.operation_mode, mode::kOperation, mode::kRelative);
    ModuleSink sink(link);
    sink.write(chip::kOperationMode, b.operation_mode);
    sink.write(chip::kMoveAmount, b.move_amount);
    if (sink.last_result() != 0) return sink.last_result();
    return link.command(code::kStartRamped);
}

std::int16_t start_operation(Link& link, std::uint32_t operation) {
    ring::ModuleAxisBlock& b = link.block();
    b.operation_mode = with_field(b.operation_mode, mode::kOperation, operation);
    ModuleSink sink(link);
    sink.write(chip::kOperationMode, b.operation_mode);
    return link.command(code::kStartRamped);
}

}  // namespace

std::int16_t load_t_profile(Link& link, const SpeedArgs& a) {
    const Profile p = kProfile.t_profile(a.str_vel, a.max_vel, a.tacc, a.tdec, pinned_range(link.block()));
    return load_profile(link, motion::Curve::kTrapezoid, p, a.tdec);
}

std::int16_t load_s_profile(Link& link, const SpeedArgs& a) {
    const Profile p =
        kProfile.s_profile(a.str_vel, a.max_vel, a.tacc, a.tdec, a.sv_acc, a.sv_dec, pinned_range(link.block()));
    return load_profile(link, motion::Curve::kSCurve, p, a.tdec);
}

std::int16_t pin_speed_range(Link& link, double max_vel) {
    ring::ModuleAxisBlock& b = link.block();
    const motion::SpeedRegisters s = kProfile.pinned_speeds(max_vel);
    store_speeds(b, s);
    // The range itself goes out with the next profile.
    ModuleSink sink(link);
    sink.write(chip::kMaxSpeed, s.fh);
    sink.write(chip::kStartSpeed, s.fl);
    sink.write(chip::kCorrectionSpeed, s.fl);
    b.speed_range_fixed = 1;
    return sink.last_result();
}

std::int16_t start_relative(Link& link, std::int32_t dist) {
    ring::ModuleAxisBlock& b = link.block();
    b.prev_target_pos = b.target_pos;
    b.target_pos += dist;
    return start_positioning(link, dist);
}

std::int16_t start_absolute(Link& link, std::int32_t pos) {
    std::uint32_t counter = 0;
    link.read(code::kReadPosition, &counter);
    const std::int64_t dist = static_cast<std::int64_t>(pos) - static_cast<std::int32_t>(counter);
    ring::ModuleAxisBlock& b = link.block();
    b.prev_target_pos = b.target_pos;
    b.target_pos = pos;
    return start_positioning(link, dist);
}

std::int16_t start_velocity(Link& link, std::uint8_t dir) {
    return start_operation(link, dir == 1 ? mode::kVelocityPlus : mode::kVelocityMinus);
}

std::int16_t start_home(Link& link, std::uint8_t dir) {
    return start_operation(link, dir == 1 ? mode::kHomePlus : mode::kHomeMinus);
}

std::int16_t change_speed(Link& link, double new_vel, double time) {
    ring::ModuleAxisBlock& b = link.block();
    std::uint32_t reading = 0;
    link.read(code::kReadCurrentSpeed, &reading);
    const std::uint32_t current = reading & kCurrentSpeedMask;
    const std::uint32_t fh = speed_register(b.speed_range, std::fabs(new_vel));
    if (fh == current || fh == b.start_speed_reg) return KRING_ERR_SPEED_CHANGE_SAME;

    const bool positioning = (b.operation_mode & mode::kPositioningBits) != 0;
    const SpeedChange c =
        plan_speed_change(b.speed_range, fh, current, b.start_speed_reg, time, b.last_decel_time, positioning);
    if (positioning) {
        std::uint32_t remaining = 0;
        link.read(code::kReadRemaining, &remaining);
        if (c.change_pulses + static_cast<double>(c.ramp_down_point) > static_cast<double>(remaining)) {
            return KRING_ERR_SPEED_CHANGE_ROOM;
        }
    }
    ModuleSink sink(link);
    b.max_speed_reg = c.fh;
    sink.write(chip::kMaxSpeed, c.fh);
    if (c.slowing) {
        b.decel_rate = c.rate;
        b.s_decel_section = 0;
        sink.write(chip::kSDecelSection, 0);
        sink.write(chip::kDecelRate, c.rate);
    } else {
        b.accel_rate = c.rate;
        b.s_accel_section = 0;
        sink.write(chip::kSAccelSection, 0);
        sink.write(chip::kAccelRate, c.rate);
        if (positioning) {
            b.decel_rate = c.decel_rate;
            sink.write(chip::kDecelRate, c.decel_rate);
        }
    }
    if (positioning) {
        b.ramp_down_point = c.ramp_down_point;
        sink.write(chip::kRampDownPoint, c.ramp_down_point);
    }
    return QUVEX_OK;
}

}  // namespace quvex::modules::m1
