// The motion engine of one driving chip axis. See motion_state.h for the model and
// motion_ramp.h for the ramps.
#include "motion_engine.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include "chip.h"
#include "chip_interrupt.h"
#include "home_operation.h"
#include "manual_motion.h"
#include "motion_registers.h"
#include "operation_kinds.h"

namespace qsim {

using Phase = MotionState::Phase;
using namespace motion_reg;

constexpr double kNoEvent = std::numeric_limits<double>::infinity();

double ns_to_seconds(Ns t) { return static_cast<double>(t) / static_cast<double>(kNsPerSecond); }

// A time past the clock's range (some 292 years: a slow move over a huge amount) never comes.
Ns seconds_to_ns_ceil(double t) {
    const double ns = std::ceil(t * static_cast<double>(kNsPerSecond));
    return ns < static_cast<double>(kNever) ? static_cast<Ns>(ns) : kNever;
}

void report(Chip& c, ChipEvent event, double t) {
    if (c.group().has_interrupt_line()) raise_motion_interrupt(c, event);
    c.group().report(c.axis(), event, static_cast<Ns>(std::llround(t * static_cast<double>(kNsPerSecond))));
}

static void add_to_counters(Chip& c, int direction, std::int64_t pulses) {
    const std::uint32_t delta = static_cast<std::uint32_t>(direction * pulses);
    c.command_counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(c.command_counter) + delta);
    c.position_counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(c.position_counter) + delta);
    c.home.place += direction * pulses;
}

