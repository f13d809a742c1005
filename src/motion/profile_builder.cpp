#include "motion/profile_builder.h"

#include <algorithm>

#include "common/numeric.h"
#include "motion/profile_math.h"
#include "motion/speed_units.h"

namespace quvex::motion {
namespace {

double span_between(const SpeedRegisters& s) { return static_cast<double>(s.fh) - static_cast<double>(s.fl); }

std::uint32_t clamped_units(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, lo, hi));
}

}  // namespace

SpeedRegisters ProfileBuilder::speeds(double str_vel, double max_vel, std::optional<std::uint32_t> pinned_range) const {
    const SpeedUnits& u = *units_;
    const std::uint32_t range = pinned_range.value_or(math::table_speed_range(u, max_vel));
    const double m = SpeedUnits::multiplier(range);
    const std::uint32_t fl = start_units(m, std::max(str_vel, math::lowest_start_speed(u, m)));
    std::uint32_t fh = math::max_speed_units(u, m, max_vel);
    if (rules_->raise_fh_to_fl) fh = std::max(fh, fl);
    const math::SpeedPair pair = math::break_speed_tie(u, {fh, fl});
    return {range, pair.fh, pair.fl};
}

RampRates ProfileBuilder::t_rates(const SpeedRegisters& s, double tacc, double tdec) const {
    const double span = span_between(s);
    return {.accel = t_rate(tacc, span, rules_->accel_floor), .decel = t_rate(tdec, span, rules_->decel_floor)};
}

RampRates ProfileBuilder::s_rates(const SpeedRegisters& s, double tacc, double tdec, double sv_acc, double sv_dec,
                                  double speed_change) const {
    const double m = SpeedUnits::multiplier(s.range);
    const double span = span_between(s);
    RampRates r;
    r.s_accel = s_section(m, sv_acc, speed_change);
    r.accel = s_rate(tacc, span, r.s_accel);
    r.s_decel = s_section(m, sv_dec, speed_change);
    r.decel = s_rate(tdec, span, r.s_decel);
    return r;
}

Profile ProfileBuilder::t_profile(double str_vel, double max_vel, double tacc, double tdec,
                                  std::optional<std::uint32_t> pinned_range) const {
    Profile p;
    p.speeds = speeds(str_vel, max_vel, pinned_range);
    p.rates = t_rates(p.speeds, tacc, tdec);
    return p;
}

Profile ProfileBuilder::s_profile(double str_vel, double max_vel, double tacc, double tdec, double sv_acc,
                                  double sv_dec, std::optional<std::uint32_t> pinned_range) const {
    Profile p;
    p.speeds = speeds(str_vel, max_vel, pinned_range);
    // The change a section is measured against runs from the raised start speed to the maximum
    // speed as asked for.
    const double lowest = math::lowest_start_speed(*units_, SpeedUnits::multiplier(p.speeds.range));
    p.rates = s_rates(p.speeds, tacc, tdec, sv_acc, sv_dec, max_vel - std::max(str_vel, lowest));
    return p;
}

SpeedRegisters ProfileBuilder::pinned_speeds(double max_vel) const {
    SpeedUnits pin_units = *units_;
    if (!rules_->pin_range_table.empty()) pin_units.range_table = rules_->pin_range_table;
    const std::uint32_t range = math::table_speed_range(pin_units, max_vel);
    const double m = SpeedUnits::multiplier(range);
    return {range, math::max_speed_units(*units_, m, max_vel),
            math::start_speed_units(*units_, m, rules_->pin_start_speed)};
}

// ceil(m · v / unit) in 1..max_speed, or the rules' FL for a start beyond the register.
std::uint32_t ProfileBuilder::start_units(double m, double str_vel) const {
    const SpeedUnits& u = *units_;
    const std::int64_t units = ceil_to<std::int64_t>(m * str_vel / u.unit_numerator);
    if (units > u.max_speed && rules_->start_beyond_top) return *rules_->start_beyond_top;
    return clamped_units(units, 1, u.max_speed);
}

// floor(t · clock / span - 1), placed by the rules' floor and the register's top.
std::uint32_t ProfileBuilder::t_rate(double t, double span, RateFloor floor) const {
    const std::int64_t r = floor_to<std::int64_t>(t * units_->rate_clock / span - 1.0);
    return r < 0 ? floor.negative : clamped_units(r, floor.lowest, units_->max_rate);
}

// floor(m · sv / unit) in 1..max_s_section; the rules decide an sv of 0 and a wide section.
std::uint32_t ProfileBuilder::s_section(double m, double sv, double speed_change) const {
    if (sv == 0.0) return rules_->section_without_sv;
    if (rules_->wide_section_is_pure_s && speed_change / 2.0 < sv) return 0;
    return clamped_units(floor_to<std::int64_t>(m * sv / units_->unit_numerator), 1, units_->max_s_section);
}

// Section 0 is pure S and counts at half the clock; a section the rules widen with adds twice
// itself to the span.
std::uint32_t ProfileBuilder::s_rate(double t, double span, std::uint32_t section) const {
    const double clock = units_->rate_clock;
    const SectionWidening w = rules_->widening;
    double q = 0;
    if (section == 0) {
        q = t * (clock / 2.0) / span;
    } else if (w == SectionWidening::kNone || (w == SectionWidening::kAboveOne && section == 1)) {
        q = t * clock / span;
    } else {
        q = t * clock / (span + 2.0 * section);
    }
    return clamped_units(floor_to<std::int64_t>(q - 1.0), 0, rules_->max_s_rate.value_or(units_->max_rate));
}

}  // namespace quvex::motion
