// The C control interface of the virtual motion modules on the ring.
#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

#include "../card.h"
#include "../chip/motion_engine.h"
#include "../chip/motion_query.h"
#include "../machine.h"
#include "one_axis_station.h"
#include "quvex/sim.h"
#include "ring_master_model.h"

using namespace qsim;

namespace {

constexpr int kRefused = -1;
// Finer sampling would only fill memory: one sample every 10 µs is 100 000 a second.
constexpr Ns kShortestSamplePeriod = 10'000;

bool slave_ok(int slave) { return slave >= 0 && slave < ringhw::kSlaves; }

// The module station at a slave of a device's ring, or null. The machine lock is held.
ModuleStation* module_locked(int device, int slave) {
    if (!slave_ok(slave)) return nullptr;
    Card* card = Machine::get().card_locked(device);
    if (card == nullptr) return nullptr;
    return dynamic_cast<ModuleStation*>(ring_model(*card).station(slave));
}

Chip* module_chip_locked(int device, int slave, int axis) {
    ModuleStation* m = module_locked(device, slave);
    if (m == nullptr || axis < 0 || axis >= m->axes()) return nullptr;
    return &m->chip(axis);
}

// Runs fn(station) under the machine lock when there is a module station there; -1 otherwise.
template <typename Fn>
int with_module(int device, int slave, Fn fn) {
    std::lock_guard<std::mutex> lk(Machine::get().mu);
    ModuleStation* m = module_locked(device, slave);
    return m == nullptr ? kRefused : fn(*m);
}

template <typename Fn>
int with_chip(int device, int slave, int axis, Fn fn) {
    std::lock_guard<std::mutex> lk(Machine::get().mu);
    Chip* c = module_chip_locked(device, slave, axis);
    if (c == nullptr) return kRefused;
    c->update(Machine::get().now);
    return fn(*c);
}

void record_sample(Chip& chip, Ns at) {
    chip.update(at);
    chip.motion.samples.push_back({at, chip.command_counter, motion_speed_pps(chip)});
}

// One link of a sampling chain: samples, then schedules the next link while the chain is the
// axis's current one (a new sampling call or an unplugged module ends it).
void schedule_sample(int device, int slave, int axis, std::uint64_t token, Ns at) {
    Machine::get().schedule_locked(at, [device, slave, axis, token, at] {
        Chip* chip = module_chip_locked(device, slave, axis);
        if (chip == nullptr || chip->motion.sample_token != token || chip->motion.sample_period <= 0) return;
        record_sample(*chip, at);
        schedule_sample(device, slave, axis, token, at + chip->motion.sample_period);
    });
}

std::uint64_t next_token = 1;

}  // namespace

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_ring_add_m1_module(int device, int slave) {
    if (!slave_ok(slave)) return kRefused;
    std::lock_guard<std::mutex> lk(Machine::get().mu);
    Card* card = Machine::get().card_locked(device);
    if (card == nullptr) return kRefused;
    return ring_model(*card).plug(slave, std::make_unique<OneAxisStation>(device, slave)) ? 0 : kRefused;
}

QUVEX_API int QUVEX_CALL quvex_sim_m1_outputs(int device, int slave) {
    return with_module(device, slave, [](ModuleStation& m) {
        const auto* one = dynamic_cast<OneAxisStation*>(&m);
        return one == nullptr ? kRefused : static_cast<int>(one->outputs());
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_set_input(int device, int slave, int axis, int signal, int active) {
    return with_module(device, slave, [&](ModuleStation& m) { return m.set_input(axis, signal, active != 0) ? 0 : kRefused; });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_input(int device, int slave, int axis, int signal) {
    return with_module(device, slave, [&](ModuleStation& m) {
        const std::optional<bool> v = m.input(axis, signal);
        return v ? static_cast<int>(*v) : kRefused;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_register(int device, int slave, int axis, unsigned code, uint32_t* value) {
    return with_chip(device, slave, axis, [&](Chip& c) {
        std::uint32_t v = 0;
        if (!c.peek_register(code, &v)) return kRefused;
        if (value != nullptr) *value = v;
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_compare_info(int device, int slave, int axis, quvex_sim_compare_info* out) {
    return with_chip(device, slave, axis, [&](Chip& c) {
        if (out == nullptr) return kRefused;
        const ChipCompare& cc = c.compare;
        std::copy(cc.matches.begin(), cc.matches.end(), out->matches);
        out->trigger_pulses = cc.trigger_pulses;
        out->trigger_level = cc.trigger_level ? 1 : 0;
        out->last_trigger = cc.last_trigger;
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_motion_info(int device, int slave, int axis, quvex_sim_motion_info* out) {
    return with_chip(device, slave, axis, [&](Chip& c) {
        if (out != nullptr) {
            out->command_counter = c.command_counter;
            out->position_counter = c.position_counter;
            out->speed = motion_speed_pps(c);
            out->remaining = c.remaining_pulses();
            out->state = c.operation_state();
            out->stop_reason = c.motion.stop_reason;
            out->started_at = c.motion.started_at;
            out->ended_at = c.motion.ended_at;
            out->peak_speed = motion_peak_pps(c);
        }
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_sample_motion(int device, int slave, int axis, double period) {
    return with_chip(device, slave, axis, [&](Chip& c) {
        MotionState& s = c.motion;
        s.sample_token = next_token++;
        if (!(period > 0) || !std::isfinite(period)) {
            s.sample_period = 0;
            return 0;
        }
        const Ns now = Machine::get().now;
        s.sample_period = std::max<Ns>(kShortestSamplePeriod, static_cast<Ns>(std::llround(std::min(period, 1e6) *
                                                                                            static_cast<double>(kNsPerSecond))));
        s.samples.clear();
        record_sample(c, now);
        schedule_sample(device, slave, axis, s.sample_token, now + s.sample_period);
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_motion_samples(int device, int slave, int axis, quvex_sim_motion_sample* out,
                                                         int max) {
    return with_chip(device, slave, axis, [&](Chip& c) {
        const auto& samples = c.motion.samples;
        for (int i = 0; out != nullptr && i < max && static_cast<std::size_t>(i) < samples.size(); ++i) {
            const TrajectorySample& s = samples[static_cast<std::size_t>(i)];
            out[i] = {ns_to_seconds(s.time), s.command_counter, s.speed_pps};
        }
        return static_cast<int>(samples.size());
    });
}

}  // extern "C"
