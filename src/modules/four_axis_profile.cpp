#include "modules/four_axis_profile.h"

#include <algorithm>

#include "common/numeric.h"
#include "motion/profile_math.h"

namespace quvex::modules::m4 {
namespace {

// Above this the table's coarsest unit cannot count the speed any more: FH tops out at 16383.
constexpr double kTopSpeed = 9829800.0;
constexpr std::uint32_t kMaxSCurveRate = 65535;
constexpr double kLowestPinnedStart = 1.0;

// The pin picks its unit with thresholds of its own (a little below the profile table's).
constexpr motion::RangeRow kPinRangeTable[] = {
    {6553000.0, 1}, {3276000.0, 2}, {1638000.0, 5}, {819000.0, 11}, {327000.0, 23}, {163000.0, 59},
    {81000.0, 119}, {32000.0, 239}, {16000.0, 599}, {8100.0, 1199}, {4900.0, 2399}, {0.0, 3999},
};
constexpr motion::SpeedUnits kPinUnits = [] {
    motion::SpeedUnits u = kUnits;
    u.range_table = kPinRangeTable;
    return u;
}();

double span_of(const motion::SpeedRegisters& s) { return static_cast<double>(s.fh) - static_cast<double>(s.fl); }

std::uint32_t clamp_to(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, lo, hi));
}

// floor(t · clock / span − 1): negative → 1, above the register → its top.
std::uint32_t t_rate(double t, double span) {
    const std::int64_t r = floor_to<std::int64_t>(t * kUnits.rate_clock / span - 1.0);
    return r < 0 ? 1 : clamp_to(r, 0, kUnits.max_rate);
}

// Without a section the ramp is pure S and counts at half the clock; a section does not widen
// the span.
std::uint32_t s_rate(double t, double span, std::uint32_t section) {
    const double clock = section == 0 ? kUnits.rate_clock / 2.0 : kUnits.rate_clock;
    return clamp_to(floor_to<std::int64_t>(t * clock / span - 1.0), 0, kMaxSCurveRate);
}

}  // namespace

motion::SpeedRegisters profile_speeds(double str_vel, double max_vel, std::optional<std::uint32_t> pinned_range) {
    if (!pinned_range) max_vel = std::min(max_vel, kTopSpeed);
    const std::uint32_t range = pinned_range.value_or(motion::math::table_speed_range(kUnits, max_vel));
    const double m = motion::SpeedUnits::multiplier(range);
    str_vel = std::max(str_vel, motion::math::lowest_start_speed(kUnits, m));
    const std::uint32_t fl = motion::math::start_speed_units(kUnits, m, str_vel);
    const std::uint32_t fh = std::max(motion::math::max_speed_units(kUnits, m, max_vel), fl);
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
    const double span = span_of(p.speeds);
    p.rates.s_accel = motion::math::s_section(kUnits, m, sv_acc);
    p.rates.accel = s_rate(tacc, span, p.rates.s_accel);
    p.rates.s_decel = motion::math::s_section(kUnits, m, sv_dec);
    p.rates.decel = s_rate(tdec, span, p.rates.s_decel);
    return p;
}

motion::SpeedRegisters pinned_speeds(double max_vel) {
    const std::uint32_t range = motion::math::table_speed_range(kPinUnits, max_vel);
    const double m = motion::SpeedUnits::multiplier(range);
    return {range, motion::math::max_speed_units(kUnits, m, max_vel),
            motion::math::start_speed_units(kUnits, m, kLowestPinnedStart)};
}

double current_speed(std::uint32_t reading, std::uint32_t range) {
    return static_cast<double>(reading & 0xFFFFu) * unit_of(range);
}

}  // namespace quvex::modules::m4
