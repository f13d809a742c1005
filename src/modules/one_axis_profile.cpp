#include "modules/one_axis_profile.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/numeric.h"
#include "motion/profile_math.h"

namespace quvex::modules::m1 {
namespace {

double d(std::uint32_t v) { return static_cast<double>(v); }

std::uint32_t clamp_to(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, lo, hi));
}

// A floored change rate as the 32-bit data word it is sent in: a negative floor goes as its
// two's-complement pattern (-1 is 0xFFFFFFFF); floors beyond the word saturate at its ends.
std::uint32_t change_rate_word(double floored) {
    constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kHighest = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(floor_to<std::int64_t>(floored), kLowest, kHighest));
}

}  // namespace

std::uint32_t speed_register(std::uint32_t range, double vel) {
    return motion::math::max_speed_units(kUnits, motion::SpeedUnits::multiplier(range), vel);
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
