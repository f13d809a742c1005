#include "motion/speed_checks.h"

#include <algorithm>
#include <cmath>

#include "common/numeric.h"
#include "motion/profile_math.h"
#include "motion/speed_profile.h"

namespace quvex::motion {
namespace {

// 65535 units at 300 pps: the finest multiplier that still holds a speed is 19660500 / v.
constexpr double kFullScaleProduct = 65535.0 * kSpeedUnitBase;
constexpr std::int64_t kVerifyMaxRange = 4095;

}  // namespace

AccelTimeBounds verify_speed(double str_vel, double max_vel, double ref_vel) {
    const double ratio = max_vel / ref_vel;
    const std::int64_t range = std::clamp<std::int64_t>(floor_to<std::int64_t>(kFullScaleProduct / max_vel - 1.0),
                                                        kMinSpeedRange, kVerifyMaxRange);
    const double m = static_cast<double>(range) + 1.0;
    str_vel = std::max(str_vel, math::lowest_start_speed(m));
    const double fh = math::max_speed_units(m, max_vel);
    const double fl = math::start_speed_units(m, str_vel);
    const double shortest = ratio * 2.0 * (fh - fl) / kRateClock;
    return {shortest, shortest * static_cast<double>(kMaxRate) / 2.0};
}

SReach check_s_vel(double dist, double str_vel, double max_vel, double tacc, double tdec, double sv_acc,
                   double sv_dec) {
    if (2.0 * tacc > tdec) return {max_vel, sv_acc, sv_dec};
    const double pulses = std::fabs(dist);
    const double m = static_cast<double>(math::table_speed_range(max_vel)) + 1.0;
    const math::SpeedPair start =
        math::break_speed_tie({math::max_speed_units(m, max_vel), math::start_speed_units(m, str_vel)});
    double fh = start.fh;
    const double fl = start.fl;

    int reaching_passes = 0;
    bool reduced = false;
    for (int pass = 0; pass < kMaxSReachPasses; ++pass) {
        const std::uint32_t us = math::s_section(m, sv_acc);
        const std::uint32_t ds = math::s_section(m, sv_dec);
        const double ur = math::s_rate(tacc, fh - fl, us);
        const double dr = math::s_rate(tdec, fh - fl, ds);
        fh = math::s_peak_limit(pulses, fl, fh, ur, dr, us, ds, m);
        const double ramp_down = math::s_ramp_distance(fh, fl, dr, ds, m);
        if (std::fabs(ramp_down) < pulses) ++reaching_passes;
        if ((reaching_passes == 1 && !reduced) || reaching_passes == 2) break;

        const double quarter = fh * kSpeedUnitBase / m / 4.0;
        const double new_acc = std::min(sv_acc, quarter);
        const double new_dec = std::min(sv_dec, quarter);
        // A pass that changes nothing would be repeated forever.
        if (reduced && new_acc == sv_acc && new_dec == sv_dec) break;
        sv_acc = new_acc;
        sv_dec = new_dec;
        reduced = true;
    }
    return {fh * kSpeedUnitBase / m, sv_acc, sv_dec};
}

}  // namespace quvex::motion
