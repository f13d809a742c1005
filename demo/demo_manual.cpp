// Manual operation on card 0: a hand-wheel session (the operator turns the wheel forwards,
// faster, then back; the selected axis follows every detent at ratio 5/2) and a jog (the switch
// held for a second, then released). Both are drawn as SVG files: the axis's position and speed
// over time, with the wheel's detents beside the position.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "sections.h"

namespace {

constexpr int16_t kCard = 0;
constexpr int kDevice = 0;
constexpr int16_t kWheelAxis = 1;  // Y
constexpr int kJogAxis = 2;        // Z
constexpr double kSamplePeriod = 0.005;

using Samples = std::vector<quvex_sim_motion_sample>;

Samples manual_samples(int axis) {
    Samples out(static_cast<std::size_t>(std::max(0, quvex_sim_motion_samples(kDevice, axis, nullptr, 0))));
    const int n = quvex_sim_motion_samples(kDevice, axis, out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(std::max(0, std::min(n, static_cast<int>(out.size())))));
    return out;
}

// Samples with time counted from `started` and positions from `origin`.
Samples manual_samples_from(Samples samples, double started, double origin) {
    for (quvex_sim_motion_sample& s : samples) {
        s.time -= started;
        s.position = static_cast<int32_t>(std::lround(s.position - origin));
    }
    return samples;
}

// The installation's plot: position and speed over time with ticks, units and a legend.
void draw_manual_svg(const char* path, const char* title, const std::vector<quvex_sim_plot_series>& series) {
    if (quvex_sim_plot_svg(path, title, series.data(), static_cast<int>(series.size()), nullptr, 0, 0) != 0) {
        std::printf("  (%s could not be written)\n", path);
    }
}

// One turn of the operator's hand: detents (negative: backwards) at a rate in detents per second.
struct Turn {
    int detents;
    double rate;
};

void hand_wheel_session() {
    constexpr int16_t axis = kCard * 4 + kWheelAxis;
    quvex_set_pulser_ratio(axis, 2, 5);
    quvex_set_mof_mode(kCard, 1);
    quvex_manual_mpg(kCard, kWheelAxis);
    quvex_set_mof_config(kCard, 1);

    const Turn session[] = {{200, 100}, {300, 300}, {-400, 200}, {50, 50}};
    const double started = quvex_sim_now();
    double before = 0;
    quvex_get_position(axis, &before);
    quvex_sim_sample_motion(kDevice, kWheelAxis, kSamplePeriod);
    // The wheel's detents so far times the ratio: what the axis must follow.
    Samples wheel;
    double t = 0;
    int detents = 0;
    for (const Turn& turn : session) {
        quvex_sim_turn_wheel(kDevice, turn.detents, turn.rate);
        const double speed = turn.rate * 5.0 / 2.0;
        wheel.push_back({t, static_cast<int32_t>(std::lround(detents * 5.0 / 2.0)), speed});
        t += std::abs(turn.detents) / turn.rate;
        detents += turn.detents;
        wheel.push_back({t, static_cast<int32_t>(std::lround(detents * 5.0 / 2.0)), speed});
    }
    quvex_sim_advance(quvex_sim_wheel_idle_at(kDevice) - quvex_sim_now() + 0.1);
    quvex_sim_sample_motion(kDevice, kWheelAxis, 0);

    const Samples position = manual_samples_from(manual_samples(kWheelAxis), started, before);
    double after = 0;
    quvex_get_position(axis, &after);
    draw_manual_svg("manual_hand_wheel.svg", "Hand wheel on Y at ratio 5/2: 200, 300, -400, 50 detents",
              {{"wheel x 5/2", wheel.data(), static_cast<int>(wheel.size())},
               {"Y", position.data(), static_cast<int>(position.size())}});
    std::printf("  hand wheel: %d detents in all moved Y by %.0f pulses (ratio 5/2); drawn to manual_hand_wheel.svg\n",
                detents, after - before);
}

void jog() {
    constexpr int16_t axis = kCard * 4 + kJogAxis;
    quvex_set_mof_config(kCard, 2);
    quvex_set_mof_jog_velocity(axis, 200, 4000, 0.2, 0.3, 100);
    const double started = quvex_sim_now();
    quvex_sim_sample_motion(kDevice, kJogAxis, kSamplePeriod);
    quvex_sim_jog_switch(kDevice, kJogAxis, 1, 1);
    quvex_sim_advance(1.0);
    quvex_sim_jog_switch(kDevice, kJogAxis, 1, 0);
    quvex_sim_advance(0.5);
    quvex_sim_sample_motion(kDevice, kJogAxis, 0);

    const Samples position = manual_samples_from(manual_samples(kJogAxis), started, 0);
    double pos = 0;
    quvex_get_position(axis, &pos);
    draw_manual_svg("manual_jog.svg", "Jog + on Z: held 1 s at up to 4000 pps, then released",
              {{"Z", position.data(), static_cast<int>(position.size())}});
    std::printf("  jog: switch held 1 s, Z stopped at %.0f pulses; drawn to manual_jog.svg\n", pos);
    quvex_disable_mof(kCard);
}

}  // namespace

void demo_manual() {
    std::printf("manual operation\n");
    quvex_sim_clock_manual();  // time moves by the demo's steps: plots come out the same every run
    hand_wheel_session();
    jog();
    quvex_sim_clock_realtime(1.0);
}
