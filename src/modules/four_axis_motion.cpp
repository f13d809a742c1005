#include "modules/four_axis_motion.h"

#include <optional>

#include "common/bits.h"
#include "modules/four_axis_codes.h"
#include "modules/four_axis_profile.h"
#include "quvex/quvex_base.h"

namespace quvex::modules::m4 {
namespace {

std::optional<std::uint32_t> pinned_range(const ring::ModuleAxisBlock& b) {
    return b.speed_range_fixed == 1 ? std::optional<std::uint32_t>(b.speed_range) : std::nullopt;
}

Profile plan(const ring::ModuleAxisBlock& b, motion::Curve curve, const SpeedArgs& a) {
    return curve == motion::Curve::kSCurve
               ? kProfile.s_profile(a.str_vel, a.max_vel, a.tacc, a.tdec, a.sv_acc, a.sv_dec, pinned_range(b))
               : kProfile.t_profile(a.str_vel, a.max_vel, a.tacc, a.tdec, pinned_range(b));
}

// Mirrors the profile into the axis block, the curve bit of the operation mode included.
void store(ring::ModuleAxisBlock& b, motion::Curve curve, const Profile& p, double tdec) {
    const bool s_curve = curve == motion::Curve::kSCurve;
    b.last_decel_time = tdec;
    b.speed_range = p.speeds.range;
    b.max_speed_reg = p.speeds.fh;
    b.start_speed_reg = p.speeds.fl;
    b.accel_rate = p.rates.accel;
    b.decel_rate = p.rates.decel;
    if (s_curve) {
        b.s_accel_section = p.rates.s_accel;
        b.s_decel_section = p.rates.s_decel;
    }
    b.operation_mode = with_field(b.operation_mode, mode::kSCurve, s_curve ? 1u : 0u);
}

void emit(AxisSink& sink, motion::Curve curve, const Profile& p, const ring::ModuleAxisBlock& b) {
    motion::emit_speeds(p.speeds, sink);
    motion::emit_rates(curve, p.rates, sink);
    sink.write(chip::kOperationMode, b.operation_mode);
}

std::int16_t start_positioning(Link& link, int axis, std::int64_t dist) {
    ring::ModuleAxisBlock& b = link.block(axis);
    b.move_amount = static_cast<std::uint32_t>(dist) & kAmountMask;
    b.operation_mode = with_field(b.operation_mode, mode::kOperation, mode::kRelative);
    if (const std::int16_t r = link.write_axis(axis, code::kOperationLive + chip::kOperationMode, b.operation_mode)) {
        return r;
    }
    if (const std::int16_t r = link.write_axis(axis, code::kOperationLive + chip::kMoveAmount, b.move_amount)) return r;
    return link.command(axis, code::kStartRamped);
}

std::int16_t start_operation(Link& link, int axis, std::uint32_t operation) {
    ring::ModuleAxisBlock& b = link.block(axis);
    b.operation_mode = with_field(b.operation_mode, mode::kOperation, operation);
    link.write_axis(axis, code::kOperationLive + chip::kOperationMode, b.operation_mode);
    return link.command(axis, code::kStartRamped);
}

}  // namespace

std::int16_t load_profile(Link& link, int axis, motion::Curve curve, const SpeedArgs& a) {
    ring::ModuleAxisBlock& b = link.block(axis);
    const Profile p = plan(b, curve, a);
    store(b, curve, p, a.tdec);
    AxisSink sink(link, axis, Bank::kLive);
    emit(sink, curve, p, b);
    sink.write(chip::kCorrectionSpeed, p.speeds.fl);
    return sink.result();
}

std::int16_t load_buffered_profile(Link& link, int axis, motion::Curve curve, const SpeedArgs& a) {
    ring::ModuleAxisBlock& b = link.block(axis);
    const Profile p = plan(b, curve, a);
    store(b, curve, p, a.tdec);
    AxisSink sink(link, axis, Bank::kBuffered, OnFailure::kStop);
    emit(sink, curve, p, b);
    return sink.result();
}

std::int16_t pin_speed_range(Link& link, int axis, double max_vel) {
    ring::ModuleAxisBlock& b = link.block(axis);
    const motion::SpeedRegisters s = kProfile.pinned_speeds(max_vel);
    b.speed_range = s.range;
    b.max_speed_reg = s.fh;
    b.start_speed_reg = s.fl;
    // The range itself goes out with the next profile.
    AxisSink sink(link, axis, Bank::kLive);
    sink.write(chip::kMaxSpeed, s.fh);
    sink.write(chip::kStartSpeed, s.fl);
    b.speed_range_fixed = 1;
    return sink.result();
}

std::int16_t start_relative(Link& link, int axis, std::int32_t dist) {
    ring::ModuleAxisBlock& b = link.block(axis);
    b.prev_target_pos = b.target_pos;
    b.target_pos += dist;
    return start_positioning(link, axis, dist);
}

std::int16_t start_absolute(Link& link, int axis, std::int32_t pos) {
    const std::int64_t dist = static_cast<std::int64_t>(pos) - read_position(link, axis);
    ring::ModuleAxisBlock& b = link.block(axis);
    b.prev_target_pos = b.target_pos;
    b.target_pos = pos;
    return start_positioning(link, axis, dist);
}

std::int16_t start_velocity(Link& link, int axis, std::uint8_t dir) {
    return start_operation(link, axis, dir == 1 ? mode::kVelocityPlus : mode::kVelocityMinus);
}

std::int16_t start_home(Link& link, int axis, std::uint8_t dir) {
    return start_operation(link, axis, dir == 1 ? mode::kHomePlus : mode::kHomeMinus);
}

std::int32_t read_position(Link& link, int axis) {
    std::uint32_t counter = 0;
    link.read_axis(axis, code::kReadPosition, &counter);
    return static_cast<std::int32_t>(counter);
}

}  // namespace quvex::modules::m4
