// A four-axis motion module on the ring of card 0: the ring finds it, then it runs a line of two
// axes and a line of all four, each read back through the ring and drawn with its X-Y path
// (demo_module4_line2.svg, demo_module4_line4.svg).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "sections.h"

namespace {

constexpr int kDevice = 0;
constexpr uint16_t kSlave = 12;
constexpr uint16_t kIdNumber = 0x0401;
constexpr int kAxes = 4;
constexpr double kSamplePeriod = 0.002;
constexpr const char* kAxisNames[kAxes] = {"axis 0", "axis 1", "axis 2", "axis 3"};

std::vector<quvex_sim_motion_sample> samples(int axis) {
    std::vector<quvex_sim_motion_sample> out(
        static_cast<std::size_t>(std::max(0, quvex_sim_module_motion_samples(kDevice, kSlave, axis, nullptr, 0))));
    const int n = quvex_sim_module_motion_samples(kDevice, kSlave, axis, out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(out.size()))));
    return out;
}

void run_until_done(uint16_t ring, const std::vector<int16_t>& axes) {
    for (int step = 0; step < 2000; ++step) {
        bool moving = false;
        for (const int16_t a : axes) {
            uint16_t done = 0;
            kring_m4_motion_done(ring, kSlave, static_cast<uint16_t>(a), &done);
            moving = moving || done != 0;
        }
        if (!moving) break;
        quvex_sim_advance(0.01);
    }
}

// Runs a line from the origin, prints where each axis ended and draws the first two axes' path
// with every axis's position and speed over time.
template <typename Start>
void line(uint16_t ring, const char* title, const std::vector<int16_t>& axes, const char* plot, Start start) {
    for (const int16_t a : axes) {
        kring_m4_reset_command(ring, kSlave, static_cast<uint16_t>(a));
        kring_m4_reset_position(ring, kSlave, static_cast<uint16_t>(a));
        quvex_sim_module_sample_motion(kDevice, kSlave, a, kSamplePeriod);
    }
    const double begun = quvex_sim_now();
    const quvex_status rc = start();
    run_until_done(ring, axes);
    std::printf("  %s -> %d, ended after %.3f s:", title, rc, quvex_sim_now() - begun);

    std::vector<std::vector<quvex_sim_motion_sample>> runs;
    std::vector<quvex_sim_plot_series> series;
    for (const int16_t a : axes) {
        quvex_sim_module_sample_motion(kDevice, kSlave, a, 0);
        uint32_t position = 0;
        kring_m4_get_position(ring, kSlave, static_cast<uint16_t>(a), &position);
        std::printf(" %d", static_cast<int32_t>(position));
        runs.push_back(samples(a));
        for (auto& s : runs.back()) s.time -= begun;
    }
    for (std::size_t k = 0; k < axes.size(); ++k) {
        series.push_back({kAxisNames[axes[k]], runs[k].data(), static_cast<int>(runs[k].size())});
    }
    const int drawn = quvex_sim_plot_svg(plot, title, series.data(), static_cast<int>(series.size()), nullptr, 0,
                                         QUVEX_SIM_PLOT_PATH);
    std::printf("\n  %s %s\n", drawn == 0 ? "drawn in" : "could not draw", plot);
}

}  // namespace

void demo_module4() {
    std::printf("\n-- four-axis module on the ring of card 0 --\n");
    quvex_sim_clock_manual();  // time moves by the demo's steps: plots come out the same every run
    quvex_sim_ring_add_m4_module(kDevice, kSlave, kIdNumber);
    const quvex_status ring_no = quvex_open_kring(0);
    if (ring_no < 0) {
        std::printf("quvex_open_kring -> %d\n", ring_no);
        quvex_sim_clock_realtime(1.0);
        return;
    }
    const auto ring = static_cast<uint16_t>(ring_no);
    kring_start_ring(ring);
    uint32_t table[2] = {};
    kring_get_ring_active_table(ring, table);
    for (uint16_t s = 0; s < 64; ++s) {
        if ((table[s / 32] >> (s % 32) & 1u) != 0) std::printf("  station %2u: type 0x%02X\n", s, kring_get_slave_info(ring, s));
    }
    kring_m4_initial(ring, kSlave);
    uint16_t id = 0;
    kring_m4_get_idnum(ring, kSlave, &id);
    std::printf("  module at station %u: identification number 0x%04X\n", kSlave, id);

    const std::vector<int16_t> two = {0, 1};
    line(ring, "T-curve line of axes 0 and 1 to (30000, -12000)", two, "demo_module4_line2.svg",
         [&] { return kring_m4_start_tr_line2(ring, kSlave, two.data(), 30000, -12000, 500, 40000, 0.2, 0.2); });
    const std::vector<int16_t> four = {0, 1, 2, 3};
    line(ring, "S-curve line of four axes to (-20000, 25000, 10000, -5000)", four, "demo_module4_line4.svg", [&] {
        return kring_m4_start_sr_line4(ring, kSlave, four.data(), -20000, 25000, 10000, -5000, 500, 40000, 0.2, 0.2, 0, 0);
    });

    kring_stop_ring(ring);
    kring_close();
    quvex_sim_clock_realtime(1.0);
}
