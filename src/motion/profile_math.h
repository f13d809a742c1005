// The arithmetic of the speed profile, free of any axis and of any destination: speed range
// choice, speed and rate registers, S-curve sections, short-move peak limits and ramp distances,
// each in the units of the chip it is for. The move plan composes them; the pure exports apply
// them to their arguments.
#pragma once

#include <cstdint>

#include "motion/speed_units.h"

namespace quvex::motion::math {

// Speed range from the units' table by maximum speed, clamped to the units' range limits (the
// coarsest row's range for max_vel <= 0 or NaN).
std::uint32_t table_speed_range(const SpeedUnits& u, double max_vel);
// Lowest start speed at multiplier m = R + 1: ceil(unit_numerator / m) pps.
double lowest_start_speed(const SpeedUnits& u, double m);
// Speed units at multiplier m: floor (maximum speed) or ceil (start speed), clamped to 1..max_speed.
std::uint32_t max_speed_units(const SpeedUnits& u, double m, double vel);
std::uint32_t start_speed_units(const SpeedUnits& u, double m, double vel);

struct SpeedPair {
    std::uint32_t fh;
    std::uint32_t fl;
};
// Makes FH and FL differ: FH + 1 when FH is below the top, else FL = top_tie_start.
SpeedPair break_speed_tie(const SpeedUnits& u, SpeedPair p);

// S-curve section: 0 for sv = 0, else floor(m · sv / unit_numerator) clamped to 1..max_s_section.
std::uint32_t s_section(const SpeedUnits& u, double m, double sv);
// S-curve rate for a ramp over `span` units with section s, clamped to 0..max_rate.
std::uint32_t s_rate(const SpeedUnits& u, double t, double span, std::uint32_t s);

// Peak after the T-curve short-move limit (unchanged when the full profile fits).
double t_peak_limit(const SpeedUnits& u, double pulses, double fl, double fh, double ur, double dr, double m);
// Peak after the S-curve short-move limit (unchanged when the full profile fits).
double s_peak_limit(const SpeedUnits& u, double pulses, double fl, double fh, double ur, double dr, double us,
                    double ds, double m);

// Deceleration distance in pulses from FH to FL at rate dr: T-curve (linear) and S-curve
// (pure S for ds = 0, else with section ds).
double t_ramp_distance(const SpeedUnits& u, double fh, double fl, double dr, double m);
double s_ramp_distance(const SpeedUnits& u, double fh, double fl, double dr, double ds, double m);

}  // namespace quvex::motion::math
