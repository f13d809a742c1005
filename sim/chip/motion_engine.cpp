// The motion engine of one driving chip axis. See motion_state.h for the model and
// motion_ramp.h for the ramps.
#include "motion_engine.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "../card.h"
#include "chip.h"
#include "motion_registers.h"

namespace qsim {

using Phase = MotionState::Phase;
using namespace motion_reg;

constexpr double kNoEvent = std::numeric_limits<double>::infinity();

double ns_to_seconds(Ns t) { return static_cast<double>(t) / static_cast<double>(kNsPerSecond); }

static void add_to_counters(Chip& c, int direction, std::int64_t pulses) {
    const std::uint32_t delta = static_cast<std::uint32_t>(direction * pulses);
    c.command_counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(c.command_counter) + delta);
    c.position_counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(c.position_counter) + delta);
}

double unit_pps(const MotionState& s) { return kSpeedUnitBase / s.multiplier; }

// Outputs pulses on the driving axis and keeps the following axes on the line.
static void output_pulses(Chip& c, std::int64_t pulses) {
    MotionState& s = c.motion;
    if (pulses <= 0) return;
    s.done += pulses;
    add_to_counters(c, s.direction, pulses);
    for (MotionState::Follower& f : s.followers) {
        const std::int64_t due = s.target == 0 ? f.target : f.target * s.done / s.target;
        add_to_counters(c.card().chip(f.axis), f.direction, due - f.done);
        f.done = due;
    }
}

// Constant speed for dt seconds.
static void run_for(Chip& c, double dt) {
    MotionState& s = c.motion;
    if (dt <= 0) return;
    const double covered = s.fraction + s.speed * unit_pps(s) * dt;
    const double whole = std::floor(covered);
    s.fraction = covered - whole;
    std::int64_t pulses = static_cast<std::int64_t>(whole);
    if (s.positioning && s.done + pulses >= s.target) {
        pulses = s.target - s.done;
        s.fraction = 0;
    }
    output_pulses(c, pulses);
}

void release_followers(Chip& c) {
    for (const MotionState::Follower& f : c.motion.followers) {
        MotionState& fs = c.card().chip(f.axis).motion;
        fs.phase = Phase::idle;
        fs.leader = -1;
    }
    c.motion.followers.clear();
}

void finish(Chip& c, std::uint32_t reason) {
    MotionState& s = c.motion;
    s.phase = Phase::idle;
    s.speed = 0;
    s.ramping = false;
    s.ended_at = s.time;
    s.stop_reason |= reason;
    for (const MotionState::Follower& f : s.followers) c.card().chip(f.axis).motion.stop_reason |= reason;
    release_followers(c);
}

static void complete(Chip& c) {
    output_pulses(c, c.motion.target - c.motion.done);
    finish(c, 0);
}

// Deceleration to the start speed from the current speed, at the live deceleration rate.
// A stop ends the motion when the start speed is reached; a positioning move creeps on.
void begin_deceleration(Chip& c, bool stop) {
    MotionState& s = c.motion;
    s.ramp_down_begun = true;
    s.stop_at_start_speed = s.stop_at_start_speed || stop;
    const int steps = static_cast<int>(s.speed - s.start_speed);
    if (steps <= 0) {
        s.ramping = false;
        if (s.stop_at_start_speed) finish(c, 0);
        return;
    }
    s.ramp = make_ramp(s.speed, steps, -1, c.live[kDecelRate], s.s_curve, c.live[kDecelSection], s.time);
    s.ramping = true;
}

static void end_of_ramp(Chip& c) {
    MotionState& s = c.motion;
    s.ramping = false;
    if (s.ramp.direction < 0 && s.stop_at_start_speed) finish(c, 0);
}

static double ramp_down_threshold(const Chip& c) {
    const MotionState& s = c.motion;
    if (s.manual_ramp_down) return static_cast<double>(s.ramp_down_point);
    return ramp_distance(s.speed, s.start_speed, c.live[kDecelRate], s.s_curve, c.live[kDecelSection], s.multiplier);
}

