#include "manual_motion.h"

#include <algorithm>
#include <cmath>

#include "chip.h"
#include "motion_engine.h"
#include "motion_registers.h"

namespace qsim {
namespace {

using Phase = MotionState::Phase;
using namespace motion_reg;

constexpr std::uint32_t kKindHandWheel = 0x01;
constexpr std::uint32_t kKindJog = 0x02;
constexpr std::uint32_t kKindStep = 0x56;
constexpr std::uint32_t kEnv2PulserInverse = 1u << 26;
constexpr unsigned kEnv2 = 1, kEnv6 = 5;

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

// Ends a motion at t after it got every pulse the turn owed it; a move done on its count lets a
// queued start go.
void settle_turn(Chip& c, double t) {
    MotionState& s = c.motion;
    const std::int64_t owed = s.manual.goal - s.done;
    if (owed > 0) output_pulses(c, owed);
    s.manual.turn = 0;
    s.fraction = 0;
    if (s.manual.wheel_run || (s.positioning && s.done >= s.target)) {
        finish(c, 0);
        start_queued_moves(c.group(), t);
        return;
    }
    s.speed = 0;
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
    const std::uint32_t half = c.env[kEnv6] >> 16;
    const std::int64_t p = static_cast<std::int64_t>(half & 0x7FFu) + 1;
    const std::int64_t m = static_cast<std::int64_t>(half >> 11) + 1;
    ManualState& ms = c.motion.manual;
    const std::int64_t total = ms.remainder + detents * m;
    const std::int64_t out = total / p;  // toward zero, as the divider counts
    ms.remainder = total - out * p;
    return out;
}

void wheel_turn_begins(Chip& c, std::uint64_t turn, std::int64_t detents, double duration, bool selected, double t) {
    MotionState& s = c.motion;
    if (armed_for(c, kKindHandWheel) && selected && idle(c)) {
        std::int64_t pulses = divide_wheel_pulses(c, detents);
        if ((c.env[kEnv2] & kEnv2PulserInverse) != 0) pulses = -pulses;
        if (pulses == 0) return;
        run_from_live(c, true, pulses < 0 ? -pulses : pulses, pulses < 0 ? -1 : 1, t);
        s.decelerates = false;
        s.speed = static_cast<double>(s.target) / duration / unit_pps(s);
        s.peak_speed = s.speed;
        s.manual.wheel_run = true;
        s.manual.turn = turn;
        s.manual.goal = s.target;
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

void wheel_turn_ends(Chip& c, std::uint64_t turn, double t) {
    if (c.motion.manual.turn != turn) return;
    if (c.motion.phase != Phase::running) {
        c.motion.manual.turn = 0;
        return;
    }
    settle_turn(c, t);
}

}  // namespace qsim
