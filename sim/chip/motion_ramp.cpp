#include "motion_ramp.h"

#include <cmath>

namespace qsim {
namespace {

double effective_section(int steps, bool s_curve, std::uint32_t section) {
    if (!s_curve) return 0;
    const double n = steps;
    if (section == 0 || 2.0 * section >= n) return n / 2.0;
    return section;
}

}  // namespace

double Ramp::step_offset(int k) const {
    const double n = steps;
    const double s = section;
    if (s == 0) return k * unit_time;
    if (k <= s) return 2.0 * unit_time * std::sqrt(s * k);
    if (k <= n - s) return 2.0 * s * unit_time + (k - s) * unit_time;
    const double left = n - k;
    return (n + 2.0 * s) * unit_time - 2.0 * unit_time * std::sqrt(s * left);
}

Ramp make_ramp(double from, int steps, int direction, std::uint32_t rate, bool s_curve, std::uint32_t section,
               double start) {
    Ramp r;
    r.from = from;
    r.steps = steps > 0 ? steps : 0;
    r.direction = direction;
    r.unit_time = (static_cast<double>(rate) + 1.0) / kRateClockHz;
    r.section = effective_section(r.steps, s_curve, section);
    r.start = start;
    return r;
}

double ramp_distance(double high, double low, std::uint32_t rate, bool s_curve, std::uint32_t section, double m) {
    const double n = std::fabs(high - low);
    const double s = effective_section(static_cast<int>(n), s_curve, section);
    return (high + low) * (n + 2.0 * s) * (static_cast<double>(rate) + 1.0) / (32768.0 * m);
}

}  // namespace qsim
