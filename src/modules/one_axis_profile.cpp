#include "modules/one_axis_profile.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/numeric.h"
#include "motion/profile_math.h"

namespace quvex::modules::m1 {
namespace {

constexpr std::uint32_t kHighStartSpeed = 500;  // FL for a start speed above the top of the range

double d(std::uint32_t v) { return static_cast<double>(v); }

std::uint32_t clamp_to(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, lo, hi));
}

// floor(t · clock / span - 1): a negative result is 1, above the register width the top.
std::uint32_t t_rate(double t, double span) {
    const std::int64_t r = floor_to<std::int64_t>(t * kUnits.rate_clock / span - 1.0);
    return r < 0 ? 1 : clamp_to(r, 0, kUnits.max_rate);
}

std::uint32_t s_section(double m, double sv, double speed_change) {
    if (sv == 0.0) return 1;
    if (speed_change / 2.0 < sv) return 0;
    return clamp_to(floor_to<std::int64_t>(m * sv / kUnits.unit_numerator), 1, kUnits.max_s_section);
}

// A section of 1 ramps linearly, 0 is pure S (half the clock), otherwise the section widens the span.
std::uint32_t s_rate(double t, double span, std::uint32_t section) {
    double q = 0;
    if (section == 1) {
        q = t * kUnits.rate_clock / span;
    } else if (section == 0) {
        q = t * (kUnits.rate_clock / 2.0) / span;
    } else {
        q = t * kUnits.rate_clock / (span + 2.0 * section);
    }
    return clamp_to(floor_to<std::int64_t>(q - 1.0), 0, kUnits.max_rate);
}

// A floored change rate as the 32-bit data word it is sent in: a negative floor goes as its
// two's-complement pattern (-1 is 0xFFFFFFFF); floors beyond the word saturate at its ends.
std::uint32_t change_rate_word(double floored) {
    constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kHighest = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(floor_to<std::int64_t>(floored), kLowest, kHighest));
}

double span_of(const motion::SpeedRegisters& s) { return d(s.fh) - d(s.fl); }

double raised_start_speed(double str_vel, std::uint32_t range) {
    return std::max(str_vel, motion::math::lowest_start_speed(kUnits, motion::SpeedUnits::multiplier(range)));
}

}  // namespace

std::uint32_t speed_register(std::uint32_t range, double vel) {
    return motion::math::max_speed_units(kUnits, motion::SpeedUnits::multiplier(range), vel);
}

motion::SpeedRegisters profile_speeds(double str_vel, double max_vel, std::optional<std::uint32_t> pinned_range) {
    const std::uint32_t range = pinned_range.value_or(motion::math::table_speed_range(kUnits, max_vel));
    const double m = motion::SpeedUnits::multiplier(range);
    const std::uint32_t fh = speed_register(range, max_vel);
    const std::int64_t fl_units = ceil_to<std::int64_t>(m * raised_start_speed(str_vel, range) / kUnits.unit_numerator);
    const std::uint32_t fl = fl_units > kUnits.max_speed ? kHighStartSpeed : clamp_to(fl_units, 1, kUnits.max_speed);
    const motion::math::SpeedPair pair = motion::math::break_speed_tie(kUnits, {fh, fl});
    return {range, pair.fh, pair.fl};
}

Profile t_profile(double str_vel, double max_vel, double tacc, double tdec, std::optional<std::uint32_t> pinned_range) {
    Profile p;
    p.speeds = profile_speeds(str_vel, max_vel, pinned_range);
    p.rates.accel = t_rate(tacc, span_of(p.speeds));
    p.rates.decel = t_rate(tdec, span_of(p.speeds));
    return p;
}

Profile s_profile(double str_vel, double max_vel, double tacc, double tdec, double sv_acc, double sv_dec,
                  std::optional<std::uint32_t> pinned_range) {
    Profile p;
    p.speeds = profile_speeds(str_vel, max_vel, pinned_range);
    const double m = motion::SpeedUnits::multiplier(p.speeds.range);
    const double change = max_vel - raised_start_speed(str_vel, p.speeds.range);
    const double span = span_of(p.speeds);
    p.rates.s_accel = s_section(m, sv_acc, change);
    p.rates.accel = s_rate(tacc, span, p.rates.s_accel);
    p.rates.s_decel = s_section(m, sv_dec, change);
    p.rates.decel = s_rate(tdec, span, p.rates.s_decel);
    return p;
}

motion::SpeedRegisters pinned_speeds(double max_vel) {
    const std::uint32_t range = motion::math::table_speed_range(kUnits, max_vel);
    // The pin starts from rest: FL is the lowest unit, which never ties with a top FH.
    return {range, speed_register(range, max_vel), 1};
}

SpeedChange plan_speed_change(std::uint32_t range, std::uint32_t fh, std::uint32_t current, std::uint32_t fl,
                              double time, double last_decel_time, bool positioning) {
    const double m = motion::SpeedUnits::multiplier(range);
    SpeedChange c;
    c.fh = fh;
    c.slowing = fh <= current;
    const double change = c.slowing ? d(current) - d(fh) : d(fh) - d(current);
    // The change's rates are plain floors: the module takes them as they come, so a rate above
    // the profile's 65535 (or -1 from a zero time) reaches it as computed.
    if (!positioning) {
        c.rate = change_rate_word(std::floor(time * kUnits.rate_clock / change - 1.0));
        return c;
    }
    c.change_pulses = std::floor(change * (time / 2.0) * kUnits.unit_numerator / m);
    double decel = 0;
    if (c.slowing) {
        decel = std::floor(kUnits.rate_clock / change * time - 1.0);
        c.rate = change_rate_word(decel);
    } else {
        c.rate = change_rate_word(std::floor(time * kUnits.rate_clock / change - 1.0));
        decel = std::floor(kUnits.rate_clock / (d(fh) - d(fl)) * last_decel_time * 0.8 - 1.0);
    }
    c.decel_rate = change_rate_word(decel);
    // The room the change needs follows the rate the module is sent, not a clamped one.
    const double rdp = (decel + 1.0) * (d(fh) - d(fl)) * (d(fh) + d(fl)) / m / 50000.0;
    c.ramp_down_point = clamp_to(floor_to<std::int64_t>(rdp), 0, kUnits.max_ramp_down_point);
    return c;
}

}  // namespace quvex::modules::m1
