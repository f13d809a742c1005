#include "signal_stops.h"

#include "chip.h"
#include "motion_engine.h"
#include "chip_codes.h"

namespace qsim {
namespace {

using Phase = MotionState::Phase;
using namespace chipcode;

// What the signals of one axis of a move ask for.
struct SignalCause {
    std::uint32_t reason = 0;  // stop reasons (stop_reason::*)
    bool at_once = false;      // some of them stop the axis at once, the others decelerate it
    bool slow = false;         // the slow-down input slows the axis to FL
};

bool env1(const Chip& c, std::uint32_t bit) { return (c.env[kEnv1Index] & bit) != 0; }

// The slow-down input as the chip sees it: its level through the logic bit, held once seen when
// latched.
bool slow_down_active(const Chip& a, MotionState& move) {
    const bool level = a.inputs.slow_down == env1(a, kEnv1SlowDownActiveHigh);
    if (level) move.sd_seen = true;
    return level || (move.sd_seen && env1(a, kEnv1SlowDownLatched));
}

SignalCause cause_of(Chip& a, MotionState& move, int direction, bool moving) {
    SignalCause k;
    if (a.group().emergency) {
        k.reason |= stop_reason::kEmergency;
        k.at_once = true;
    }
    if (alarm_signal(a)) {
        k.reason |= stop_reason::kAlarm;
        k.at_once = k.at_once || !env1(a, kEnv1AlarmDecelerates);
    }
    std::uint32_t limit = 0;
    if (moving && direction > 0 && a.inputs.el_plus) limit = stop_reason::kEndLimitPlus;
    if (moving && direction < 0 && a.inputs.el_minus) limit = stop_reason::kEndLimitMinus;
    if (limit != 0) {
        k.reason |= limit;
        k.at_once = k.at_once || !env1(a, kEnv1EndLimitDecelerates);
    }
    if ((a.live[kOperationMode] & kSlowDownEnable) != 0 && slow_down_active(a, move)) {
        if (env1(a, kEnv1SlowDownStops)) {
            k.reason |= stop_reason::kSlowDown;
        } else {
            k.slow = true;
        }
    }
    return k;
}

struct MoveCauses {
    AxisReasons reasons{};
    bool any = false;
    bool at_once = false;
    bool slow = false;
};

// The causes of every axis of c's move. An axis of a path without a cause of its own is stopped
// by the others; the emergency is every axis's own cause.
MoveCauses causes_of_move(Chip& c) {
    MotionState& s = c.motion;
    MoveCauses m;
    auto take = [&](int axis, const SignalCause& k) {
        m.reasons[static_cast<std::size_t>(axis)] = k.reason;
        m.any = m.any || k.reason != 0;
        m.at_once = m.at_once || (k.reason != 0 && k.at_once);
        m.slow = m.slow || k.slow;
    };
    if (!s.path) {
        take(c.axis(), cause_of(c, s, s.direction, true));
        return m;
    }
    for (const PathAxis& a : s.path->axes()) {
        take(a.axis, cause_of(c.group().chip(a.axis), s, a.direction, a.done < a.target));
    }
    if (m.any) {
        for (const PathAxis& a : s.path->axes()) {
            std::uint32_t& r = m.reasons[static_cast<std::size_t>(a.axis)];
            if (r == 0) r = stop_reason::kOtherAxis;
        }
    }
    return m;
}

void decelerate_to_stop(Chip& c, const AxisReasons& reasons) {
    MotionState& s = c.motion;
    s.stop_reason |= reasons[static_cast<std::size_t>(c.axis())];
    if (s.path) {
        for (const PathAxis& a : s.path->axes()) {
            if (a.axis != c.axis()) c.group().chip(a.axis).motion.stop_reason |= reasons[static_cast<std::size_t>(a.axis)];
        }
    }
    s.reversing = false;
    drop_queued_moves(c.group(), 1u << c.axis());
    begin_deceleration(c, true);
}

// The slow-down slows the move to FL while it is active; released, the move goes back to FH
// unless its final deceleration has begun.
void follow_slow_down(Chip& c, bool slow) {
    MotionState& s = c.motion;
    if (slow == s.sd_slowed) return;
    s.sd_slowed = slow;
    if (s.ramp_down_begun || s.stop_at_start_speed || s.manual.paced) return;
    ramp_to(c, slow ? s.start_speed : s.max_speed);
}

}  // namespace

void stop_at_signals(Chip& c) {
    if (c.motion.phase != Phase::running) return;
    const MoveCauses m = causes_of_move(c);
    if (m.at_once) {
        finish_axes(c, m.reasons);
    } else if (m.any) {
        // A stop already decelerating goes on as it is.
        if (!c.motion.stop_at_start_speed) decelerate_to_stop(c, m.reasons);
    } else {
        follow_slow_down(c, m.slow);
    }
}

void refuse_start_under_signals(Chip& c) {
    if (c.motion.phase != Phase::running) return;
    const MoveCauses m = causes_of_move(c);
    if (m.any) {
        finish_axes(c, m.reasons);
    } else {
        follow_slow_down(c, m.slow);
    }
}

void stop_group_for_emergency(ChipGroup& group) {
    for (int a = 0; a < group.size(); ++a) {
        Chip& c = group.chip(a);
        const Phase p = c.motion.phase;
        if (p != Phase::running && p != Phase::waiting) continue;
        AxisReasons reasons{};
        reasons.fill(stop_reason::kEmergency);
        finish_axes(c, reasons);
    }
}

}  // namespace qsim
