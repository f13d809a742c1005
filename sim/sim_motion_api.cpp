// The C interface of chip motion: state read-out and trajectory sampling by machine timers.
#include <algorithm>
#include <cmath>

#include "card.h"
#include "chip/motion_query.h"
#include "machine.h"
#include "quvex/sim_motion.h"

using namespace qsim;

namespace {

// Finer sampling would only fill memory: one sample every 10 µs is 100 000 a second.
constexpr Ns kShortestSamplePeriod = 10'000;

void record_sample(Chip& chip, Ns at) {
    chip.update(at);
    chip.motion.samples.push_back({at, chip.command_counter, motion_speed_pps(chip)});
}

// One link of a sampling chain: samples, then schedules the next link while the chain is the
// axis's current one (a new sampling call, a removed card or a reset ends it).
void schedule_sample(int device, int axis, std::uint64_t token, Ns at) {
    Machine::get().schedule_locked(at, [device, axis, token, at] {
        Chip* chip = Machine::get().chip_locked(device, axis);
        if (chip == nullptr || chip->motion.sample_token != token || chip->motion.sample_period <= 0) return;
        record_sample(*chip, at);
        schedule_sample(device, axis, token, at + chip->motion.sample_period);
    });
}

std::uint64_t next_token = 1;

}  // namespace

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_motion_info_get(int device, int axis, quvex_sim_motion_info* out) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = Machine::get().chip_locked(device, axis);
    if (chip == nullptr) return -1;
    chip->update(m.now);
    if (out != nullptr) {
        out->command_counter = chip->command_counter;
        out->position_counter = chip->position_counter;
        out->speed = motion_speed_pps(*chip);
        out->remaining = chip->remaining_pulses();
        out->state = chip->operation_state();
        out->stop_reason = chip->motion.stop_reason;
        out->started_at = chip->motion.started_at;
        out->ended_at = chip->motion.ended_at;
        out->peak_speed = motion_peak_pps(*chip);
    }
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_sample_motion(int device, int axis, double period) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = Machine::get().chip_locked(device, axis);
    if (chip == nullptr) return -1;
    MotionState& s = chip->motion;
    s.sample_token = next_token++;
    if (!(period > 0) || !std::isfinite(period)) {
        s.sample_period = 0;
        return 0;
    }
    s.sample_period = std::max<Ns>(kShortestSamplePeriod,
                                   static_cast<Ns>(std::llround(std::min(period, 1e6) * static_cast<double>(kNsPerSecond))));
    s.samples.clear();
    record_sample(*chip, m.now);
    schedule_sample(device, axis, s.sample_token, m.now + s.sample_period);
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_motion_samples(int device, int axis, quvex_sim_motion_sample* out, int max) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = Machine::get().chip_locked(device, axis);
    if (chip == nullptr) return -1;
    const auto& samples = chip->motion.samples;
    for (int i = 0; out != nullptr && i < max && static_cast<std::size_t>(i) < samples.size(); ++i) {
        const TrajectorySample& s = samples[static_cast<std::size_t>(i)];
        out[i] = {static_cast<double>(s.time) / static_cast<double>(kNsPerSecond), s.command_counter, s.speed_pps};
    }
    return static_cast<int>(samples.size());
}

}  // extern "C"
