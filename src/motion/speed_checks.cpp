#include "motion/speed_checks.h"

#include <algorithm>
#include <cmath>

#include "common/numeric.h"
#include "motion/profile_math.h"
#include "motion/speed_units.h"

namespace quvex::motion {
namespace {

constexpr const SpeedUnits& kUnits = kLocalChipUnits;
// The verification picks the finest multiplier that still holds the speed in a full register,
// max_speed · unit_numerator / v, from a wider range than the table's.
constexpr std::int64_t kVerifyMaxRange = 4095;

}  // namespace

AccelTimeBounds verify_speed(double str_vel, double max_vel, double ref_vel) {
    const double ratio = max_vel / ref_vel;
    const double full_scale = static_cast<double>(kUnits.max_speed) * kUnits.unit_numerator;
    const std::int64_t range = std::clamp<std::int64_t>(floor_to<std::int64_t>(full_scale / max_vel - 1.0),
                                                        kUnits.min_range, kVerifyMaxRange);
    const double m = SpeedUnits::multiplier(static_cast<std::uint32_t>(range));
    str_vel = std::max(str_vel, math::lowest_start_speed(kUnits, m));
    const double fh = math::max_speed_units(kUnits, m, max_vel);
    const double fl = math::start_speed_units(kUnits, m, str_vel);
    const double shortest = ratio * 2.0 * (fh - fl) / kUnits.rate_clock;
    return {shortest, shortest * static_cast<double>(kUnits.max_rate) / 2.0};
}

SReach check_s_vel(double dist, double str_vel, double max_vel, double tacc, double tdec, double sv_acc,
                   double sv_dec) {
    if (2.0 * tacc > tdec) return {max_vel, sv_acc, sv_dec};
    const double pulses = std::fabs(dist);
    const double m = SpeedUnits::multiplier(math::table_speed_range(kUnits, max_vel));
    const math::SpeedPair start = math::break_speed_tie(
        kUnits, {math::max_speed_units(kUnits, m, max_vel), math::start_speed_units(kUnits, m, str_vel)});
    double fh = start.fh;  // stays a double from pass to pass
    const double fl = start.fl;

    // A pass counts when the deceleration fits the distance. The first counting pass ends the
    // loop unless a section was already reduced; then a second one is needed.
    int fitting_passes = 0;
    bool reduced = false;
    for (int pass = 0; pass < kMaxSReachPasses; ++pass) {
        const std::uint32_t us = math::s_section(kUnits, m, sv_acc);
        const std::uint32_t ds = math::s_section(kUnits, m, sv_dec);
        const double ur = math::s_rate(kUnits, tacc, fh - fl, us);
        const double dr = math::s_rate(kUnits, tdec, fh - fl, ds);
        fh = math::s_peak_limit(kUnits, pulses, fl, fh, ur, dr, us, ds, m);
        const double ramp_down = math::s_ramp_distance(kUnits, fh, fl, dr, ds, m);
        if (std::fabs(ramp_down) < pulses) ++fitting_passes;
        if ((fitting_passes == 1 && !reduced) || fitting_passes == 2) break;

        const double quarter = fh * kUnits.unit_numerator / m / 4.0;
        sv_acc = std::min(sv_acc, quarter);
        sv_dec = std::min(sv_dec, quarter);
        reduced = true;
    }
    return {fh * kUnits.unit_numerator / m, sv_acc, sv_dec};
}

}  // namespace quvex::motion
