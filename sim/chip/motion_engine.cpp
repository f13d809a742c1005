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
#include "chip_codes.h"
#include "operation_kinds.h"
#include "servo_drive.h"
#include "signal_stops.h"

namespace qsim {

using Phase = MotionState::Phase;
using namespace chipcode;

constexpr double kNoEvent = std::numeric_limits<double>::infinity();

// A time past the clock's range (some 292 years: a slow move over a huge amount) never comes.
Ns seconds_to_ns_ceil(double t) {
    const double ns = std::ceil(t * static_cast<double>(kNsPerSecond));
    return ns < static_cast<double>(kNever) ? static_cast<Ns>(ns) : kNever;
}

void report(Chip& c, ChipEvent event, double t) {
    if (c.group().has_interrupt_line()) raise_motion_interrupt(c, event);
    c.group().report(c.axis(), event, static_cast<Ns>(std::llround(t * static_cast<double>(kNsPerSecond))));
}

// Command pulses go to the command counter; the position counter counts them too on an ideal
// axis, and the drive's encoder pulses when a drive follows the axis.
static void add_to_counters(Chip& c, int direction, std::int64_t pulses) {
    const std::uint32_t delta = static_cast<std::uint32_t>(direction * pulses);
    c.command_counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(c.command_counter) + delta);
    if (c.drive.on) {
        c.drive.commanded += direction * pulses;
    } else {
        c.position_counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(c.position_counter) + delta);
    }
    c.home.place += direction * pulses;
}

// The drives of the move's axes follow it up to the motion's time; the profile's speed went from
// `from` to `to` units over the span. True when a drive raised its alarm.
static bool follow_drives_of(Chip& c, double from, double to) {
    MotionState& s = c.motion;
    if (!s.path) {
        // Nothing to follow at the same instant with no new pulse (a poll, the end of a move).
        if (drive_idle_until(c.drive, s.time)) return false;
        const double pps = unit_pps(s);
        return advance_busy_drive(c, s.time, s.direction * from * pps, s.direction * to * pps);
    }
    const double pps = unit_pps(s);
    bool alarm = false;
    for (const PathAxis& a : s.path->axes()) {
        Chip& axis = c.group().chip(a.axis);
        if (!axis.drive.on) continue;
        const double share = s.path->share(a, s.done) * a.direction * pps;
        alarm = advance_drive(axis, s.time, from * share, to * share) || alarm;
    }
    return alarm;
}

// A card without a drive on pays one test at each span.
static inline bool follow_drives(Chip& c, double from, double to) {
    return c.group().drives_on != 0 && follow_drives_of(c, from, to);
}

// The next time a drive of the move's axes changes a signal at the motion's present speed.
double drives_event_time(Chip& c, bool in_position) {
    MotionState& s = c.motion;
    if (c.group().drives_on == 0) return std::numeric_limits<double>::infinity();
    const double pps = s.speed * unit_pps(s);
    if (!s.path) return drive_event_time(c, s.direction * pps, in_position);
    double at = std::numeric_limits<double>::infinity();
    for (const PathAxis& a : s.path->axes()) {
        const Chip& axis = c.group().chip(a.axis);
        if (axis.drive.on) at = std::min(at, drive_event_time(axis, s.path->share(a, s.done) * a.direction * pps, in_position));
    }
    return at;
}

// The time of the next drive event of a running motion, no earlier than its time. A single axis
// at a speed its drive's lag cannot carry past its limit (the usual step) is answered inline.
static inline double next_drive_event_of(Chip& c) {
    MotionState& s = c.motion;
    if (!s.path && drive_surely_quiet(c.drive, c.outputs, chipcode::kErcOutputBit, error_counter_watched_by(c.env),
                                      s.direction * s.speed * unit_pps(s))) {
        return kNoEvent;
    }
    return std::max(s.time, drives_event_time(c, false));
}

// True when a drive of the move's axes has a level to watch (its deviation limit, an
// error-counter check): only then does the motion look for drive events while it runs.
static bool drives_watch_levels(Chip& c) {
    const MotionState& s = c.motion;
    if (c.group().drives_on == 0) return false;
    if (!s.path) return c.drive.on && drive_watches_levels(c);
    for (const PathAxis& a : s.path->axes()) {
        const Chip& axis = c.group().chip(a.axis);
        if (axis.drive.on && drive_watches_levels(axis)) return true;
    }
    return false;
}

bool move_in_position(Chip& c) {
    MotionState& s = c.motion;
    if (!s.path) return in_position_signal(c);
    for (const PathAxis& a : s.path->axes()) {
        if (!in_position_signal(c.group().chip(a.axis))) return false;
    }
    return true;
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
    AxisReasons reasons{};
    reasons.fill(reason);
    finish_axes(c, reasons);
}

