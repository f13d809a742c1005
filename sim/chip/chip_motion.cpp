// Motion commands of a chip axis: start commands (single axes, several axes, paths), queued
// starts, stops, simultaneous start and stop; and the motion read-outs of the status and
// registers.
#include <algorithm>
#include <vector>

#include "chip.h"
#include "chip_codes.h"
#include "manual_motion.h"
#include "motion_engine.h"
#include "motion_query.h"
#include "operation_kinds.h"
#include "path_start.h"
#include "signal_stops.h"

namespace qsim {
namespace {

using Phase = MotionState::Phase;
using namespace chipcode;

// The axes a command word selects within the group: its axis bits, or the receiving axis alone.
unsigned selected_axes(Chip& receiver, unsigned select) {
    const unsigned present = (1u << receiver.group().size()) - 1u;
    const unsigned axes = select != 0 ? select & present : 0u;
    return axes != 0 ? axes : 1u << receiver.axis();
}

template <typename F>
void for_each_axis(unsigned axes, F f) {
    for (int a = 0; a < 4; ++a) {
        if ((axes & (1u << a)) != 0) f(a);
    }
}

// Detaches an axis from any path it drives or follows before it starts anew.
void detach(Chip& c) {
    MotionState& s = c.motion;
    if (s.phase == Phase::following && s.leader >= 0) {
        MotionState& lead = c.group().chip(s.leader).motion;
        if (lead.path) {
            auto& axes = lead.path->axes();
            for (auto it = axes.begin(); it != axes.end(); ++it) {
                if (it->axis == c.axis()) {
                    axes.erase(it);
                    break;
                }
            }
        }
    }
    release_followers(c);
    s.phase = Phase::idle;
}

Chip& driving_chip(Chip& c) {
    return c.motion.phase == Phase::following && c.motion.leader >= 0 ? c.group().chip(c.motion.leader) : c;
}

bool moving(Chip& c) {
    const Phase p = driving_chip(c).motion.phase;
    return p == Phase::running;
}

// Takes over into the live bank the buffered registers marked in `written`.
void take_over(Chip& c, const std::array<std::uint32_t, 13>& bank, std::uint16_t written) {
    for (unsigned n = 0; n < kOperationRegisters; ++n) {
        if ((written & (1u << n)) != 0) c.live[n] = bank[n];
    }
    c.motion.arc_step_count = bank[kArcStepCountIndex];  // buffered only: the start reads it as it stands
}

// Starts the selected axes from the registers each takes over, at time t.
void launch(ChipGroup& group, int receiver, unsigned code, unsigned axes, double t) {
    for_each_axis(axes, [&](int a) {
        Chip& c = group.chip(a);
        detach(c);
        take_profile(c);
    });
    PathStart on_path = make_path(group, receiver, axes);
    std::vector<int> drivers;
    if (on_path.path) {
        for (const PathAxis& m : on_path.path->axes()) {
            if (m.axis == on_path.driver) continue;
            MotionState& fs = group.chip(m.axis).motion;
            fs.phase = Phase::following;
            fs.leader = on_path.driver;
            fs.started_at = t;
        }
        MotionState& ds = group.chip(on_path.driver).motion;
        ds.target = on_path.path->length();  // the profile runs over the path's steps
        if (on_path.arc) {
            // The arc decelerates by the step count it was given on its lead (receiving) axis.
            ds.ramp_down_extra = static_cast<std::int64_t>(group.chip(receiver).motion.arc_step_count) - ds.target;
        }
        ds.path = std::move(on_path.path);
        drivers.push_back(on_path.driver);
    } else {
        for_each_axis(axes, [&](int a) { drivers.push_back(a); });
    }
    for (const int a : drivers) {
        Chip& c = group.chip(a);
        c.motion.start_code = code;
        if ((c.live[kOperationMode] & kWaitForSyncStart) != 0) {
            c.motion.phase = Phase::waiting;
        } else {
            begin_running(c, code, t);
        }
    }
}

// Whether a queued start continues the running move without stopping. Bits 18-23 all set mark
// it; an arc or helix takes the mark as it stands (the arc's own interpolation setting), every
// other kind (a line, a single axis) only while the receiving axis's env2 bit 29 puts bits 18-23
// in force. Without it the start waits as a plain queued start.
constexpr std::uint32_t kEnv2ModeBitsInForce = 1u << 29;

bool chains_on(const Chip& receiver, std::uint32_t mode) {
    if ((mode & kChainBits) != kChainBits) return false;
    const KindMotion kind = decode_kind(mode).motion;
    if (kind == KindMotion::arc || kind == KindMotion::helix) return true;
    return (receiver.env[kEnv2Index] & kEnv2ModeBitsInForce) != 0;
}

// A chained start waits behind the running move: the move runs to its end at speed.
void hold_ramp_down(Chip& d) {
    MotionState& s = d.motion;
    if (s.phase != Phase::running || s.ramp_down_begun || !s.decelerates) return;
    s.decelerates = false;
    s.ramp_down_held = true;
}

// The chained start was dropped: the running move slows for its end again.
void release_ramp_down(Chip& d) {
    MotionState& s = d.motion;
    if (!s.ramp_down_held) return;
    s.ramp_down_held = false;
    if (s.phase == Phase::running) s.decelerates = true;
}

// A chained start begins at the speed the move before it ended at, within its own FL..FH.
void carry_speed(ChipGroup& group, unsigned axes, double pps) {
    for_each_axis(axes, [&](int a) {
        MotionState& s = group.chip(a).motion;
        if (s.phase != Phase::running || s.start_code != kStartRamped || s.manual.paced) return;
        const double carried = std::clamp(pps / s.unit_pps, s.start_speed, s.max_speed);
        if (carried <= s.speed) return;
        s.speed = carried;
        s.peak_speed = std::max(s.peak_speed, carried);
        ramp_to(group.chip(a), s.max_speed);
    });
}

void start(Chip& receiver, unsigned code, unsigned select) {
    ChipGroup& group = receiver.group();
    const unsigned axes = selected_axes(receiver, select);
    const Ns now = receiver.machine().now;
    bool busy = false;
    for_each_axis(axes, [&](int a) {
        group.chip(a).update(now);
        busy = busy || moving(group.chip(a));
    });
    const bool mode_written = (receiver.buffered_written & (1u << kOperationMode)) != 0;
    const std::uint32_t mode = mode_written ? receiver.buffered[kOperationMode] : receiver.live[kOperationMode];
    if (busy && (mode & kQueuedStartBits) != 0) {
        const bool chained = chains_on(receiver, mode);
        for_each_axis(axes, [&](int a) {
            Chip& c = group.chip(a);
            c.motion.queued = {true, code, select, receiver.axis(), c.buffered, c.buffered_written, chained};
            c.buffered_written = 0;
            if (chained) hold_ramp_down(driving_chip(c));
        });
        return;
    }
    drop_queued_moves(group, axes);  // the new move replaces whatever waited on its axes
    for_each_axis(axes, [&](int a) {
        Chip& c = group.chip(a);
        take_over(c, c.buffered, c.buffered_written);
        c.buffered_written = 0;
    });
    launch(group, receiver.axis(), code, axes, ns_to_seconds(now));
}

void stop(Chip& c, bool decelerating, std::uint32_t reason) {
    Chip& d = driving_chip(c);
    drop_queued_moves(c.group(), (1u << c.axis()) | (1u << d.axis()));
    if (d.motion.phase == Phase::waiting) {
        finish(d, reason);
        return;
    }
    if (d.motion.phase != Phase::running) return;
    if (decelerating) {
        d.motion.stop_reason |= reason;
        d.motion.reversing = false;
        begin_deceleration(d, true);
    } else {
        finish(d, reason);
    }
}

}  // namespace

void start_queued_moves(ChipGroup& group, double t) {
    for (int r = 0; r < group.size(); ++r) {
        Chip& receiver = group.chip(r);
        const MotionState::QueuedStart q = receiver.motion.queued;
        if (!q.waiting || q.receiver != r) continue;
        const unsigned axes = selected_axes(receiver, q.select);
        bool busy = false;
        for_each_axis(axes, [&](int a) { busy = busy || moving(group.chip(a)); });
        if (busy) continue;
        double carried_pps = 0;
        for_each_axis(axes, [&](int a) {
            Chip& c = group.chip(a);
            c.motion.queued.waiting = false;
            carried_pps = std::max(carried_pps, c.motion.ended_pps);
            take_over(c, c.motion.queued.bank, c.motion.queued.written);
        });
        launch(group, r, q.code, axes, t);
        if (q.chained) carry_speed(group, axes, carried_pps);
        report(receiver, ChipEvent::queued_move_started, t);
    }
}

void drop_queued_moves(ChipGroup& group, unsigned axes) {
    for (int r = 0; r < group.size(); ++r) {
        MotionState::QueuedStart& q = group.chip(r).motion.queued;
        if (!q.waiting || q.receiver != r) continue;
        const unsigned selected = selected_axes(group.chip(r), q.select);
        if ((selected & axes) == 0) continue;
        for_each_axis(selected, [&](int a) {
            group.chip(a).motion.queued.waiting = false;
            release_ramp_down(driving_chip(group.chip(a)));
        });
    }
}

void Chip::update(Ns now) {
    if (motion.phase == Phase::following) {
        if (motion.leader >= 0) card_.chip(motion.leader).update(now);
        return;
    }
    const double until = ns_to_seconds(now);
    if (motion.phase == Phase::running && until >= motion.time) {
        stop_at_signals(*this);
        integrate_watching_comparators(*this, until);
    }
    // A drive goes on settling after its axis stopped.
    if (drive.on && motion.phase != Phase::running && !drive_idle_until(drive, until)) advance_busy_drive(*this, until, 0, 0);
}

void Chip::motion_command(std::uint16_t word) {
    const unsigned code = word & kCodeMask;
    const unsigned select = (word >> kAxisSelectShift) & kAxisSelectMask;
    switch (code) {
        case kStartAtStartSpeed:
        case kStartAtMaxSpeed:
        case kStartDecelerating:
        case kStartRamped: start(*this, code, select); break;
        case kImmediateStop:
            disarm_manual_source(*this);
            stop(*this, false, stop_reason::kImmediateStop);
            break;
        case kDeceleratingStop:
            disarm_manual_source(*this);
            stop(*this, true, stop_reason::kDeceleratingStop);
            break;
        case kCancelQueuedStart: drop_queued_moves(card_, 1u << axis_); break;
        case kSyncStart:
            for (int a = 0; a < card_.size(); ++a) {
                Chip& c = card_.chip(a);
                if (c.motion.phase == Phase::waiting) begin_running(c, c.motion.start_code, ns_to_seconds(machine().now));
            }
            break;
        case kSyncStop:
            for (int a = 0; a < card_.size(); ++a) {
                Chip& c = card_.chip(a);
                c.update(machine().now);
                if (c.motion.phase != Phase::running || (c.live[kOperationMode] & kStopOnSyncStop) == 0) continue;
                stop(c, (c.env[kEnv1Index] & kEnv1SyncStopDecelerates) != 0, stop_reason::kSimultaneousStop);
            }
            break;
        default: break;
    }
}

namespace {

const PathAxis* path_entry(Chip& c) {
    if (c.motion.phase != Phase::following || c.motion.leader < 0) return nullptr;
    MotionState& lead = c.group().chip(c.motion.leader).motion;
    return lead.path ? lead.path->find(c.axis()) : nullptr;
}

// Share of the path's speed that a following axis runs at.
double follower_share(Chip& c, const PathAxis& a) {
    const MotionState& lead = c.group().chip(c.motion.leader).motion;
    return lead.path->share(a, lead.done);
}

// Share of the path's speed that the driving axis itself runs at (on an arc it is the minor axis
// half the time); 1 without a path.
double driver_share(Chip& c) {
    const MotionState& s = c.motion;
    const PathAxis* own = s.path ? s.path->find(c.axis()) : nullptr;
    return own != nullptr ? s.path->share(*own, s.done) : 1.0;
}

}  // namespace

std::uint32_t Chip::remaining_pulses() {
    if (const PathAxis* f = path_entry(*this)) return static_cast<std::uint32_t>(f->target - f->done);
    if (motion.phase == Phase::idle || !motion.positioning) return 0;
    if (motion.reversing) {
        // Slowing down to turn: what is left is the way back to the new end.
        const std::int64_t back = motion.reverse_amount - (motion.origin_offset + motion.direction * motion.done);
        return static_cast<std::uint32_t>(back < 0 ? -back : back);
    }
    return static_cast<std::uint32_t>(motion.target - motion.done);
}

std::uint32_t Chip::current_speed() {
    if (const PathAxis* f = path_entry(*this)) {
        return static_cast<std::uint32_t>(card_.chip(motion.leader).motion.speed * follower_share(*this, *f));
    }
    return motion.phase == Phase::running ? static_cast<std::uint32_t>(motion.speed * driver_share(*this)) : 0;
}

unsigned Chip::operation_state() {
    Chip& d = driving_chip(*this);
    const MotionState& s = d.motion;
    switch (s.phase) {
        case Phase::idle: return opstate::kStopped;
        case Phase::waiting: return opstate::kWaitingForStart;
        case Phase::following: return opstate::kConstantSpeed;  // a follower whose path was lost
        case Phase::running: break;
    }
    if (s.settling) return opstate::kInPositionWait;
    if (!s.ramping) return opstate::kConstantSpeed;
    return s.ramp.direction > 0 ? opstate::kAccelerating : opstate::kDecelerating;
}

double motion_speed_pps(Chip& chip) {
    if (const PathAxis* f = path_entry(chip)) {
        Chip& lead = chip.group().chip(chip.motion.leader);
        return lead.motion.speed * unit_pps(lead.motion) * follower_share(chip, *f);
    }
    return chip.motion.phase == Phase::running ? chip.motion.speed * unit_pps(chip.motion) * driver_share(chip) : 0.0;
}

double motion_peak_pps(Chip& chip) {
    if (const PathAxis* f = path_entry(chip)) {
        Chip& lead = chip.group().chip(chip.motion.leader);
        return lead.motion.peak_speed * unit_pps(lead.motion) * follower_share(chip, *f);
    }
    return chip.motion.peak_speed * unit_pps(chip.motion);
}

}  // namespace qsim
