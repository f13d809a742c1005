#include "motion_ramp.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace qsim {
namespace {

double effective_section(int steps, bool s_curve, std::uint32_t section) {
    if (!s_curve) return 0;
    const double n = steps;
    if (section == 0 || 2.0 * section >= n) return n / 2.0;
    return section;
}

// Sum of j for j = a..b (0 when b < a).
double integer_sum(double a, double b) { return b < a ? 0.0 : (a + b) * (b - a + 1.0) / 2.0; }

}  // namespace

double sqrt_sum(double k) {
    if (k <= 0) return 0;
    // Small sums exactly; large ones by their asymptotic expansion, whose error beyond k = 32 is
    // far below the rounding of the sum itself.
    constexpr int kTabled = 32;
    static const auto table = [] {
        std::array<double, kTabled + 1> t{};
        for (int j = 1; j <= kTabled; ++j) t[j] = t[j - 1] + std::sqrt(static_cast<double>(j));
        return t;
    }();
    if (k <= kTabled) return table[static_cast<std::size_t>(k)];
    constexpr double kZetaMinusHalf = -0.2078862249773545660173067;
    const double r = std::sqrt(k);
    const double inv = 1.0 / r;
    const double inv2 = inv * inv;
    return 2.0 / 3.0 * k * r + 0.5 * r + kZetaMinusHalf + inv / 24.0 - inv * inv2 * inv2 / 1920.0 +
           inv * inv2 * inv2 * inv2 * inv2 / 9216.0;
}

double Ramp::step_offset(int k) const {
    const double n = steps;
    const double s = section;
    if (s == 0) return k * unit_time;
    if (k <= s) return 2.0 * unit_time * std::sqrt(s * k);
    if (k <= n - s) return 2.0 * s * unit_time + (k - s) * unit_time;
    const double left = n - k;
    return (n + 2.0 * s) * unit_time - 2.0 * unit_time * std::sqrt(s * left);
}

double Ramp::offset_sum(int k) const {
    const double u = unit_time;
    if (k <= 0) return 0;
    if (section == 0) return u * integer_sum(1, k);
    // Rising S part: 2u sqrt(s j); linear part: u (j + s); falling S part: (n + 2s) u - 2u sqrt(s (n - j)).
    if (k <= rising_end) return 2.0 * u * root_section * sqrt_sum(k);
    if (k <= linear_end) return rising_total + u * (integer_sum(rising_end + 1, k) + section * (k - rising_end));
    const double n = steps;
    const double a = linear_end + 1;  // steps a..k on the falling part
    return rising_total + linear_total + (k - a + 1.0) * (n + 2.0 * section) * u -
           2.0 * u * root_section * (falling_roots - sqrt_sum(n - k - 1.0));
}

int Ramp::steps_by(double offset) const {
    if (offset <= 0 || unit_time <= 0) return 0;
    if (offset >= duration()) return steps;
    const double n = steps;
    const double s = section;
    const double units = offset / unit_time;
    double k;
    if (s == 0) {
        k = units;
    } else if (units <= 2.0 * s) {
        k = units * units / (4.0 * s);
    } else if (units <= n) {
        k = units - s;
    } else {
        const double rest = n + 2.0 * s - units;
        k = n - rest * rest / (4.0 * s);
    }
    int guess = static_cast<int>(std::clamp(std::floor(k), 0.0, n));
    while (guess < steps && step_offset(guess + 1) <= offset) ++guess;
    while (guess > 0 && step_offset(guess) > offset) --guess;
    return guess;
}

Ramp make_ramp(const ChipUnits& units, double from, int steps, int direction, std::uint32_t rate, bool s_curve,
               std::uint32_t section, double start) {
    Ramp r;
    r.from = from;
    r.steps = steps > 0 ? steps : 0;
    r.direction = direction;
    r.unit_time = (static_cast<double>(rate) + 1.0) / units.rate_clock_hz;
    r.section = effective_section(r.steps, s_curve, section);
    r.start = start;
    if (r.section > 0) {
        const double n = r.steps;
        const double u = r.unit_time;
        r.rising_end = std::floor(r.section);
        r.linear_end = std::floor(n - r.section);
        r.root_section = std::sqrt(r.section);
        r.rising_total = 2.0 * u * r.root_section * sqrt_sum(r.rising_end);
        r.linear_total = r.linear_end > r.rising_end ? u * (integer_sum(r.rising_end + 1, r.linear_end) +
                                                            r.section * (r.linear_end - r.rising_end))
                                                     : 0.0;
        r.falling_roots = sqrt_sum(n - (r.linear_end + 1));
    }
    return r;
}

double ramp_distance(const ChipUnits& units, double high, double low, std::uint32_t rate, bool s_curve,
                     std::uint32_t section, double m) {
    const double n = std::fabs(high - low);
    const double s = effective_section(static_cast<int>(n), s_curve, section);
    return (high + low) * (n + 2.0 * s) * (static_cast<double>(rate) + 1.0) / (units.ramp_distance_divisor() * m);
}

}  // namespace qsim
