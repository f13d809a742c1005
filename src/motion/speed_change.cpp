#include "motion/speed_change.h"

#include <algorithm>
#include <cmath>

#include "ports/local_chip_sink.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "common/bits.h"
#include "common/numeric.h"
#include "card/card_table.h"
#include "motion/speed_profile.h"
#include "quvex/quvex_base.h"

namespace quvex::motion {
namespace {

std::uint32_t clamped_floor(double v, std::uint32_t lo, std::uint32_t hi) {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(floor_to<std::int64_t>(v), lo, hi));
}

// Rate of a ramp over `span` speed units lasting `time` seconds: linear over the span, a pure S
// at half the clock, an S with a section over the span and both sections.
std::uint32_t linear_rate(const SpeedUnits& u, double time, double span, std::uint32_t lo) {
    return clamped_floor(time * u.rate_clock / span - 1.0, lo, u.max_rate);
}
std::uint32_t s_rate(const SpeedUnits& u, double time, double span, std::uint32_t section) {
    if (section == 0) return clamped_floor(time * (u.rate_clock / 2.0) / span - 1.0, 0, u.max_rate);
    return clamped_floor(time * u.rate_clock / (span + 2.0 * section) - 1.0, 0, u.max_rate);
}

// Lowest deceleration rate of a T-curve (a rate of 0 would not decelerate); S-curves allow 0.
constexpr std::uint32_t kMinTDecelRate = 1;

// Pulses the deceleration from the new peak to the start speed needs at rate `decel`.
std::uint32_t change_ramp_down(const SpeedUnits& u, const RunningMove& mv, std::uint32_t peak, std::uint32_t decel) {
    const double m = SpeedUnits::multiplier(mv.range);
    const double n = peak;
    const double fl = mv.fl;
    const double k = static_cast<double>(decel) + 1.0;
    double pulses = 0;
    if (mv.curve == Curve::kTrapezoid) {
        pulses = k * (n - fl) * (n + fl) / m / u.linear_ramp_scale;
    } else if (mv.s_decel == 0) {
        pulses = k * (n - fl) * (n + fl) / m / u.pure_s_ramp_scale();
    } else {
        pulses = k * (2.0 * mv.s_decel + n - fl) * (n + fl) / m / u.linear_ramp_scale;
    }
    return clamped_floor(pulses, 0, u.max_ramp_down_point);
}

class PlanWriter {
public:
    explicit PlanWriter(SpeedChangePlan& plan) : plan_(plan) {}
    void operator()(chip::OperationRegister n, std::uint32_t value) { plan_.writes[plan_.write_count++] = {n, value}; }

private:
    SpeedChangePlan& plan_;
};

void plan_continuous(const SpeedUnits& u, const RunningMove& mv, std::uint32_t cur, SpeedChangePlan& plan,
                     double time) {
    PlanWriter put(plan);
    const double n = plan.new_speed;
    const bool up = plan.new_speed > cur;
    const double span = up ? n - cur : cur - n;
    put(chip::kMaxSpeed, plan.new_speed);
    if (mv.curve == Curve::kTrapezoid) {
        // A linear ramp: the section of that direction goes to 0.
        put(up ? chip::kSAccelSection : chip::kSDecelSection, 0);
        put(up ? chip::kAccelRate : chip::kDecelRate, linear_rate(u, time, span, up ? 0 : kMinTDecelRate));
    } else {
        // The sections stay as they are; the rate is the pure S one over the span.
        put(up ? chip::kAccelRate : chip::kDecelRate, s_rate(u, time, span, 0));
    }
}

void plan_positioning(const SpeedUnits& u, const RunningMove& mv, std::uint32_t cur, SpeedChangePlan& plan,
                      double time) {
    PlanWriter put(plan);
    const double m = SpeedUnits::multiplier(mv.range);
    const double n = plan.new_speed;
    const bool up = plan.new_speed > cur;
    const double span = up ? n - cur : static_cast<double>(cur) - n;
    const double to_start = n - static_cast<double>(mv.fl);
    const bool t_curve = mv.curve == Curve::kTrapezoid;

    // While the speed changes the axis covers half the difference more (or less) than at the
    // old speed: the ramp-down has to move by that much.
    const double extra = std::floor(span * (time * 0.5) * u.unit_numerator / m);

    std::uint32_t accel = 0;
    std::uint32_t decel = 0;
    if (t_curve) {
        if (up) {
            accel = linear_rate(u, time, span, 0);
            // The final deceleration from the new peak keeps the last deceleration time.
            decel = linear_rate(u, mv.last_decel_time, to_start, kMinTDecelRate);
        } else {
            decel = linear_rate(u, time, span, kMinTDecelRate);
        }
    } else {
        if (up) {
            accel = s_rate(u, time, span, mv.s_accel);
            decel = s_rate(u, mv.last_decel_time, to_start, mv.s_decel);
        } else {
            // Slowing down on an S-curve spreads the last deceleration time over the difference.
            decel = s_rate(u, mv.last_decel_time, span, mv.s_decel);
        }
    }
    plan.ramp_down_point = change_ramp_down(u, mv, plan.new_speed, decel);
    plan.room_needed = extra + plan.ramp_down_point;

    put(chip::kMaxSpeed, plan.new_speed);
    if (t_curve) put(up ? chip::kSAccelSection : chip::kSDecelSection, 0);
    if (up) put(chip::kAccelRate, accel);
    put(chip::kDecelRate, decel);
    put(chip::kRampDownPoint, plan.ramp_down_point);
}

// The chip's current speed register holds the speed in its low half.
constexpr Field kCurrentSpeed = field(0, 16);

}  // namespace

