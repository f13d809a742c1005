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
    const char* colour;
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

Run move(uint16_t ring, const char* name, const char* colour, bool s_curve, int32_t dist) {
    Run run{name, colour, quvex_sim_now(), {}};
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

// Two panels over time: position (top) and speed (bottom), one line per move.
void write_plot(const std::vector<Run>& runs) {
    std::FILE* f = std::fopen(kPlotFile, "w");
    if (f == nullptr) return;
    double t_max = 0, p_min = 0, p_max = 1, v_max = 1;
    for (const Run& r : runs) {
        for (const auto& s : r.samples) {
            t_max = std::max(t_max, s.time - r.start);
            p_min = std::min<double>(p_min, s.position);
            p_max = std::max<double>(p_max, s.position);
            v_max = std::max(v_max, s.speed);
        }
    }
    const double x0 = 60, w = 620, h = 220, top = 40, gap = 60;
    std::fprintf(f, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"720\" height=\"%.0f\" font-family=\"sans-serif\">\n",
                 top + 2 * h + gap + 40);
    const char* titles[2] = {"position (pulses)", "speed (pps)"};
    for (int panel = 0; panel < 2; ++panel) {
        const double y0 = top + panel * (h + gap);
        std::fprintf(f, "<rect x=\"%.0f\" y=\"%.0f\" width=\"%.0f\" height=\"%.0f\" fill=\"none\" stroke=\"#888\"/>\n", x0, y0,
                     w, h);
        std::fprintf(f, "<text x=\"%.0f\" y=\"%.0f\" font-size=\"13\">%s over %.2f s</text>\n", x0, y0 - 8, titles[panel],
                     t_max);
        for (const Run& r : runs) {
            std::fprintf(f, "<polyline fill=\"none\" stroke-width=\"1.5\" stroke=\"%s\" points=\"", r.colour);
            for (const auto& s : r.samples) {
                const double x = x0 + (s.time - r.start) / std::max(t_max, 1e-9) * w;
                const double v = panel == 0 ? (s.position - p_min) / (p_max - p_min) : s.speed / v_max;
                std::fprintf(f, "%.1f,%.1f ", x, y0 + h - v * h);
            }
            std::fprintf(f, "\"/>\n");
        }
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        std::fprintf(f, "<text x=\"%.0f\" y=\"%.0f\" font-size=\"13\" fill=\"%s\">%s</text>\n", x0 + 160.0 * static_cast<double>(i),
                     top + 2 * h + gap + 25, runs[i].colour, runs[i].name);
    }
    std::fprintf(f, "</svg>\n");
    std::fclose(f);
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
    runs.push_back(move(ring, "T-curve", "#1f77b4", false, 20000));
    runs.push_back(move(ring, "S-curve", "#ff7f0e", true, -20000));
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
