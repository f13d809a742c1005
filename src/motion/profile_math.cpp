#include "motion/profile_math.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/numeric.h"
#include "motion/speed_profile.h"

namespace quvex::motion::math {
namespace {

// Speed range by maximum speed: a row applies above its lower bound. Each bound is 65535 speed
// units at the next finer multiplier, so the finest range that still holds the speed is chosen.
struct RangeRow {
    double above;
    std::uint32_t range;
};
constexpr std::array<RangeRow, 10> kRangeTable = {{
    {3276750.0, 2}, {1310700.0, 5}, {655350.0, 14}, {327675.0, 29}, {131070.0, 59},
    {65535.0, 149}, {32767.5, 299}, {13107.0, 599}, {6553.5, 1499}, {0.0, 2999},
}};

constexpr double kHalfRateClock = kRateClock / 2.0;
constexpr double kLinearRampScale = 32768.0;  // distance divisor of a linear ramp
constexpr double kPureSRampScale = 16384.0;   // a pure S-ramp lasts twice as long

std::uint32_t clamp_units(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, lo, hi));
}

}  // namespace

std::uint32_t table_speed_range(double max_vel) {
    for (const RangeRow& row : kRangeTable) {
        if (max_vel > row.above) return std::clamp(row.range, kMinSpeedRange, kMaxSpeedRange);
    }
    return kMaxSpeedRange;
}

double lowest_start_speed(double m) { return std::ceil(kSpeedUnitBase / m); }

std::uint32_t max_speed_units(double m, double vel) {
    return clamp_units(floor_to<std::int64_t>(m * vel / kSpeedUnitBase), 1, kMaxSpeedUnits);
}

std::uint32_t start_speed_units(double m, double vel) {
    return clamp_units(ceil_to<std::int64_t>(m * vel / kSpeedUnitBase), 1, kMaxSpeedUnits);
}

SpeedPair break_speed_tie(SpeedPair p) {
    if (p.fl != p.fh) return p;
    if (p.fh < kMaxSpeedUnits) return {p.fh + 1, p.fl};
    return {p.fh, p.fl - 1};
}

std::uint32_t t_accel_rate(double t, double span) {
    return clamp_units(floor_to<std::int64_t>(t * kRateClock / span - 1.0), 0, kMaxRate);
}

std::uint32_t t_decel_rate(double t, double span) {
    return clamp_units(floor_to<std::int64_t>(t * kRateClock / span - 1.0), 1, kMaxRate);
}

std::uint32_t s_section(double m, double sv) {
    if (sv == 0.0) return 0;
    return clamp_units(floor_to<std::int64_t>(m * sv / kSpeedUnitBase), 1, kMaxSSection);
}

std::uint32_t s_rate(double t, double span, std::uint32_t s) {
    const double quotient = s == 0 ? t * kHalfRateClock / span : t * kRateClock / (span + 2.0 * s);
    return clamp_units(floor_to<std::int64_t>(quotient - 1.0), 0, kMaxRate);
}

double t_peak_limit(double pulses, double fl, double fh, double ur, double dr, double m) {
    const double k = ur + dr + 2.0;
    const double full = k * (fh - fl) * (fh + fl) / m / kLinearRampScale;
    if (pulses > full) return fh;
    return std::sqrt(fl * fl + m * kLinearRampScale * pulses / k);
}

namespace {

// One ramp of the pair keeps its linear part while the other has become pure S. The two
// asymmetric regimes are mirror images: they differ only in which ramp has the smaller section.
// `a` = (UR + 1)·US + (DR + 1)·DS is the same for both.
double s_peak_asymmetric(double pulses, double fl, double fh, double k, double a, double s_small,
                         double s_large, double rate_small, double rate_large, double m) {
    const double q = kLinearRampScale * m * pulses;
    const double c = 2.0 * rate_large + rate_small + 3.0;
    const double b = (rate_small + 1.0) * s_small;
    const double t1 = (fh + fl) * ((fh - fl) * k + 2.0 * a) / m / kLinearRampScale;
    const double t2 = (s_large + fl) * (c * s_large + b) * 4.0 / m / kLinearRampScale;
    const double t3 = (s_small + fl) * s_small * k / 4096.0 / m;
    if (t2 < pulses && pulses <= t1) return (std::sqrt(a * a + k * (k * fl * fl + q - 2.0 * a * fl)) - a) / k;
    if (t3 < pulses && pulses <= t2) return (std::sqrt(b * b + c * (c * fl * fl + q - 2.0 * b * fl)) - b) / c;
    if (pulses <= t3) return std::sqrt(fl * fl + q / k / 2.0);
    return fh;
}

}  // namespace

namespace {

double s_peak_regime(double pulses, double fl, double fh, double ur, double dr, double us, double ds, double m) {
    const double k = ur + dr + 2.0;
    const double q = kLinearRampScale * m * pulses;
    if (us == 0.0 && ds == 0.0) {
        if (pulses <= k * (fh - fl) * (fh + fl) / m / kPureSRampScale) {
            return std::sqrt(fl * fl + kPureSRampScale * m * pulses / k);
        }
        return fh;
    }
    if (us == ds) {
        const double t1 = (fh + fl) * ((fh - fl) + 2.0 * us) * k / m / kLinearRampScale;
        const double t2 = (us + fl) * us * k / m / 4096.0;
        if (t2 < pulses && pulses <= t1) return std::sqrt((us - fl) * (us - fl) + q / k) - us;
        if (pulses <= t2) return std::sqrt(fl * fl + q / k / 2.0);
        return fh;
    }
    // The smaller section belongs to the acceleration when us < ds, else to the deceleration.
    const double a = (ur + 1.0) * us + (dr + 1.0) * ds;
    if (us < ds) return s_peak_asymmetric(pulses, fl, fh, k, a, us, ds, ur, dr, m);
    return s_peak_asymmetric(pulses, fl, fh, k, a, ds, us, dr, ur, m);
}

}  // namespace

double s_peak_limit(double pulses, double fl, double fh, double ur, double dr, double us, double ds, double m) {
    // When a section is wider than half the speed span, the regime bounds no longer nest and a
    // regime formula can give more than the full peak; the limit only ever lowers it.
    return std::min(fh, s_peak_regime(pulses, fl, fh, ur, dr, us, ds, m));
}

double t_ramp_distance(double fh, double fl, double dr, double m) {
    return (fh + fl) * (fh - fl) * (dr + 1.0) / m / kLinearRampScale;
}

double s_ramp_distance(double fh, double fl, double dr, double ds, double m) {
    if (ds == 0.0) return (fh + fl) * (fh - fl) * (dr + 1.0) / m / kPureSRampScale;
    return (fh + fl) * (fh - fl + 2.0 * ds) * (dr + 1.0) / m / kLinearRampScale;
}

}  // namespace quvex::motion::math