void finish_axes(Chip& c, const AxisReasons& reasons) {
    MotionState& s = c.motion;
    follow_drives(c, s.speed, s.speed);  // the last pulses reach the drives at this instant
    unsigned axes = 1u << c.axis();
    std::uint32_t any = reasons[static_cast<std::size_t>(c.axis())];
    s.phase = Phase::idle;
    s.ended_pps = s.speed * unit_pps(s);
    s.ramp_down_held = false;
    s.speed = 0;
    s.ramping = false;
    s.reversing = false;
    s.settling = false;
    s.ended_at = s.time;
    s.stop_reason |= reasons[static_cast<std::size_t>(c.axis())];
    // The other axes of a path stopped with it; one that has a reason of its own raises its
    // own stop interrupt.
    unsigned reporting = 0;
    if (s.path) {
        for (const PathAxis& a : s.path->axes()) {
            axes |= 1u << a.axis;
            if (a.axis == c.axis()) continue;
            MotionState& fs = c.group().chip(a.axis).motion;
            const std::uint32_t own = reasons[static_cast<std::size_t>(a.axis)];
            fs.stop_reason |= own;
            fs.ended_at = s.time;
            any |= own;
            if ((fs.stop_reason & stop_reason::kReportedCauses) != 0) reporting |= 1u << a.axis;
        }
    }
    release_followers(c);
    if (any != 0) drop_queued_moves(c.group(), axes);
    report(c, ChipEvent::move_ended, s.time);
    if (c.group().has_interrupt_line()) {
        for (int a = 0; a < c.group().size(); ++a) {
            if ((reporting & (1u << a)) != 0) raise_motion_interrupt(c.group().chip(a), ChipEvent::move_ended);
        }
    }
}

// The move ran to its end: the last pulses, then a start that waited for it.
// With in-position enabled (operation-mode bit 9) the move is done only once its axes are in
// position; until then it stands at speed 0 with its pulses out.
static void complete(Chip& c) {
    output_pulses(c, c.motion.target - c.motion.done);
    if (home_move_goes_on(c)) return;
    if ((c.live[kOperationMode] & kWaitForInPosition) != 0) {
        follow_drives(c, c.motion.speed, c.motion.speed);
        if (!move_in_position(c)) {
            MotionState& s = c.motion;
            s.settling = true;
            s.speed = 0;
            s.ramping = false;
            return;
        }
    }
    finish(c, 0);
    start_queued_moves(c.group(), c.motion.time);
}

// A move waiting for in-position: it ends when its axes get there, by `until` or later. The
// drives say when their signal comes; the in-position input of an axis without a drive is
// looked at as it is.
static void settle(Chip& c, double until) {
    MotionState& s = c.motion;
    constexpr int kMaxLooks = 16;  // each look brings the drives to their next event
    for (int look = 0; look < kMaxLooks; ++look) {
        if (move_in_position(c)) {
            finish(c, 0);
            start_queued_moves(c.group(), s.time);
            return;
        }
        const double at = std::max(s.time, drives_event_time(c, true));
        if (at > until) break;
        s.time = at;
        follow_drives(c, 0, 0);
    }
    s.time = until;
    follow_drives(c, 0, 0);
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

enum class MotionEvent { none, step, ramp_down, watch, end, drive };

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
    const double speed_before = s.speed;
    s.speed = r.speed();
    s.peak_speed = std::max(s.peak_speed, s.speed);
    const bool alarmed = follow_drives(c, speed_before, s.speed);
    if (r.finished()) end_of_ramp(c);
    if (alarmed && s.phase == Phase::running) stop_at_signals(c);
    return true;
}

void integrate(Chip& c, double until) {
    MotionState& s = c.motion;
    const bool drive_events = drives_watch_levels(c);
    while (s.phase == Phase::running) {
        if (s.settling) {
            settle(c, until);
            return;
        }
        // A drive's alarm or error-counter check is an event of the motion: runs of steps stop
        // short of it.
        const double at_drive = drive_events ? next_drive_event_of(c) : kNoEvent;
        if (s.ramping && skip_steps(c, std::min(until, at_drive))) continue;
        double next = kNoEvent;
        MotionEvent event = MotionEvent::none;
        if (s.ramping) {
            next = s.ramp.next_step_time();
            event = MotionEvent::step;
        }
        if (at_drive < next) {
            next = at_drive;
            event = MotionEvent::drive;
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
            if (follow_drives(c, s.speed, s.speed)) stop_at_signals(c);
            return;
        }
        run_for(c, next - s.time);
        s.time = next;
        if (follow_drives(c, s.speed, s.speed)) {
            stop_at_signals(c);
            continue;
        }
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
            case MotionEvent::drive: break;
            case MotionEvent::none: return;
        }
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
    s.settling = false;
    s.origin_offset = 0;
    s.decelerates = code == kStartDecelerating || code == kStartRamped;
    s.speed = code == kStartAtStartSpeed || code == kStartRamped ? s.start_speed : s.max_speed;
    s.peak_speed = s.speed;
    drives_catch_up(c, t);
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
    refuse_start_under_signals(c);
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
    s.sd_slowed = false;
    s.sd_seen = false;
    s.settling = false;
    s.leader = -1;
    s.path.reset();
}

void drives_catch_up(Chip& c, double t) {
    if (c.group().drives_on == 0) return;
    const MotionState& s = c.motion;
    if (!s.path) {
        advance_drive(c, t, 0, 0);
        return;
    }
    for (const PathAxis& a : s.path->axes()) advance_drive(c.group().chip(a.axis), t, 0, 0);
}

}  // namespace qsim
