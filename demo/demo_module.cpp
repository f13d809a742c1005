// A one-axis motion module on the ring of card 0: the ring finds it, a ring motion file written
// to the working folder configures its signals, it moves a T-curve and an S-curve move (position
// and speed over time drawn as demo_module.svg), and its I/O bytes follow inputs and outputs.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "sections.h"

namespace {

constexpr int kDevice = 0;
constexpr uint16_t kSlave = 9;
constexpr double kSamplePeriod = 0.002;
constexpr const char* kMotionFile = "demo_module.ini";
constexpr const char* kPlotFile = "demo_module.svg";

struct Run {
    const char* name;
    double start;  // virtual time the move started, seconds
    std::vector<quvex_sim_motion_sample> samples;
};

bool write_motion_file(uint16_t ring) {
    std::FILE* f = std::fopen(kMotionFile, "w");
    if (f == nullptr) return false;
    // Positions 1..21: alarm logic 1 and mode 1, in-position logic 1 and enabled, pulse output
    // mode 4, everything else 0.
    std::fprintf(f, "[RING%u]\nSLAVE%u=0111110000000004000000\n[Slave_Type]\nKB7T_%u=0\n", ring, kSlave, kSlave);
    return std::fclose(f) == 0;
}

std::vector<quvex_sim_motion_sample> samples() {
    std::vector<quvex_sim_motion_sample> out(
        static_cast<std::size_t>(std::max(0, quvex_sim_module_motion_samples(kDevice, kSlave, 0, nullptr, 0))));
    const int n = quvex_sim_module_motion_samples(kDevice, kSlave, 0, out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(out.size()))));
    return out;
}

void run_until_done(uint16_t ring) {
    uint16_t done = 1;
    for (int step = 0; step < 2000; ++step) {
        kring_m1_motion_done(ring, kSlave, &done);
        if (done == 0) break;
        quvex_sim_advance(0.005);
    }
    quvex_sim_advance(0.02);
}

Run move(uint16_t ring, const char* name, bool s_curve, int32_t dist) {
    Run run{name, quvex_sim_now(), {}};
    quvex_sim_module_sample_motion(kDevice, kSlave, 0, kSamplePeriod);
    if (s_curve) {
        kring_m1_set_smove_speed(ring, kSlave, 500, 40000, 0.15, 0.15, 15000, 15000);
    } else {
        kring_m1_set_tmove_speed(ring, kSlave, 500, 40000, 0.15, 0.15);
    }
    kring_m1_start_r_move(ring, kSlave, dist);
    run_until_done(ring);
    quvex_sim_module_sample_motion(kDevice, kSlave, 0, 0);
    run.samples = samples();
    uint32_t position = 0;
    kring_m1_get_position(ring, kSlave, &position);
    quvex_sim_motion_info info{};
    quvex_sim_module_motion_info(kDevice, kSlave, 0, &info);
    std::printf("  %-8s %+7d pulses: position read back %d, %.3f s, peak %.0f pps\n", name, dist,
                static_cast<int32_t>(position), info.ended_at - info.started_at, info.peak_speed);
    return run;
}

// Position and speed over time, each move from its own start.
void write_plot(std::vector<Run>& runs) {
    std::vector<quvex_sim_plot_series> series;
    for (Run& r : runs) {
        for (auto& sample : r.samples) sample.time -= r.start;
        series.push_back({r.name, r.samples.data(), static_cast<int>(r.samples.size())});
    }
    quvex_sim_plot_svg(kPlotFile, "one-axis module on the ring: each move from its start", series.data(),
                       static_cast<int>(series.size()), nullptr, 0, 0);
}

void show_io_bytes(uint16_t ring, const char* when) {
    std::printf("  %-34s flags 0x%02X, inputs 0x%02X, outputs 0x%02X\n", when, quvex_sim_ring_io_get(kDevice, kSlave, 0),
                kring_io_input(ring, kSlave, 2), quvex_sim_m1_outputs(kDevice, kSlave));
}

}  // namespace

void demo_module() {
    std::printf("\n-- one-axis module on the ring of card 0 --\n");
    quvex_sim_clock_manual();  // time moves by the demo's steps: plots come out the same every run
    quvex_sim_ring_add_m1_module(kDevice, kSlave);
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

    kring_m1_initial(ring, kSlave);
    const quvex_status loaded = write_motion_file(ring) ? kring_m1_load_motion_file(ring, kSlave, kMotionFile) : -1;
    uint32_t env1 = 0;
    quvex_sim_module_register(kDevice, kSlave, 0, 0x9C, &env1);
    std::printf("  motion file %s -> %d; the module's env1 now 0x%08X\n", kMotionFile, loaded, env1);

    kring_m1_set_svon(ring, kSlave, 1);
    std::vector<Run> runs;
    runs.push_back(move(ring, "T-curve", false, 20000));
    runs.push_back(move(ring, "S-curve", true, -20000));
    write_plot(runs);
    std::printf("  position and speed drawn in %s\n", kPlotFile);

    show_io_bytes(ring, "after the moves (servo on):");
    quvex_sim_module_set_input(kDevice, kSlave, 0, QUVEX_SIM_INPUT_EL_PLUS, 1);
    quvex_sim_module_set_input(kDevice, kSlave, 0, QUVEX_SIM_M1_INPUT_DI1, 1);
    show_io_bytes(ring, "+ limit and digital input 1 on:");
    kring_m1_dio_output(ring, kSlave, 0, 1);
    show_io_bytes(ring, "digital output 0 written:");

    kring_stop_ring(ring);
    kring_close();
    quvex_sim_clock_realtime(1.0);
}
