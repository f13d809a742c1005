#include "manual_motion.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "chip.h"
#include "home_operation.h"
#include "motion_engine.h"
#include "chip_codes.h"

namespace qsim {
namespace {

using Phase = MotionState::Phase;
using namespace chipcode;

// Wheel pulses counted per detent by the pulser input mode (env2 bits 24-25): the A/B phase
// signals once, twice or four times per cycle; mode 3 takes count pulses one for one.
constexpr std::int64_t kPulsesPerDetent[4] = {1, 2, 4, 1};

bool armed_for(const Chip& c, std::uint32_t kind) { return c.motion.manual.armed && c.motion.manual.kind == kind; }

bool idle(const Chip& c) { return c.motion.phase == Phase::idle; }

// Runs a motion of the armed source from the live bank at time t: a jog (positioning false) or
// a step or wheel run of `target` pulses.
void run_from_live(Chip& c, bool positioning, std::int64_t target, int direction, double t) {
    take_profile(c);
    MotionState& s = c.motion;
    s.positioning = positioning;
    s.target = target;
    s.direction = direction;
    s.phase = Phase::running;
    s.time = t;
    s.started_at = t;
    s.ramping = false;
    s.ramp_down_begun = false;
    s.stop_at_start_speed = false;
    s.reversing = false;
    s.origin_offset = 0;
    s.manual.wheel_run = false;
    report(c, ChipEvent::move_started, t);
}

// Ends a paced move's turn at t after it got every pulse the turn owed it; a move done on its
// count lets a queued start go.
void settle_turn(Chip& c, double t) {
    MotionState& s = c.motion;
    std::int64_t owed = s.manual.goal - s.done;
    // A watch point (a pulser home search's home point) within the owed pulses is met there.
    const bool meets_watch = s.watch >= 0 && s.done + owed >= s.watch;
    if (meets_watch) owed = s.watch - s.done;
    if (owed > 0) output_pulses(c, owed);
    if (meets_watch) {
        s.watch = -1;
        s.fraction = 0;
        home_point_met(c);
        s.manual.turn = 0;
        if (s.phase != Phase::running) return;
    }
    s.manual.turn = 0;
    s.fraction = 0;
    if (s.positioning && s.done >= s.target) {
        finish(c, 0);
        start_queued_moves(c.group(), t);
        return;
    }
    s.speed = 0;
}

// The speed (units) a hand-wheel run heads for while a turn of `pulses` over `duration` feeds
// it: the turn's pace, but never above the profile's FH (the live maximum speed).
double wheel_speed(const Chip& c, std::int64_t pulses, double duration) {
    const double fh = std::max<double>(1.0, c.live[kMaxSpeed] & c.units().speed_mask());
    const double pace = static_cast<double>(pulses < 0 ? -pulses : pulses) / duration / unit_pps(c.motion);
    return std::min(pace, fh);
}

// A turn of the hand wheel runs the armed axis by its pulses, as a positioning run on the live
// profile whose count grows with each turn: from FL it ramps at the acceleration rate to the
// turn's pace (at most FH); while the wheel turns the run holds its ramp-down, and once the
// wheel stops it finds its ramp-down point and slows at the deceleration rate to FL on its last
// pulse. A turn the other way slows the axis to FL, turns it and runs it back. The count is the
// turns' pulses, so none is lost however the ramps lag the wheel.
void wheel_runs_axis(Chip& c, std::uint64_t turn, std::int64_t detents, double duration, double t) {
    MotionState& s = c.motion;
    std::int64_t pulses = divide_wheel_pulses(c, detents);
    if ((c.env[kEnv2Index] & kEnv2PulserInverse) != 0) pulses = -pulses;
    if (pulses == 0) return;
    if (!idle(c)) {
        if (!s.manual.wheel_run || s.phase != Phase::running) return;
        // Still running out earlier turns: the new pulses move the run's end.
        const std::int64_t end = s.reversing ? s.reverse_amount : s.origin_offset + s.direction * s.target;
        s.max_speed = wheel_speed(c, pulses, duration);
        s.decelerates = false;
        s.ramp.blocked_from = INT_MAX;
        retarget(c, end + pulses);
        if (!s.reversing) {
            s.ramp_down_begun = false;
            ramp_to(c, s.max_speed);
        }
        s.manual.turn = turn;
        return;
    }
    run_from_live(c, true, pulses < 0 ? -pulses : pulses, pulses < 0 ? -1 : 1, t);
    s.manual.wheel_run = true;
    s.manual_ramp_down = false;  // the run finds its own ramp-down point: its count keeps growing
    s.decelerates = false;       // held while the wheel turns
    s.max_speed = wheel_speed(c, pulses, duration);
    s.speed = std::min(s.start_speed, s.max_speed);
    s.peak_speed = s.speed;
    ramp_to(c, s.max_speed);
    s.manual.turn = turn;
}

}  // namespace

void arm_manual_source(Chip& c, std::uint32_t kind) {
    MotionState& s = c.motion;
    s.phase = Phase::idle;
    s.speed = 0;
    s.manual = ManualState{};
    s.manual.armed = true;
    s.manual.kind = kind;
}

void disarm_manual_source(Chip& c) { c.motion.manual.armed = false; }

void wait_for_pulser(Chip& c) {
    MotionState& s = c.motion;
    s.manual.paced = true;
    s.speed = 0;
    s.peak_speed = 0;
    s.ramping = false;
    s.decelerates = false;  // the pulses end the move on its count, not a ramp
}

bool jog_switch(Chip& c, int direction, bool pressed, double t) {
    if (!armed_for(c, kKindJog)) return false;
    MotionState& s = c.motion;
    if (pressed) {
        if (!idle(c)) return false;
        run_from_live(c, false, 0, direction, t);
        s.decelerates = true;
        s.speed = s.start_speed;
        s.peak_speed = s.speed;
        ramp_to(c, s.max_speed);
        return true;
    }
    if (s.phase != Phase::running || s.direction != direction) return false;
    begin_deceleration(c, true);
    return true;
}

bool step_press(Chip& c, int direction, double t) {
    if (!armed_for(c, kKindStep) || !idle(c)) return false;
    const std::int64_t amount = static_cast<std::int32_t>(c.live[kMoveAmount]);
    run_from_live(c, true, amount < 0 ? -amount : amount, direction, t);
    MotionState& s = c.motion;
    s.decelerates = true;
    s.speed = s.start_speed;
    s.peak_speed = s.speed;
    if (s.target == 0) {
        finish(c, 0);
        return true;
    }
    ramp_to(c, s.max_speed);
    return true;
}

std::int64_t divide_wheel_pulses(Chip& c, std::int64_t detents) {
    const std::uint32_t half = c.env[kEnv6Index] >> 16;
    const std::int64_t p = static_cast<std::int64_t>(half & 0x7FFu) + 1;
    const std::int64_t m = static_cast<std::int64_t>(half >> 11) + 1;
    ManualState& ms = c.motion.manual;
    const std::int64_t counted = detents * kPulsesPerDetent[(c.env[kEnv2Index] >> kEnv2PulserModeShift) & 0x3u];
    const std::int64_t total = ms.remainder + counted * m;
    const std::int64_t out = total / p;  // toward zero, as the divider counts
    ms.remainder = total - out * p;
    return out;
}

void wheel_turn_begins(Chip& c, std::uint64_t turn, std::int64_t detents, double duration, bool selected, double t) {
    MotionState& s = c.motion;
    // Kind 0x01 armed by a start at FH (0x51) is the hand wheel: it takes the wheel as the board
    // passes it on (enable, routing) and while its own enable (env3 bit 13) is set. Armed by
    // another start (0x50) it is a pulser speed move, which takes every turn.
    const bool hand_wheel = c.motion.start_code == chipcode::kStartAtMaxSpeed;
    const bool takes_turn = hand_wheel ? selected && (c.env[kEnv3Index] & kEnv3HandWheelEnable) != 0 : true;
    if (armed_for(c, kKindHandWheel) && takes_turn) {
        wheel_runs_axis(c, turn, detents, duration, t);
        return;
    }
    if (!s.manual.paced || s.phase != Phase::running) return;
    // A paced move takes the turn's pulses whichever way the wheel turns.
    const std::int64_t pulses = std::llabs(divide_wheel_pulses(c, detents < 0 ? -detents : detents));
    if (pulses == 0) return;
    std::int64_t goal = s.done + pulses;
    if (s.positioning) goal = std::min(goal, s.target);
    s.speed = static_cast<double>(pulses) / duration / unit_pps(s);
    s.peak_speed = std::max(s.peak_speed, s.speed);
    s.manual.turn = turn;
    s.manual.goal = goal;
}

void wheel_turn_ends(Chip& c, std::uint64_t turn, bool wheel_stops, double t) {
    MotionState& s = c.motion;
    if (s.manual.turn != turn) return;
    if (s.phase != Phase::running) {
        s.manual.turn = 0;
        return;
    }
    if (s.manual.wheel_run) {
        s.manual.turn = 0;
        if (wheel_stops) {
            s.decelerates = true;  // the run slows for its end from here
            s.ramp.blocked_from = INT_MAX;
        }
        return;
    }
    settle_turn(c, t);
}

}  // namespace qsim
