// The arithmetic of the speed profile, free of any axis: speed range choice, speed and rate
// registers, S-curve sections, short-move peak limits and ramp distances. The profile
// operations apply it to an axis's mirror; the pure exports apply it to their arguments.
#pragma once

#include <cstdint>

namespace quvex::motion::math {

// Speed range from the table by maximum speed, clamped to 2..2999 (2999 for max_vel <= 0 or NaN).
std::uint32_t table_speed_range(double max_vel);
// Lowest start speed at multiplier m = R + 1: ceil(300 / m) pps.
double lowest_start_speed(double m);
// Speed units at multiplier m: floor (maximum speed) or ceil (start speed), clamped to 1..65535.
std::uint32_t max_speed_units(double m, double vel);
std::uint32_t start_speed_units(double m, double vel);

struct SpeedPair {
    std::uint32_t fh;
    std::uint32_t fl;
};
// Makes FH and FL differ: FH + 1 when FH is below 65535, else FL - 1.
SpeedPair break_speed_tie(SpeedPair p);

// T-curve rates over a speed difference `span` = FH - FL (in units): floor(t * clock / span - 1),
// acceleration clamped to 0..65535, deceleration to 1..65535.
std::uint32_t t_accel_rate(double t, double span);
std::uint32_t t_decel_rate(double t, double span);
// S-curve section: 0 for sv = 0, else floor(m * sv / 300) clamped to 1..32767.
std::uint32_t s_section(double m, double sv);
// S-curve rate for a ramp over `span` units with section s, clamped to 0..65535.
std::uint32_t s_rate(double t, double span, std::uint32_t s);

// Peak after the T-curve short-move limit (unchanged when the full profile fits).
double t_peak_limit(double pulses, double fl, double fh, double ur, double dr, double m);
// Peak after the S-curve short-move limit (unchanged when the full profile fits).
double s_peak_limit(double pulses, double fl, double fh, double ur, double dr, double us,
                    double ds, double m);

// Deceleration distance in pulses from FH to FL at rate dr: T-curve (linear) and S-curve
// (pure S for ds = 0, else with section ds).
double t_ramp_distance(double fh, double fl, double dr, double m);
double s_ramp_distance(double fh, double fl, double dr, double ds, double m);

}  // namespace quvex::motion::math
