#include "motion/profile_math.h"

#include <algorithm>
#include <cmath>

#include "common/numeric.h"

namespace quvex::motion::math {
namespace {

std::uint32_t clamp_units(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, lo, hi));
}

// The S-ramp regimes compare against the distance of a ramp whose span is exactly twice its
// section: an eighth of the linear scale.
double section_scale(const SpeedUnits& u) { return u.linear_ramp_scale / 8.0; }

}  // namespace

std::uint32_t table_speed_range(const SpeedUnits& u, double max_vel) {
    for (const RangeRow& row : u.range_table) {
        if (max_vel > row.above) return std::clamp(row.range, u.min_range, u.max_range);
    }
    return u.max_range;
}

double lowest_start_speed(const SpeedUnits& u, double m) { return std::ceil(u.unit_numerator / m); }

std::uint32_t max_speed_units(const SpeedUnits& u, double m, double vel) {
    return clamp_units(floor_to<std::int64_t>(m * vel / u.unit_numerator), 1, u.max_speed);
}

std::uint32_t start_speed_units(const SpeedUnits& u, double m, double vel) {
    return clamp_units(ceil_to<std::int64_t>(m * vel / u.unit_numerator), 1, u.max_speed);
}

SpeedPair break_speed_tie(const SpeedUnits& u, SpeedPair p) {
    if (p.fl != p.fh) return p;
    if (p.fh < u.max_speed) return {p.fh + 1, p.fl};
    return {p.fh, u.top_tie_start};
}

std::uint32_t s_section(const SpeedUnits& u, double m, double sv) {
    if (sv == 0.0) return 0;
    return clamp_units(floor_to<std::int64_t>(m * sv / u.unit_numerator), 1, u.max_s_section);
}

std::uint32_t s_rate(const SpeedUnits& u, double t, double span, std::uint32_t s) {
    const double quotient = s == 0 ? t * (u.rate_clock / 2.0) / span : t * u.rate_clock / (span + 2.0 * s);
    return clamp_units(floor_to<std::int64_t>(quotient - 1.0), 0, u.max_rate);
}

double t_peak_limit(const SpeedUnits& u, double pulses, double fl, double fh, double ur, double dr, double m) {
    const double scale = u.linear_ramp_scale;
    const double k = ur + dr + 2.0;
    const double full = k * (fh - fl) * (fh + fl) / m / scale;
    if (pulses > full) return fh;
    return std::sqrt(fl * fl + m * scale * pulses / k);
}

namespace {

// One ramp of the pair keeps its linear part while the other has become pure S. The two
// asymmetric regimes are mirror images: they differ only in which ramp has the smaller section.
// `a` = (UR + 1)·US + (DR + 1)·DS is the same for both.
double s_peak_asymmetric(const SpeedUnits& u, double pulses, double fl, double fh, double k, double a,
                         double s_small, double s_large, double rate_small, double rate_large, double m) {
    const double scale = u.linear_ramp_scale;
    const double q = scale * m * pulses;
    const double c = 2.0 * rate_large + rate_small + 3.0;
    const double b = (rate_small + 1.0) * s_small;
    const double t1 = (fh + fl) * ((fh - fl) * k + 2.0 * a) / m / scale;
    const double t2 = (s_large + fl) * (c * s_large + b) * 4.0 / m / scale;
    const double t3 = (s_small + fl) * s_small * k / section_scale(u) / m;
    if (t2 < pulses && pulses <= t1) return (std::sqrt(a * a + k * (k * fl * fl + q - 2.0 * a * fl)) - a) / k;
    if (t3 < pulses && pulses <= t2) return (std::sqrt(b * b + c * (c * fl * fl + q - 2.0 * b * fl)) - b) / c;
    if (pulses <= t3) return std::sqrt(fl * fl + q / k / 2.0);
    return fh;
}

double s_peak_regime(const SpeedUnits& u, double pulses, double fl, double fh, double ur, double dr, double us,
                     double ds, double m) {
    const double scale = u.linear_ramp_scale;
    const double pure_scale = u.pure_s_ramp_scale();
    const double k = ur + dr + 2.0;
    const double q = scale * m * pulses;
    if (us == 0.0 && ds == 0.0) {
        if (pulses <= k * (fh - fl) * (fh + fl) / m / pure_scale) return std::sqrt(fl * fl + pure_scale * m * pulses / k);
        return fh;
    }
    if (us == ds) {
        const double t1 = (fh + fl) * ((fh - fl) + 2.0 * us) * k / m / scale;
        const double t2 = (us + fl) * us * k / m / section_scale(u);
        if (t2 < pulses && pulses <= t1) return std::sqrt((us - fl) * (us - fl) + q / k) - us;
        if (pulses <= t2) return std::sqrt(fl * fl + q / k / 2.0);
        return fh;
    }
    // The smaller section belongs to the acceleration when us < ds, else to the deceleration.
    const double a = (ur + 1.0) * us + (dr + 1.0) * ds;
    if (us < ds) return s_peak_asymmetric(u, pulses, fl, fh, k, a, us, ds, ur, dr, m);
    return s_peak_asymmetric(u, pulses, fl, fh, k, a, ds, us, dr, ur, m);
}

}  // namespace

double s_peak_limit(const SpeedUnits& u, double pulses, double fl, double fh, double ur, double dr, double us,
                    double ds, double m) {
    // When a section is wider than half the speed span, the regime bounds no longer nest and a
    // regime formula can give more than the full peak; the limit only ever lowers it.
    return std::min(fh, s_peak_regime(u, pulses, fl, fh, ur, dr, us, ds, m));
}

double t_ramp_distance(const SpeedUnits& u, double fh, double fl, double dr, double m) {
    return (fh + fl) * (fh - fl) * (dr + 1.0) / m / u.linear_ramp_scale;
}

double s_ramp_distance(const SpeedUnits& u, double fh, double fl, double dr, double ds, double m) {
    if (ds == 0.0) return (fh + fl) * (fh - fl) * (dr + 1.0) / m / u.pure_s_ramp_scale();
    return (fh + fl) * (fh - fl + 2.0 * ds) * (dr + 1.0) / m / u.linear_ramp_scale;
}

}  // namespace quvex::motion::math