// Outputs pulses of the profile: on the driving axis alone, or on every axis of its path.
void output_pulses(Chip& c, std::int64_t pulses) {
    MotionState& s = c.motion;
    if (pulses <= 0) return;
    s.done += pulses;
    if (!s.path) {
        add_to_counters(c, s.direction, pulses);
        return;
    }
    for (PathAxis& a : s.path->axes()) {
        const std::int64_t at = s.path->position(a, s.done);
        if (at != a.at) {
            add_to_counters(c.group().chip(a.axis), +1, at - a.at);
            a.direction = at > a.at ? +1 : -1;  // an axis on an arc turns where the circle does
            a.at = at;
        }
        a.done = s.path->due(a, s.done);
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
    MotionState& s = c.motion;
    if (s.path) {
        for (const PathAxis& a : s.path->axes()) {
            if (a.axis == c.axis()) continue;
            MotionState& fs = c.group().chip(a.axis).motion;
            fs.phase = Phase::idle;
            fs.leader = -1;
        }
    }
    s.path.reset();
}

void finish(Chip& c, std::uint32_t reason) {
    MotionState& s = c.motion;
    unsigned axes = 1u << c.axis();
    s.phase = Phase::idle;
    s.ended_pps = s.speed * unit_pps(s);
    s.ramp_down_held = false;
    s.speed = 0;
    s.ramping = false;
    s.reversing = false;
    s.ended_at = s.time;
    s.stop_reason |= reason;
    if (s.path) {
        for (const PathAxis& a : s.path->axes()) {
            axes |= 1u << a.axis;
            if (a.axis == c.axis()) continue;
            MotionState& fs = c.group().chip(a.axis).motion;
            fs.stop_reason |= reason;
            fs.ended_at = s.time;
        }
    }
    release_followers(c);
    if (reason != 0) drop_queued_moves(c.group(), axes);
    report(c, ChipEvent::move_ended, s.time);
}

// The move ran to its end: the last pulses, then a start that waited for it.
static void complete(Chip& c) {
    output_pulses(c, c.motion.target - c.motion.done);
    if (home_move_goes_on(c)) return;
    finish(c, 0);
    start_queued_moves(c.group(), c.motion.time);
}

static void start_ramp(Chip& c, double target, int direction) {
    MotionState& s = c.motion;
    const int steps = static_cast<int>(std::fabs(target - s.speed));
    const bool up = direction > 0;
    s.ramp = make_ramp(c.units(), s.speed, steps, direction, c.live[up ? kAccelRate : kDecelRate], s.s_curve,
                       c.live[up ? kAccelSection : kDecelSection], s.time);
    s.ramping = steps > 0;
}

void ramp_to(Chip& c, double target) {
    MotionState& s = c.motion;
    if (target > s.speed) {
        start_ramp(c, target, +1);
    } else if (target < s.speed) {
        start_ramp(c, target, -1);
    } else {
        s.ramping = false;
    }
}

// The axis has slowed to FL for a reversal: it turns and runs back to the new end.
static void turn(Chip& c) {
    MotionState& s = c.motion;
    const std::int64_t position = s.origin_offset + s.direction * s.done;
    const std::int64_t rest = s.reverse_amount - position;
    s.reversing = false;
    s.origin_offset = position;
    s.done = 0;
    s.watch = -1;
    s.fraction = 0;
    s.target = rest < 0 ? -rest : rest;
    if (rest != 0) s.direction = rest < 0 ? -1 : 1;
    s.ramp_down_begun = false;
    ramp_to(c, s.max_speed);
}

void begin_deceleration(Chip& c, bool stop) {
    MotionState& s = c.motion;
    s.ramp_down_begun = true;
    s.stop_at_start_speed = s.stop_at_start_speed || stop;
    if (!stop && !s.reversing) report(c, ChipEvent::ramp_down_begun, s.time);
    if (s.speed <= s.start_speed) {
        s.ramping = false;
        if (s.stop_at_start_speed) {
            finish(c, 0);
        } else if (s.reversing) {
            turn(c);
        }
        return;
    }
    start_ramp(c, s.start_speed, -1);
}

static void end_of_ramp(Chip& c) {
    MotionState& s = c.motion;
    s.ramping = false;
    const bool down = s.ramp.direction < 0;
    if (down && s.stop_at_start_speed) {
        finish(c, 0);
    } else if (down && s.reversing) {
        turn(c);
    } else {
        report(c, ChipEvent::ramp_ended, s.time);
    }
}

static double ramp_down_threshold(const Chip& c, double speed) {
    const MotionState& s = c.motion;
    if (s.manual_ramp_down) return static_cast<double>(s.ramp_down_point);
    return ramp_distance(c.units(), speed, s.start_speed, c.live[kDecelRate], s.s_curve, c.live[kDecelSection],
                         s.multiplier);
}

static bool watching_ramp_down(const MotionState& s) {
    return s.positioning && s.decelerates && !s.ramp_down_begun;
}

enum class MotionEvent { none, step, ramp_down, watch, end };

// The move got to its watch point: exactly there, whatever the rounding of the run to it.
static void reach_watch(Chip& c) {
    MotionState& s = c.motion;
    s.fraction = 0;
    output_pulses(c, s.watch - s.done);
    s.watch = -1;
    home_point_met(c);
}

// Pulses covered from the current time up to a later step of the ramp: the current speed held to
// the next step, then each step's speed held to the step after it. The sum over the steps has a
// closed form in the ramp's step-offset sums, whichever parts of the ramp they lie on.
class RampRun {
public:
    explicit RampRun(const MotionState& s)
        : s_(s), r_(s.ramp), a_(r_.taken + 1), first_hold_((r_.step_offset(a_) - (s.time - r_.start)) * s.speed),
          base_(r_.speed_after(a_) * r_.step_offset(a_) - r_.direction * r_.offset_sum(a_)) {}

    double pulses_to(int last) const {
        const int b = last - 1;  // steps a..b are held until the next one
        double held = 0;
        if (b >= a_) held = r_.speed_after(b) * r_.step_offset(b + 1) - r_.direction * r_.offset_sum(b) - base_;
        return (first_hold_ + held) * unit_pps(s_);
    }

private:
    const MotionState& s_;
    const Ramp& r_;
    int a_;
    double first_hold_;
    double base_;
};

// The longest run of steps of the ramp up to step `high` that stops short of the ramp-down point
// and the end of the move, and the first step that does not (INT_MAX when step `high` is short
// of both). The pulses and the ramp-down distance both grow along the run, so the limit is found
// by search; it usually lies near the end of the run (a ramp that ends close to the ramp-down
// point or the end of the move), so the search gallops down from there, then bisects.
struct RunEnd {
    int last;
    double pulses;
    int blocked_from;
};

static RunEnd longest_run(const Chip& c, int high) {
    const MotionState& s = c.motion;
    const Ramp& r = s.ramp;
    const RampRun run(s);
    const bool watch = watching_ramp_down(s);
    const double left = static_cast<double>(s.target - s.done) - s.fraction;
    const double measured = left + static_cast<double>(s.ramp_down_extra);  // what the ramp-down measures
    auto fits = [&](int last, double* pulses) {
        *pulses = run.pulses_to(last);
        if (s.watch >= 0 && static_cast<double>(s.watch - s.done) - s.fraction - *pulses <= 1e-3) return false;
        if (!s.positioning) return true;
        constexpr double kEventMargin = 1e-3;  // the end and the ramp-down point are events of their own
        if (left - *pulses <= kEventMargin) return false;
        return !watch ||
               measured - *pulses > kEventMargin + ramp_down_threshold(c, std::max(s.speed, r.speed_after(last)));
    };
    RunEnd end{high, 0, INT_MAX};
    if (fits(high, &end.pulses)) return end;
    int low = r.taken + 1;  // one step is always left to the event loop
    end.pulses = 0;
    for (int gap = 1; high - gap > low; gap *= 2) {
        double p = 0;
        if (fits(high - gap, &p)) {
            low = high - gap;
            end.pulses = p;
            break;
        }
        high -= gap;
    }
    while (high - low > 1) {
        const int mid = low + (high - low) / 2;
        double p = 0;
        if (fits(mid, &p)) {
            low = mid;
            end.pulses = p;
        } else {
            high = mid;
        }
    }
    end.last = low;
    end.blocked_from = high;
    return end;
}

int first_blocked_step(const Chip& c) {
    const MotionState& s = c.motion;
    if (!s.ramping || !s.positioning || s.ramp.steps - s.ramp.taken < 1) return INT_MAX;
    if (s.ramp.blocked_from != INT_MAX) return s.ramp.blocked_from;
    return longest_run(c, s.ramp.steps).blocked_from;
}

// Takes a run of steps of the ramp at once: all those due by `until`, or, when the run would
// reach the ramp-down point or the end of the move, the longest run that stops short of it.
// False when it would take fewer than two steps; the event loop takes those one by one.
static bool skip_steps(Chip& c, double until) {
    MotionState& s = c.motion;
    Ramp& r = s.ramp;
    const int high = std::min({r.steps_by(until - r.start), r.steps, r.blocked_from - 1});
    if (high - r.taken < 2) return false;
    const RunEnd run = longest_run(c, high);
    r.blocked_from = std::min(r.blocked_from, run.blocked_from);
    const int last = run.last;
    const double pulses = run.pulses;
    if (last - r.taken < 2) return false;
    const double covered = s.fraction + pulses;
    double whole = std::floor(covered);
    if (s.positioning) whole = std::min(whole, static_cast<double>(s.target - s.done - 1));
    s.fraction = covered - whole;
    output_pulses(c, static_cast<std::int64_t>(whole));
    s.time = r.start + r.step_offset(last);
    r.taken = last;
    s.speed = r.speed();
    s.peak_speed = std::max(s.peak_speed, s.speed);
    if (r.finished()) end_of_ramp(c);
    return true;
}

void integrate(Chip& c, double until) {
    MotionState& s = c.motion;
    while (s.phase == Phase::running) {
        if (s.ramping && skip_steps(c, until)) continue;
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
            if (s.watch >= 0) {
                const double to_watch = std::max(0.0, static_cast<double>(s.watch - s.done) - s.fraction);
                const double at_watch = s.time + to_watch / pps;
                if (at_watch <= next) {
                    next = at_watch;
                    event = MotionEvent::watch;
                }
            }
            if (watching_ramp_down(s)) {
                const double threshold = ramp_down_threshold(c, s.speed);
                const double measured = left + static_cast<double>(s.ramp_down_extra);
                if (measured <= threshold) {
                    begin_deceleration(c, false);
                    continue;
                }
                const double at_ramp_down = s.time + (measured - threshold) / pps;
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
            case MotionEvent::watch: reach_watch(c); break;
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
    const MotionState& s = c.motion;
    if (!s.path) return limit_ahead(c, s.direction);
    std::uint32_t reason = 0;
    for (const PathAxis& a : s.path->axes()) {
        if (a.done < a.target) reason |= limit_ahead(c.group().chip(a.axis), a.direction);
    }
    return reason;
}

void stop_at_limits(Chip& c) {
    const std::uint32_t reason = limits_ahead_of_group(c);
    if (reason == 0) return;
    if ((c.env[0] & kEnv1EndLimitDecelerates) == 0) {
        finish(c, reason);
    } else if (!c.motion.stop_at_start_speed) {
        c.motion.stop_reason |= reason;
        drop_queued_moves(c.group(), 1u << c.axis());
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
    s.reversing = false;
    s.origin_offset = 0;
    s.decelerates = code == kStartDecelerating || code == kStartRamped;
    s.speed = code == kStartAtStartSpeed || code == kStartRamped ? s.start_speed : s.max_speed;
    s.peak_speed = s.speed;
    const OperationKind& kind = decode_kind(c.live[kOperationMode]);
    if (kind.motion == KindMotion::external) {
        arm_manual_source(c, kind.code);
        return;
    }
    s.manual = ManualState{};
    report(c, ChipEvent::move_started, t);
    if (kind.paced_by_pulser) {
        wait_for_pulser(c);
    } else if (code == kStartRamped && s.max_speed > s.start_speed) {
        ramp_to(c, s.max_speed);
    }
    begin_home(c);
    if (s.positioning && s.target == 0) {
        complete(c);
        return;
    }
    const std::uint32_t reason = limits_ahead_of_group(c);
    if (reason != 0) finish(c, reason);
}

void take_profile(Chip& c) {
    MotionState& s = c.motion;
    const std::uint32_t mode = c.live[kOperationMode];
    const OperationKind& kind = decode_kind(mode);
    const std::int64_t amount = c.units().signed_amount(c.live[kMoveAmount]);
    const std::uint32_t speed_mask = c.units().speed_mask();
    s.positioning = kind.motion != KindMotion::continuous;
    // Continuous and origin kinds name their direction; a positioning move takes its amount's sign.
    s.direction = kind.direction != 0 ? kind.direction : (amount < 0 ? -1 : 1);
    s.target = amount < 0 ? -amount : amount;
    s.multiplier = static_cast<double>(c.live[kSpeedRange] & kSpeedRangeMask) + 1.0;
    s.unit_pps = c.units().speed_numerator / s.multiplier;
    // A zero speed register would never move; the chip runs it as one unit.
    s.start_speed = std::max<double>(1.0, c.live[kStartSpeed] & speed_mask);
    s.max_speed = std::max<double>(1.0, c.live[kMaxSpeed] & speed_mask);
    s.s_curve = (mode & kSCurveBit) != 0;
    s.manual_ramp_down = (mode & kManualRampDownBit) != 0;
    s.ramp_down_point = c.live[kRampDownPoint];
    s.ramp_down_extra = 0;
    s.done = 0;
    s.fraction = 0;
    s.stop_reason = 0;
    s.leader = -1;
    s.path.reset();
}

}  // namespace qsim
