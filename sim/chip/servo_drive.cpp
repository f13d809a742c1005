#include "servo_drive.h"

#include <cmath>
#include <limits>

#include "chip.h"

namespace qsim {
namespace {

constexpr double kNoDriveEvent = std::numeric_limits<double>::infinity();
// Spans shorter than this take the pulses at once: the motor has no time to move.
constexpr double kInstant = 1e-12;
constexpr double kSettled = 1e-6;  // pulses

// The motor follows while the servo is on and the deviation-clear output is off.
bool following(const Chip& c) { return c.output_on(chipcode::kServoOutput) && !c.output_on(chipcode::kErcOutputBit); }

// The encoder pulse nearest to a motor position, halves away from zero (as llround rounds),
// without the library call: the position less its whole part is exact in a double.
std::int64_t nearest_pulse(double x) {
    const auto whole = static_cast<std::int64_t>(x);
    const double rest = x - static_cast<double>(whole);
    if (rest >= 0.5) return whole + 1;
    if (rest <= -0.5) return whole - 1;
    return whole;
}

// e^(-x) for x >= 0: a short span by its series (four terms are exact to 1e-14 there), a long one
// as nothing left (below 1e-16, under a double's rounding of the 1 - e^(-x) it is taken from,
// so a ramp of some forty time constants costs no exponential), the rest by the library; the
// engine's spans are mostly one or the other.
double decay_over(double x) {
    if (x < 1e-3) return 1 - x * (1 - x * (0.5 - x / 6));
    if (x > 37) return 0;
    return std::exp(-x);
}

// Deviation reached over a span of dt seconds from e0 when the reference moves by `dx` pulses
// with a speed going in a straight line from v0 to v1. The speed line is scaled to the pulses
// actually given, so rounding of the pulses never leaves the motor behind for good.
double lagged_deviation(double e0, double dx, double dt, double tau, double v0, double v1) {
    if (tau <= 0) return 0;
    if (dt <= kInstant) return e0 + dx;
    const double decay = decay_over(dt / tau);
    const double nominal = 0.5 * (v0 + v1) * dt;
    double start = dx / dt;
    double slope = 0;
    if (std::fabs(nominal) > 1e-9) {
        const double k = dx / nominal;
        start = v0 * k;
        slope = (v1 - v0) / dt * k;
    }
    // e(t) = e0 e^(-t/τ) + ∫ v(s) e^(-(t-s)/τ) ds for v(s) = start + slope s.
    const double driven = start * tau * (1 - decay) + slope * (tau * dt - tau * tau * (1 - decay));
    return e0 * decay + driven;
}

// Time a deviation decaying from e0 towards the asymptote a needs to get to `level`; infinity
// when it never does.
double time_to_level(double e0, double a, double level, double tau) {
    const double from = e0 - a;
    const double to = level - a;
    if (tau <= 0 || from == 0 || to == 0 || (from > 0) != (to > 0) || std::fabs(to) >= std::fabs(from)) {
        return kNoDriveEvent;
    }
    return tau * std::log(from / to);
}

void note_band(ServoDrive& d, double e0, double from, double to, bool decaying) {
    const double band = d.params.in_position_band;
    if (std::fabs(d.deviation) > band) {
        d.within_since = -1;
        return;
    }
    if (d.within_since >= 0) return;
    if (std::fabs(e0) <= band) {
        d.within_since = from;
    } else if (decaying) {
        d.within_since = from + time_to_level(e0, 0, e0 > 0 ? band : -band, d.params.time_constant);
    } else {
        d.within_since = to;
    }
}

}  // namespace

void switch_drive(Chip& c, bool on, const DriveParams& params, double now) {
    ServoDrive& d = c.drive;
    if (d.on) advance_drive(c, now, 0, 0);
    const bool was_on = d.on;
    if (on && !was_on) {
        d = ServoDrive{};
        d.time = now;
        d.within_since = now;
    }
    d.on = on;
    d.params = params;
    if (!on) d.alarm = false;
    if (was_on != on) c.group().drives_on += on ? 1 : -1;
}

bool advance_drive(Chip& c, double t, double v_from, double v_to) {
    return !drive_idle_until(c.drive, t) && advance_busy_drive(c, t, v_from, v_to);
}

bool advance_busy_drive(Chip& c, double t, double v_from, double v_to) {
    ServoDrive& d = c.drive;
    const double from = d.time;
    const double dt = t - from;
    const std::int64_t dx = d.commanded - d.commanded_seen;
    d.commanded_seen = d.commanded;
    const double e0 = d.deviation;
    const bool clearing = c.output_on(chipcode::kErcOutputBit);
    if (clearing) {
        d.reference_offset += static_cast<double>(dx);  // the pulses are dropped; the motor stands
        d.deviation = 0;
    } else if (!c.output_on(chipcode::kServoOutput)) {
        d.deviation += static_cast<double>(dx);  // a free motor: the reference runs away from it
    } else {
        d.deviation = lagged_deviation(e0, static_cast<double>(dx), dt, d.params.time_constant, v_from, v_to);
        // A deviation far below a pulse is none: a settled drive then costs nothing to follow.
        if (dx == 0 && std::fabs(d.deviation) < kSettled) d.deviation = 0;
    }
    d.motor = (static_cast<double>(d.commanded) - d.reference_offset) - d.deviation;
    const std::int32_t error_before = c.error_counter;
    const std::int64_t fed = nearest_pulse(d.motor);
    const std::int64_t pulses = fed - d.fed_back;
    d.fed_back = fed;
    c.position_counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(c.position_counter) +
                                                   static_cast<std::uint32_t>(pulses));
    c.error_counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(c.error_counter) +
                                                static_cast<std::uint32_t>((clearing ? 0 : dx) - pulses));
    note_band(d, e0, from, t, dx == 0 && following(c));
    d.time = t;
    // Only a comparator watching the error counter cares that it moved: asked inline, as most
    // updates move it and most chips watch other counters.
    if (c.error_counter != error_before && error_counter_watched_by(c.env)) error_counter_moved(c, error_before, t);
    const bool was_alarm = d.alarm;
    const double limit = d.params.deviation_limit;
    if (limit > 0 && std::fabs(d.deviation) > limit) d.alarm = true;
    if (d.alarm && was_alarm && c.output_on(chipcode::kAlarmResetOutput)) drive_reset_alarm(c);
    return d.alarm && !was_alarm;
}

