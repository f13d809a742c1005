// Motion commands of a chip axis: start commands (single axes, several axes, lines), stops,
// simultaneous start and stop; and the motion read-outs of the status and registers.
#include <vector>

#include "../card.h"
#include "chip.h"
#include "motion_engine.h"
#include "motion_query.h"
#include "motion_registers.h"

namespace qsim {
namespace {

using Phase = MotionState::Phase;
using namespace motion_reg;

double now_seconds() { return ns_to_seconds(Machine::get().now); }

// Detaches an axis from any line it drives or follows before it starts anew.
void detach(Chip& c) {
    MotionState& s = c.motion;
    if (s.phase == Phase::following && s.leader >= 0) {
        auto& list = c.card().chip(s.leader).motion.followers;
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (it->axis == c.axis()) {
                list.erase(it);
                break;
            }
        }
    }
    release_followers(c);
    s.phase = Phase::idle;
}

Chip& driving_chip(Chip& c) {
    return c.motion.phase == Phase::following && c.motion.leader >= 0 ? c.card().chip(c.motion.leader) : c;
}

void start(Chip& receiver, unsigned code, unsigned select) {
    Card& card = receiver.card();
    const unsigned axes = select != 0 ? select : (1u << receiver.axis());
    const Ns now = Machine::get().now;
    for (int a = 0; a < 4; ++a) {
        if ((axes & (1u << a)) == 0) continue;
        Chip& c = card.chip(a);
        c.update(now);
        detach(c);
        for (unsigned n = 0; n < kOperationRegisters; ++n) c.live[n] = c.buffered[n];
        take_profile(c);
    }
    const double t = ns_to_seconds(now);
    const bool line = (receiver.live[kOperationMode] & kKindMask) == kKindLinearInterpolation &&
                      (axes & (axes - 1)) != 0;
    std::vector<int> drivers;
    if (line) {
        int dominant = -1;
        for (int a = 0; a < 4; ++a) {
            if ((axes & (1u << a)) == 0) continue;
            if (dominant < 0 || card.chip(a).motion.target > card.chip(dominant).motion.target) dominant = a;
        }
        MotionState& lead = card.chip(dominant).motion;
        for (int a = 0; a < 4; ++a) {
            if ((axes & (1u << a)) == 0 || a == dominant) continue;
            MotionState& fs = card.chip(a).motion;
            lead.followers.push_back({a, fs.target, fs.direction, 0});
            fs.phase = Phase::following;
            fs.leader = dominant;
        }
        drivers.push_back(dominant);
    } else {
        for (int a = 0; a < 4; ++a) {
            if ((axes & (1u << a)) != 0) drivers.push_back(a);
        }
    }
    for (const int a : drivers) {
        Chip& c = card.chip(a);
        c.motion.start_code = code;
        if ((c.live[kOperationMode] & kWaitForSimultaneousStart) != 0) {
            c.motion.phase = Phase::waiting;
        } else {
            begin_running(c, code, t);
        }
    }
}

void stop(Chip& c, bool decelerating, std::uint32_t reason) {
    Chip& d = driving_chip(c);
    if (d.motion.phase == Phase::waiting) {
        finish(d, reason);
        return;
    }
    if (d.motion.phase != Phase::running) return;
    if (decelerating) {
        d.motion.stop_reason |= reason;
        begin_deceleration(d, true);
    } else {
        finish(d, reason);
    }
}

}  // namespace

void Chip::update(Ns now) {
    if (motion.phase == Phase::following) {
        if (motion.leader >= 0) card_.chip(motion.leader).update(now);
        return;
    }
    if (motion.phase != Phase::running) return;
    const double until = ns_to_seconds(now);
    if (until < motion.time) return;
    stop_at_limits(*this);
    integrate(*this, until);
}

void Chip::motion_command(std::uint16_t word) {
    const unsigned code = word & kCodeMask;
    const unsigned select = (word >> kAxisSelectShift) & kAxisSelectMask;
    switch (code) {
        case kStartAtStartSpeed:
        case kStartAtMaxSpeed:
        case kStartDecelerating:
        case kStartRamped: start(*this, code, select); break;
        case kImmediateStop: stop(*this, false, stop_reason::kImmediateStop); break;
        case kDeceleratingStop: stop(*this, true, stop_reason::kDeceleratingStop); break;
        case kSimultaneousStart:
            for (int a = 0; a < 4; ++a) {
                Chip& c = card_.chip(a);
                if (c.motion.phase == Phase::waiting) begin_running(c, c.motion.start_code, now_seconds());
            }
            break;
        case kSimultaneousStop:
            for (int a = 0; a < 4; ++a) {
                Chip& c = card_.chip(a);
                c.update(Machine::get().now);
                if (c.motion.phase != Phase::running || (c.live[kOperationMode] & kStopOnSimultaneousStop) == 0) continue;
                stop(c, (c.env[0] & kEnv1SyncStopDecelerates) != 0, stop_reason::kSimultaneousStop);
            }
            break;
        default: break;
    }
}

namespace {

const MotionState::Follower* follower_entry(Chip& c) {
    if (c.motion.phase != Phase::following || c.motion.leader < 0) return nullptr;
    for (const MotionState::Follower& f : c.card().chip(c.motion.leader).motion.followers) {
        if (f.axis == c.axis()) return &f;
    }
    return nullptr;
}

// Share of the line's speed that a following axis runs at.
double follower_share(Chip& c, const MotionState::Follower& f) {
    const MotionState& lead = c.card().chip(c.motion.leader).motion;
    return lead.target == 0 ? 0.0 : static_cast<double>(f.target) / static_cast<double>(lead.target);
}

}  // namespace

std::uint32_t Chip::remaining_pulses() {
    if (const MotionState::Follower* f = follower_entry(*this)) return static_cast<std::uint32_t>(f->target - f->done);
    if (motion.phase == Phase::idle || !motion.positioning) return 0;
    return static_cast<std::uint32_t>(motion.target - motion.done);
}

std::uint32_t Chip::current_speed() {
    if (const MotionState::Follower* f = follower_entry(*this)) {
        return static_cast<std::uint32_t>(card_.chip(motion.leader).motion.speed * follower_share(*this, *f));
    }
    return motion.phase == Phase::running ? static_cast<std::uint32_t>(motion.speed) : 0;
}

unsigned Chip::operation_state() {
    Chip& d = driving_chip(*this);
    const MotionState& s = d.motion;
    switch (s.phase) {
        case Phase::idle: return opstate::kStopped;
        case Phase::waiting: return opstate::kWaitingForStart;
        case Phase::following: return opstate::kConstantSpeed;  // a follower whose line was lost
        case Phase::running: break;
    }
    if (!s.ramping) return opstate::kConstantSpeed;
    return s.ramp.direction > 0 ? opstate::kAccelerating : opstate::kDecelerating;
}

double motion_speed_pps(Chip& chip) {
    if (const MotionState::Follower* f = follower_entry(chip)) {
        Chip& lead = chip.card().chip(chip.motion.leader);
        return lead.motion.speed * unit_pps(lead.motion) * follower_share(chip, *f);
    }
    return chip.motion.phase == Phase::running ? chip.motion.speed * unit_pps(chip.motion) : 0.0;
}

double motion_peak_pps(Chip& chip) {
    if (const MotionState::Follower* f = follower_entry(chip)) {
        Chip& lead = chip.card().chip(chip.motion.leader);
        return lead.motion.peak_speed * unit_pps(lead.motion) * follower_share(chip, *f);
    }
    return chip.motion.peak_speed * unit_pps(chip.motion);
}

}  // namespace qsim
