#include <algorithm>
#include <cmath>
#include <cstdint>

#include "chip.h"
#include "motion_engine.h"
#include "motion_query.h"

namespace qsim {
namespace {

// Finer sampling would only fill memory: one sample every 10 µs is 100 000 a second.
constexpr Ns kShortestSamplePeriod = 10'000;
constexpr double kLongestSamplePeriod = 1e6;  // seconds

std::uint64_t next_sampling_token = 1;

void record_sample(Chip& chip, Ns at) {
    chip.update(at);
    chip.motion.samples.push_back({at, chip.command_counter, motion_speed_pps(chip)});
}

// One link of a sampling chain: samples, then schedules the next link while the chain is the
// axis's current one (a new sampling call or a chip that is gone ends it).
void schedule_sample(Machine& machine, SampledChip find, std::uint64_t token, Ns at) {
    machine.schedule_locked(at, [&machine, find = std::move(find), token, at]() mutable {
        Chip* chip = find();
        if (chip == nullptr || chip->motion.sample_token != token || chip->motion.sample_period <= 0) return;
        record_sample(*chip, at);
        const Ns next = at + chip->motion.sample_period;
        schedule_sample(machine, std::move(find), token, next);
    });
}

}  // namespace

quvex_sim_motion_info motion_info(Chip& chip) {
    chip.update(chip.machine().now);
    quvex_sim_motion_info out{};
    out.command_counter = chip.command_counter;
    out.position_counter = chip.position_counter;
    out.speed = motion_speed_pps(chip);
    out.remaining = chip.remaining_pulses();
    out.state = chip.operation_state();
    out.stop_reason = chip.motion.stop_reason;
    out.started_at = chip.motion.started_at;
    out.ended_at = chip.motion.ended_at;
    out.peak_speed = motion_peak_pps(chip);
    return out;
}

void sample_motion(Chip& chip, double period, SampledChip find) {
    MotionState& s = chip.motion;
    s.sample_token = next_sampling_token++;
    if (!(period > 0) || !std::isfinite(period)) {
        s.sample_period = 0;
        return;
    }
    const Ns now = chip.machine().now;
    s.sample_period = std::max<Ns>(kShortestSamplePeriod, static_cast<Ns>(std::llround(std::min(period, kLongestSamplePeriod) *
                                                                                        static_cast<double>(kNsPerSecond))));
    s.samples.clear();
    record_sample(chip, now);
    schedule_sample(chip.machine(), std::move(find), s.sample_token, now + s.sample_period);
}

int copy_motion_samples(const Chip& chip, quvex_sim_motion_sample* out, int max) {
    const auto& samples = chip.motion.samples;
    for (int i = 0; out != nullptr && i < max && static_cast<std::size_t>(i) < samples.size(); ++i) {
        const TrajectorySample& s = samples[static_cast<std::size_t>(i)];
        out[i] = {ns_to_seconds(s.time), s.command_counter, s.speed_pps};
    }
    return static_cast<int>(samples.size());
}

}  // namespace qsim