enum class MotionEvent { none, step, ramp_down, end };

// Pulses covered from the current time to step `last` of a ramp, for steps on its linear part
// (the speed is held one unit time after each of them).
static double linear_part_pulses(const MotionState& s, int last) {
    const Ramp& r = s.ramp;
    const double unit = unit_pps(s);
    const double first_hold = (r.start + r.step_offset(r.taken + 1) - s.time) * s.speed * unit;
    const double a = r.taken + 1, b = last - 1;  // steps whose speed is held a whole unit time
    if (b < a) return first_hold;
    const double count = b - a + 1;
    const double speed_sum = count * r.from + r.direction * (a + b) * count / 2.0;
    return first_hold + speed_sum * unit * r.unit_time;
}

// Takes many steps of a ramp's linear part at once when none of them can reach the ramp-down
// point or the end of the move: there the pulses have a closed form. On the linear part step k
// is made at (k + section) unit times. False when it took no step.
static bool skip_linear_steps(Chip& c, double until) {
    MotionState& s = c.motion;
    Ramp& r = s.ramp;
    if (r.taken + 1 < r.section) return false;
    const double linear_end = std::floor(r.steps - r.section);
    const double due = std::floor((until - r.start) / r.unit_time - r.section);
    int batch = static_cast<int>(std::min(linear_end, due) - r.taken);
    const bool watch_ramp_down = s.positioning && s.decelerates && !s.ramp_down_begun;
    for (; batch >= 2; batch /= 2) {
        const int last = r.taken + batch;
        const double pulses = linear_part_pulses(s, last);
        if (s.positioning) {
            const double left_after = static_cast<double>(s.target - s.done) - s.fraction - pulses;
            const double top_speed = std::max(s.speed, r.from + r.direction * last);
            double margin = 1.0;
            if (watch_ramp_down) {
                margin += s.manual_ramp_down ? static_cast<double>(s.ramp_down_point)
                                             : ramp_distance(top_speed, s.start_speed, c.live[kDecelRate], s.s_curve,
                                                             c.live[kDecelSection], s.multiplier);
            }
            if (left_after <= margin) continue;
        }
        const double covered = s.fraction + pulses;
        const double whole = std::floor(covered);
        s.fraction = covered - whole;
        output_pulses(c, static_cast<std::int64_t>(whole));
        s.time = r.start + r.step_offset(last);
        r.taken = last;
        s.speed = r.speed();
        s.peak_speed = std::max(s.peak_speed, s.speed);
        if (r.finished()) end_of_ramp(c);
        return true;
    }
    return false;
}

// Moves the running motion up to `until` (seconds), event by event.
void integrate(Chip& c, double until) {
    MotionState& s = c.motion;
    while (s.phase == Phase::running) {
        if (s.ramping && skip_linear_steps(c, until)) continue;
        double next = kNoEvent;
        MotionEvent event = MotionEvent::none;
        if (s.ramping) {
            next = s.ramp.next_step_time();
            event = MotionEvent::step;
        }
        const double pps = s.speed * unit_pps(s);
        if (s.positioning && pps > 0) {
            const double left = static_cast<double>(s.target - s.done) - s.fraction;
            const double at_end = s.time + left / pps;
            if (at_end <= next) {
                next = at_end;
                event = MotionEvent::end;
            }
            if (s.decelerates && !s.ramp_down_begun) {
                const double threshold = ramp_down_threshold(c);
                if (left <= threshold) {
                    begin_deceleration(c, false);
                    continue;
                }
                const double at_ramp_down = s.time + (left - threshold) / pps;
                if (at_ramp_down < next) {
                    next = at_ramp_down;
                    event = MotionEvent::ramp_down;
                }
            }
        }
        if (next > until) {
            run_for(c, until - s.time);
            s.time = until;
            return;
        }
        run_for(c, next - s.time);
        s.time = next;
        switch (event) {
            case MotionEvent::step:
                ++s.ramp.taken;
                s.speed = s.ramp.speed();
                s.peak_speed = std::max(s.peak_speed, s.speed);
                if (s.ramp.finished()) end_of_ramp(c);
                break;
            case MotionEvent::ramp_down: begin_deceleration(c, false); break;
            case MotionEvent::end: complete(c); break;
            case MotionEvent::none: return;
        }
    }
}

