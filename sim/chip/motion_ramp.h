// Speed ramps of the virtual motion chip. A ramp changes the speed by whole speed units; a
// linear ramp takes one unit every (rate + 1) rate-clock counts. An S-ramp with section S has
// S-shaped parts of S units at each end (acceleration rising and falling linearly) and a linear
// part between, lasting (rate + 1) * (N + 2S) counts for N units; a pure S-ramp is the case
// S = N / 2 and lasts twice as long as the linear one.
//
// Every step time has a closed form, and so has the sum of the step times over any run of steps,
// so the motion engine can take a run of thousands of steps in one go and still make each step
// at its own time.
#pragma once

#include <climits>
#include <cstdint>

#include "chip_units.h"

namespace qsim {

struct Ramp {
    double from = 0;      // speed units at the start
    int steps = 0;        // whole units to change (>= 0)
    int direction = 1;    // +1 accelerating, -1 decelerating
    double unit_time = 0; // seconds per unit on the linear part: (rate + 1) / clock
    double section = 0;   // S-shaped units at each end; 0 for a linear ramp
    double start = 0;     // virtual time of the ramp's start, seconds
    int taken = 0;        // steps already made
    // The first step a run of steps cannot reach without passing the ramp-down point or the end
    // of the move (found by the motion engine; stays true as the ramp goes on, until the move's
    // registers change).
    int blocked_from = INT_MAX;

    // Seconds after `start` at which step k (0..steps) is made; step 0 is the start.
    double step_offset(int k) const;
    // Sum of step_offset(j) for j = 1..k.
    double offset_sum(int k) const;
    // The last step made at or before `offset` seconds after the start (0..steps).
    int steps_by(double offset) const;
    // Sums over the whole of the ramp's first two parts and the falling part's square-root sum,
    // fixed per ramp (set by make_ramp), so offset_sum needs one square-root sum.
    double rising_end = 0, linear_end = 0, root_section = 0;
    double rising_total = 0, linear_total = 0, falling_roots = 0;

    double next_step_time() const { return start + step_offset(taken + 1); }
    bool finished() const { return taken >= steps; }
    double speed() const { return speed_after(taken); }
    double speed_after(int k) const { return from + direction * k; }
    double duration() const { return step_offset(steps); }
    double end_time() const { return start + duration(); }
};

// A ramp of `steps` units at `rate` with the chip's section register value (`s_curve` false:
// linear). A section of 0 or one that does not fit (2S >= N) makes the ramp pure S.
Ramp make_ramp(const ChipUnits& units, double from, int steps, int direction, std::uint32_t rate, bool s_curve,
               std::uint32_t section, double start);

// Pulses a ramp from `high` down (or up) to `low` covers, as the chip estimates its automatic
// ramp-down point: (high + low) * (N + 2S) * (rate + 1) / (divisor * m), S as make_ramp takes it
// and the divisor that of the chip's units (32768 on the card).
double ramp_distance(const ChipUnits& units, double high, double low, std::uint32_t rate, bool s_curve,
                     std::uint32_t section, double m);

// Sum of sqrt(j) for j = 1..k, in closed form for large k.
double sqrt_sum(double k);

}  // namespace qsim