std::uint32_t speed_change_units(const SpeedUnits& u, std::uint32_t range, double vel) {
    return floor_to<std::uint32_t>(SpeedUnits::multiplier(range) * vel / u.unit_numerator);
}

SpeedChangePlan plan_speed_change(const SpeedUnits& u, const RunningMove& move, std::uint32_t current,
                                  std::uint32_t new_speed, double time) {
    SpeedChangePlan plan;
    plan.new_speed = new_speed;
    if (new_speed == current || new_speed == move.fl) {
        plan.outcome = ChangeOutcome::kSameSpeed;
        return plan;
    }
    if (move.positioning) {
        plan_positioning(u, move, current, plan, time);
    } else {
        plan_continuous(u, move, current, plan, time);
    }
    return plan;
}

void emit_speed_change(const SpeedChangePlan& plan, chip::RegisterSink& sink) {
    for (std::size_t k = 0; k < plan.write_count; ++k) sink.write(plan.writes[k].first, plan.writes[k].second);
}

RunningMove running_move(std::int16_t axis) {
    const AxisRecord& rec = axis_record(axis);
    const std::uint32_t mode = rec.mirror[chip::kMirrorOperationMode];
    RunningMove mv;
    mv.curve = field_value(mode, chip::opmode::kSCurve) != 0 ? Curve::kSCurve : Curve::kTrapezoid;
    mv.positioning = (mode & chip::opmode::kPositioningKindBits) != 0;
    mv.range = rec.mirror[chip::kMirrorSpeedRange];
    mv.fl = rec.mirror[chip::kMirrorStartSpeed];
    mv.s_accel = rec.mirror[chip::kMirrorSAccelSection];
    mv.s_decel = rec.mirror[chip::kMirrorSDecelSection];
    mv.last_decel_time = rec.last_decel_time;
    return mv;
}

std::int16_t change_speed(std::int16_t axis, double new_vel, double time) {
    const RunningMove mv = running_move(axis);
    const std::uint32_t cur = field_value(chip::read_register32(axis, chip::reg::kReadCurrentSpeed), kCurrentSpeed);
    const std::uint32_t n = speed_change_units(kLocalChipUnits, mv.range, std::fabs(new_vel));
    const SpeedChangePlan plan = plan_speed_change(kLocalChipUnits, mv, cur, n, time);
    if (plan.outcome == ChangeOutcome::kSameSpeed) return QUVEX_ERR_SPEED_CHANGE_SAME;
    if (mv.positioning && chip::read_register32(axis, chip::reg::kReadRemainingPulses) < plan.room_needed) {
        return QUVEX_ERR_SPEED_CHANGE_ROOM;
    }
    chip::LocalChipSink sink(axis, kLive);
    emit_speed_change(plan, sink);
    return QUVEX_OK;
}

std::int16_t prepare_speed_change(std::int16_t axis, double dist, double cur_vel, double new_vel, double time) {
    const RunningMove mv = running_move(axis);
    const std::uint32_t cur = speed_change_units(kLocalChipUnits, mv.range, std::fabs(cur_vel));
    const std::uint32_t n = speed_change_units(kLocalChipUnits, mv.range, std::fabs(new_vel));
    const SpeedChangePlan plan = plan_speed_change(kLocalChipUnits, mv, cur, n, time);
    if (plan.outcome == ChangeOutcome::kSameSpeed) return QUVEX_ERR_SPEED_CHANGE_SAME;
    // An S-curve positioning move is checked against the caller's distance and changed live; the
    // others go to the buffered bank for the next load, a T-curve positioning move checked
    // against the chip's remaining pulses.
    const bool s_positioning = mv.positioning && mv.curve == Curve::kSCurve;
    if (mv.positioning) {
        const double left = s_positioning
                                ? std::fabs(dist)
                                : static_cast<double>(chip::read_register32(axis, chip::reg::kReadRemainingPulses));
        if (left < plan.room_needed) return QUVEX_ERR_SPEED_CHANGE_ROOM;
    }
    chip::LocalChipSink sink(axis, s_positioning ? kLive : kBuffered);
    emit_speed_change(plan, sink);
    return QUVEX_OK;
}

}  // namespace quvex::motion