// The end limit in the direction of motion of the axis, as a stop reason (0 when clear).
static std::uint32_t limit_ahead(const Chip& c, int direction) {
    if (direction > 0 && c.inputs.el_plus) return stop_reason::kEndLimitPlus;
    if (direction < 0 && c.inputs.el_minus) return stop_reason::kEndLimitMinus;
    return 0;
}

static std::uint32_t limits_ahead_of_group(Chip& c) {
    std::uint32_t reason = limit_ahead(c, c.motion.direction);
    for (const MotionState::Follower& f : c.motion.followers) {
        if (f.done < f.target) reason |= limit_ahead(c.card().chip(f.axis), f.direction);
    }
    return reason;
}

// An end limit stops motion towards it: at once, or decelerating when env1 says so.
void stop_at_limits(Chip& c) {
    const std::uint32_t reason = limits_ahead_of_group(c);
    if (reason == 0) return;
    if ((c.env[0] & kEnv1EndLimitDecelerates) == 0) {
        finish(c, reason);
    } else if (!c.motion.stop_at_start_speed) {
        c.motion.stop_reason |= reason;
        begin_deceleration(c, true);
    }
}

void begin_running(Chip& c, unsigned code, double t) {
    MotionState& s = c.motion;
    s.phase = Phase::running;
    s.time = t;
    s.started_at = t;
    s.ramping = false;
    s.ramp_down_begun = false;
    s.stop_at_start_speed = false;
    s.decelerates = code == kStartDecelerating || code == kStartRamped;
    s.speed = code == kStartAtStartSpeed || code == kStartRamped ? s.start_speed : s.max_speed;
    s.peak_speed = s.speed;
    if (code == kStartRamped && s.max_speed > s.start_speed) {
        s.ramp = make_ramp(s.start_speed, static_cast<int>(s.max_speed - s.start_speed), +1, c.live[kAccelRate],
                           s.s_curve, c.live[kAccelSection], t);
        s.ramping = true;
    }
    if (s.positioning && s.target == 0) {
        complete(c);
        return;
    }
    const std::uint32_t reason = limits_ahead_of_group(c);
    if (reason != 0) finish(c, reason);
}

// Takes the profile over from the live bank (already loaded from the buffered one).
void take_profile(Chip& c) {
    MotionState& s = c.motion;
    const std::uint32_t mode = c.live[kOperationMode];
    const std::uint32_t kind = mode & kKindMask;
    const std::int64_t amount = static_cast<std::int32_t>(c.live[kMoveAmount]);
    s.positioning = kind != kKindContinuousPlus && kind != kKindContinuousMinus;
    s.direction = s.positioning ? (amount < 0 ? -1 : 1) : (kind == kKindContinuousMinus ? -1 : 1);
    s.target = amount < 0 ? -amount : amount;
    s.multiplier = static_cast<double>(c.live[kSpeedRange] & kSpeedRegisterMask) + 1.0;
    // A zero speed register would never move; the chip runs it as one unit.
    s.start_speed = std::max<double>(1.0, c.live[kStartSpeed] & kSpeedRegisterMask);
    s.max_speed = std::max<double>(1.0, c.live[kMaxSpeed] & kSpeedRegisterMask);
    s.s_curve = (mode & kSCurveBit) != 0;
    s.manual_ramp_down = (mode & kManualRampDownBit) != 0;
    s.ramp_down_point = c.live[kRampDownPoint];
    s.done = 0;
    s.fraction = 0;
    s.stop_reason = 0;
    s.leader = -1;
}

}  // namespace qsim
