// Speed ramps of the virtual motion chip. A ramp changes the speed by whole speed units; a
// linear ramp takes one unit every (rate + 1) rate-clock counts. An S-ramp with section S has
// S-shaped parts of S units at each end (acceleration rising and falling linearly) and a linear
// part between, lasting (rate + 1) * (N + 2S) counts for N units; a pure S-ramp is the case
// S = N / 2 and lasts twice as long as the linear one.
#pragma once

#include <cstdint>

namespace qsim {

constexpr double kRateClockHz = 4915200.0;
constexpr double kSpeedUnitBase = 300.0;  // one speed unit = 300 / (speed_range + 1) pps

struct Ramp {
    double from = 0;      // speed units at the start
    int steps = 0;        // whole units to change (>= 0)
    int direction = 1;    // +1 accelerating, -1 decelerating
    double unit_time = 0; // seconds per unit on the linear part: (rate + 1) / clock
    double section = 0;   // S-shaped units at each end; 0 for a linear ramp
    double start = 0;     // virtual time of the ramp's start, seconds
    int taken = 0;        // steps already made

    // Seconds after `start` at which step k (1..steps) is made.
    double step_offset(int k) const;
    double next_step_time() const { return start + step_offset(taken + 1); }
    bool finished() const { return taken >= steps; }
    double speed() const { return from + direction * taken; }
    double duration() const { return step_offset(steps); }
};

// A ramp of `steps` units at `rate` with the chip's section register value (`s_curve` false:
// linear). A section of 0 or one that does not fit (2S >= N) makes the ramp pure S.
Ramp make_ramp(double from, int steps, int direction, std::uint32_t rate, bool s_curve, std::uint32_t section,
               double start);

// Pulses a ramp from `high` down (or up) to `low` covers, as the chip estimates its automatic
// ramp-down point: (high + low) * (N + 2S) * (rate + 1) / (32768 * m), S as make_ramp takes it.
double ramp_distance(double high, double low, std::uint32_t rate, bool s_curve, std::uint32_t section, double m);

}  // namespace qsim
