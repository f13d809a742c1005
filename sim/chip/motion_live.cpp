// Live registers written while the axis runs, and the time of the chip's next motion event.
//
// A live write acts on the running move at once: a new maximum speed re-ramps to it (up at the
// acceleration registers, down at the deceleration ones) unless the final deceleration has
// begun; new rates or sections re-plan a ramp in progress from the speed reached; a new
// ramp-down point or start speed holds from now on; a new move amount re-targets the move,
// counted from where the move started: ahead of the axis the move goes on (accelerating again
// when it was already slowing down for the old end), behind it the axis slows to its start
// speed, turns and runs back to the new end. Either way the move ends on its new count.
#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include "chip.h"
#include "motion_engine.h"
#include "chip_codes.h"

namespace qsim {

using Phase = MotionState::Phase;
using namespace chipcode;

namespace {

// A new maximum speed: the profile runs to it unless it is on its way down to stop.
void new_max_speed(Chip& c) {
    MotionState& s = c.motion;
    s.max_speed = std::max<double>(1.0, c.live[kMaxSpeed] & c.units().speed_mask());
    if (s.ramp_down_begun || s.stop_at_start_speed) return;
    if (s.start_code == kStartAtStartSpeed) return;  // runs at FL throughout
    if (s.start_code == kStartAtMaxSpeed) {
        s.speed = s.max_speed;  // no ramps: the new speed at once
        s.peak_speed = std::max(s.peak_speed, s.speed);
        return;
    }
    ramp_to(c, s.max_speed);
}

// New rates or sections: a ramp in the changed direction continues from here at the new values.
void new_ramp_shape(Chip& c, bool accelerating) {
    MotionState& s = c.motion;
    if (!s.ramping || (s.ramp.direction > 0) != accelerating) return;
    ramp_to(c, s.ramp.from + s.ramp.direction * s.ramp.steps);
}

// A new move amount, counted from the start of the move.
void new_move_amount(Chip& c) {
    if (!c.motion.positioning || c.motion.path) return;  // paths keep their amounts
    retarget(c, c.units().signed_amount(c.live[kMoveAmount]));
}

}  // namespace

void retarget(Chip& c, std::int64_t end) {
    MotionState& s = c.motion;
    const std::int64_t position = s.origin_offset + s.direction * s.done;
    const std::int64_t ahead = (end - position) * s.direction;  // pulses to go in the direction of motion
    if (ahead >= 0) {
        s.target = s.done + ahead;
        const bool was_slowing = s.ramp_down_begun && !s.stop_at_start_speed;
        s.reversing = false;
        if (was_slowing && s.decelerates) {
            // The new end is farther than the deceleration that has begun: speed up again.
            s.ramp_down_begun = false;
            ramp_to(c, s.max_speed);
        }
        return;
    }
    // Behind the axis: slow down to FL, then turn (see turn() in the engine).
    s.reversing = true;
    s.reverse_amount = end;
    s.target = s.done + (std::int64_t{1} << 40);  // the old end no longer stops the deceleration
    begin_deceleration(c, false);
}

void Chip::live_register_written(unsigned n) {
    if (motion.phase != Phase::running) return;
    update(machine().now);
    if (motion.phase != Phase::running) return;
    motion.ramp.blocked_from = INT_MAX;  // what blocked a run of steps may have moved
    switch (n) {
        case kMaxSpeed: new_max_speed(*this); break;
        case kStartSpeed: motion.start_speed = std::max<double>(1.0, live[kStartSpeed] & units().speed_mask()); break;
        case kAccelRate:
        case kAccelSection: new_ramp_shape(*this, true); break;
        case kDecelRate:
        case kDecelSection: new_ramp_shape(*this, false); break;
        case kRampDownPoint: motion.ramp_down_point = live[kRampDownPoint]; break;
        case kOperationMode: motion.manual_ramp_down = (live[kOperationMode] & kManualRampDownBit) != 0; break;
        case kMoveAmount: new_move_amount(*this); break;
        default: break;  // the speed range and the other registers apply from the next start
    }
}

Ns Chip::motion_event_time() const {
    const MotionState& s = motion;
    if (s.phase != Phase::running) return kNever;
    Chip& self = const_cast<Chip&>(*this);  // the drives are only looked at
    if (s.settling) {
        const double settled = drives_event_time(self, true);
        return std::isfinite(settled) ? seconds_to_ns_ceil(settled) : kNever;
    }
    double at = std::numeric_limits<double>::infinity();
    const double pps = s.speed * s.unit_pps;
    // The end or the ramp-down point at the current speed, as the event loop finds them.
    auto at_current_speed = [&] {
        const double left = static_cast<double>(s.target - s.done) - s.fraction;
        double ahead = left;
        if (s.decelerates && !s.ramp_down_begun) {
            const double threshold =
                s.manual_ramp_down ? static_cast<double>(s.ramp_down_point)
                                   : ramp_distance(units(), s.speed, s.start_speed, live[kDecelRate], s.s_curve,
                                                   live[kDecelSection], s.multiplier);
            ahead = std::min(left, left + static_cast<double>(s.ramp_down_extra) - threshold);
        }
        if (s.watch >= 0) ahead = std::min(ahead, static_cast<double>(s.watch - s.done) - s.fraction);
        return s.time + std::max(0.0, ahead) / pps;
    };
    if (s.ramping) {
        at = s.ramp.end_time();
        // A ramp cut short by the ramp-down point or the end of the move: the step before the
        // cut, and from there the cut itself.
        const int blocked = s.positioning && !s.reversing ? first_blocked_step(*this) : INT_MAX;
        if (blocked != INT_MAX) {
            // The next step is never tested by the search (the event loop takes it), so the cut
            // may lie before it whenever blocked is the step after it.
            if (blocked - 1 > s.ramp.taken + 1) {
                at = s.ramp.start + s.ramp.step_offset(blocked - 1);
            } else if (pps > 0) {
                at = std::min(s.ramp.next_step_time(), at_current_speed());
            }
        }
    } else if (s.positioning && pps > 0 && !s.reversing) {
        at = at_current_speed();
    }
    at = std::min(at, drives_event_time(self, false));
    return std::isfinite(at) ? seconds_to_ns_ceil(at) : kNever;
}

}  // namespace qsim