// Time until the deviation's size passes `limit` at commanded speed v; infinity when it does not.
static double time_past_level(const Chip& c, double v, double limit) {
    const ServoDrive& d = c.drive;
    const double tau = d.params.time_constant;
    const double e = d.deviation;
    double to_alarm = kNoDriveEvent;
    if (!c.output_on(chipcode::kServoOutput)) {
        if (v != 0) to_alarm = ((v > 0 ? limit : -limit) - e) / v;
        if (to_alarm < 0) to_alarm = kNoDriveEvent;
    } else {
        const double asymptote = v * tau;
        if (std::fabs(asymptote) > limit) to_alarm = time_to_level(e, asymptote, asymptote > 0 ? limit : -limit, tau);
    }
    return to_alarm;
}

// The drive's next event worked out; drive_event_time calls it only when one may come.
[[gnu::noinline]] static double next_drive_event(const Chip& c, double v, bool in_position) {
    const ServoDrive& d = c.drive;
    const double tau = d.params.time_constant;
    const double e = d.deviation;
    double at = kNoDriveEvent;
    const double limit = d.params.deviation_limit;
    // A following drive whose lag at this speed stays within a level never passes it.
    const bool servo_on = c.output_on(chipcode::kServoOutput);
    auto may_pass = [&](double level) { return !servo_on || std::fabs(v * tau) > level; };
    const bool clearing = c.output_on(chipcode::kErcOutputBit);
    const double check = clearing ? -1 : error_check_level(c);
    if (check >= 0 && may_pass(check + 1)) {
        // The error counter passes its check a pulse past the deviation's level.
        const double to_check = time_past_level(c, v, check + 1);
        if (to_check != kNoDriveEvent) at = std::min(at, d.time + to_check * (1 + 1e-9) + kInstant);
    }
    if (limit > 0 && !d.alarm && !clearing && may_pass(limit)) {
        const double to_alarm = time_past_level(c, v, limit);
        // A step past the level itself, so that the alarm is there when the time comes.
        if (to_alarm != kNoDriveEvent) at = std::min(at, d.time + to_alarm * (1 + 1e-9) + kInstant);
    }
    if (in_position) {
        const double band = d.params.in_position_band;
        double entered = d.within_since;
        if (entered < 0 && following(c) && std::fabs(v * tau) < band) {
            const double s = time_to_level(e, v * tau, e > 0 ? band : -band, tau);
            if (s != kNoDriveEvent) entered = d.time + s * (1 + 1e-9) + kInstant;
        }
        if (entered >= 0) at = std::min(at, std::max(entered + d.params.settling_time, d.time));
    }
    return at;
}

double drive_event_time(const Chip& c, double v, bool in_position) {
    const ServoDrive& d = c.drive;
    if (!d.on) return kNoDriveEvent;
    // The engine asks at each span it takes: a following drive whose lag at this speed stays
    // within its limit, with no error-counter check, has no event to work out.
    if (!in_position && c.output_on(chipcode::kServoOutput)) {
        const double limit = d.params.deviation_limit;
        const bool limit_out_of_reach = limit <= 0 || d.alarm || c.output_on(chipcode::kErcOutputBit) ||
                                        std::fabs(v * d.params.time_constant) <= limit;
        if (limit_out_of_reach && (!error_counter_watched_by(c.env) || error_check_level(c) < 0)) return kNoDriveEvent;
    }
    return next_drive_event(c, v, in_position);
}

bool drive_watches_levels(const Chip& c) {
    const ServoDrive& d = c.drive;
    return (d.params.deviation_limit > 0 && !d.alarm) || (error_counter_watched_by(c.env) && error_check_level(c) >= 0);
}

void drive_clear_deviation(Chip& c) {
    ServoDrive& d = c.drive;
    if (!d.on) return;
    d.reference_offset = static_cast<double>(d.commanded) - d.motor;
    d.deviation = 0;
    if (d.within_since < 0) d.within_since = d.time;
}

void drive_reset_alarm(Chip& c) {
    ServoDrive& d = c.drive;
    const double limit = d.params.deviation_limit;
    if (limit <= 0 || std::fabs(d.deviation) <= limit) d.alarm = false;
}

bool alarm_signal(const Chip& c) { return c.inputs.alarm || c.drive.alarm; }

bool in_position_signal(const Chip& c) {
    const ServoDrive& d = c.drive;
    if (!d.on) return c.inputs.in_position;
    return d.within_since >= 0 && d.time - d.within_since >= d.params.settling_time - kInstant;
}

}  // namespace qsim
