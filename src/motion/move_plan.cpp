#include "motion/move_plan.h"

#include <algorithm>
#include <cmath>

#include "common/numeric.h"
#include "motion/profile_math.h"

namespace quvex::motion {
namespace {

double multiplier_of(const SpeedRegisters& s) { return SpeedUnits::multiplier(s.range); }
double d(std::uint32_t v) { return static_cast<double>(v); }

// A signed 32-bit register value in its unsigned register form.
std::uint32_t register_word(std::int32_t v) { return static_cast<std::uint32_t>(v); }

}  // namespace

SpeedRegisters plan_speeds(const SpeedUnits& u, double str_vel, double max_vel,
                           std::optional<std::uint32_t> pinned_range) {
    return ProfileBuilder(u).speeds(str_vel, max_vel, pinned_range);
}

RampRates plan_t_rates(const SpeedUnits& u, const SpeedRegisters& s, double tacc, double tdec) {
    return ProfileBuilder(u).t_rates(s, tacc, tdec);
}

RampRates plan_s_rates(const SpeedUnits& u, const SpeedRegisters& s, double tacc, double tdec, double sv_acc,
                       double sv_dec) {
    return ProfileBuilder(u).s_rates(s, tacc, tdec, sv_acc, sv_dec);
}

std::uint32_t plan_peak(const SpeedUnits& u, Curve curve, std::int32_t amount, const SpeedRegisters& s,
                        const RampRates& r) {
    const double pulses = std::fabs(static_cast<double>(amount));
    const double m = multiplier_of(s);
    const double fh = curve == Curve::kSCurve
                          ? math::s_peak_limit(u, pulses, d(s.fl), d(s.fh), d(r.accel), d(r.decel), d(r.s_accel),
                                               d(r.s_decel), m)
                          : math::t_peak_limit(u, pulses, d(s.fl), d(s.fh), d(r.accel), d(r.decel), m);
    return truncate_to<std::uint32_t>(fh);
}

std::uint32_t plan_ramp_down(const SpeedUnits& u, Curve curve, bool asked, std::uint32_t peak, const SpeedRegisters& s,
                             const RampRates& r) {
    if (!asked) return 0;
    const double m = multiplier_of(s);
    if (curve == Curve::kSCurve) {
        // The S-curve point is truncated as it is, with no clamp.
        return register_word(truncate_to<std::int32_t>(math::s_ramp_distance(u, d(peak), d(s.fl), d(r.decel),
                                                                              d(r.s_decel), m)));
    }
    const double distance = math::t_ramp_distance(u, d(peak), d(s.fl), d(r.decel), m);
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(floor_to<std::int64_t>(distance), 0, u.max_ramp_down_point));
}

MovePlan plan_move(const SpeedUnits& u, const MoveRequest& q) {
    MovePlan p;
    p.curve = q.curve;
    p.move_amount = truncate_to<std::int32_t>(q.amount);
    const ProfileBuilder profile(u);
    p.speeds = profile.speeds(q.str_vel, q.max_vel, q.pinned_range);
    p.t_rates = profile.t_rates(p.speeds, q.tacc, q.tdec);
    if (q.curve == Curve::kSCurve) p.s_rates = profile.s_rates(p.speeds, q.tacc, q.tdec, q.sv_acc, q.sv_dec);
    p.peak = plan_peak(u, q.curve, p.move_amount, p.speeds, p.rates());
    p.ramp_down_point = plan_ramp_down(u, q.curve, q.ramp_down_point, p.peak, p.speeds, p.rates());
    return p;
}

void emit_speeds(const SpeedRegisters& s, chip::RegisterSink& sink) {
    sink.write(chip::kSpeedRange, s.range);
    sink.write(chip::kMaxSpeed, s.fh);
    sink.write(chip::kStartSpeed, s.fl);
}

void emit_rates(Curve curve, const RampRates& r, chip::RegisterSink& sink) {
    if (curve == Curve::kSCurve) {
        sink.write(chip::kSAccelSection, r.s_accel);
        sink.write(chip::kAccelRate, r.accel);
        sink.write(chip::kSDecelSection, r.s_decel);
        sink.write(chip::kDecelRate, r.decel);
    } else {
        sink.write(chip::kAccelRate, r.accel);
        sink.write(chip::kDecelRate, r.decel);
    }
}

void emit_step(const MovePlan& plan, PlanStep step, chip::RegisterSink& sink) {
    switch (step) {
        case PlanStep::kMoveAmount: sink.write(chip::kMoveAmount, register_word(plan.move_amount)); return;
        case PlanStep::kSpeeds: emit_speeds(plan.speeds, sink); return;
        case PlanStep::kTRates: emit_rates(Curve::kTrapezoid, plan.t_rates, sink); return;
        case PlanStep::kSRates: emit_rates(Curve::kSCurve, plan.s_rates, sink); return;
        case PlanStep::kRates: emit_rates(plan.curve, plan.rates(), sink); return;
        case PlanStep::kPeak: sink.write(chip::kMaxSpeed, plan.peak); return;
        case PlanStep::kRampDown: sink.write(chip::kRampDownPoint, plan.ramp_down_point); return;
    }
}

void emit_move(const MovePlan& plan, chip::RegisterSink& sink) {
    for (const PlanStep step : kPositioningOrder) emit_step(plan, step, sink);
}

}  // namespace quvex::motion
