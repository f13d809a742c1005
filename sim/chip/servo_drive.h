// A servo drive behind one chip axis: it takes the chip's command pulses, moves its motor after
// them with a first-order lag and gives the chip back encoder pulses, which the position counter
// counts; the error counter holds command pulses less feedback pulses. It drives the chip's
// in-position input (the deviation within a band for a settling time) and raises its alarm when
// the deviation passes a limit.
//
// The lag is solved in closed form over each span of motion the chip's engine takes at once (a
// constant speed, or a run of ramp steps taken as a straight speed line), so a drive costs a few
// exponentials per span, not work per pulse. Off (the default), the axis is ideal: the position
// counter counts the command pulses and nothing here runs.
#pragma once

#include <cmath>
#include <cstdint>

namespace qsim {

class Chip;

struct DriveParams {
    double time_constant = 0.01;   // seconds; 0 follows at once
    double in_position_band = 10;  // pulses
    double settling_time = 0;      // seconds the deviation must stay within the band
    double deviation_limit = 0;    // pulses; 0: no limit
};

struct ServoDrive {
    bool on = false;
    DriveParams params;
    double time = 0;                   // seconds up to which the drive has followed
    double deviation = 0;              // the drive's reference less its motor position, pulses
    double motor = 0;                  // motor position, pulses since the drive was switched on
    std::int64_t commanded = 0;        // command pulses received since switched on (signed)
    std::int64_t commanded_seen = 0;   // ... as far as the drive has followed them
    double reference_offset = 0;       // command pulses the drive dropped (deviation clears)
    std::int64_t fed_back = 0;         // encoder pulses given back to the chip (signed)
    bool alarm = false;
    double within_since = -1;          // when the deviation came within the band; -1 outside it
};

// Switches the drive of an axis on (with its parameters) or off at time `now` (seconds).
void switch_drive(Chip& c, bool on, const DriveParams& params, double now);

// True when following the drive up to t (seconds) has nothing to work out: the drive is off,
// t lies before its time, or no pulse came and the motor stands settled (or no time went by).
// A settled drive's time moves on to t. Inline because the engine and every register access
// ask it far more often than a drive has anything to follow.
inline bool drive_idle_until(ServoDrive& d, double t) {
    const bool no_pulse = d.commanded == d.commanded_seen;
    if (t == d.time && no_pulse) return true;  // the usual case: another access at the same instant
    if (!d.on || t < d.time) return true;
    if (no_pulse && d.deviation == 0) {
        d.time = t;
        return true;
    }
    return false;
}

// Follows the command from the drive's time to t (seconds); the axis's commanded speed went
// from v_from to v_to pulses per second (signed) in a straight line over the span. True when
// the drive raised its alarm in the span.
bool advance_drive(Chip& c, double t, double v_from, double v_to);
// The same for a drive that drive_idle_until(c.drive, t) just found with work to do.
bool advance_busy_drive(Chip& c, double t, double v_from, double v_to);

// The next time after the drive's own at which one of its signals changes while the commanded
// speed stays v (pulses per second, signed): the alarm, and when `in_position` is asked for,
// the in-position signal turning on. Infinity when none is due.
double drive_event_time(const Chip& c, double v, bool in_position);

// The usual answer of drive_event_time(c, v, false) without working it out: true when the drive
// surely has no event at commanded speed v (off, or following with its lag within its limit and
// no error-counter check waiting). False leaves the question to drive_event_time. Takes the
// chip's outputs word, its ERC bit and whether a comparator watches the error counter, so the
// engine can ask it inline at every step of its event loop.
inline bool drive_surely_quiet(const ServoDrive& d, std::uint32_t outputs, unsigned erc_bit, bool error_watched,
                               double v) {
    if (!d.on) return true;
    constexpr std::uint32_t kServoOn = 1u;  // output 0
    if ((outputs & kServoOn) == 0 || error_watched) return false;
    const double limit = d.params.deviation_limit;
    return limit <= 0 || d.alarm || (outputs & (1u << erc_bit)) != 0 || std::fabs(v * d.params.time_constant) <= limit;
}

// True when the drive has a level whose crossing is an event: its deviation limit (until the
// alarm), or an error-counter check of the chip.
bool drive_watches_levels(const Chip& c);

// The deviation-clear output came on: the drive takes its motor position as its reference.
void drive_clear_deviation(Chip& c);
// The alarm-reset output came on: the alarm clears when its cause (the deviation) is gone.
void drive_reset_alarm(Chip& c);

// The signals as the chip sees them: the drive's alarm or the alarm input; the drive's
// in-position signal when a drive is on, else the in-position input.
bool alarm_signal(const Chip& c);
bool in_position_signal(const Chip& c);

}  // namespace qsim
