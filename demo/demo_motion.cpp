// Motion: a T-curve and an S-curve move side by side on card 1, their speed and position
// sampled over virtual time, plotted into demo_motion.svg and summarised.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "sections.h"

namespace {

constexpr int kDevice = 1;
constexpr double kSamplePeriod = 0.002;
constexpr double kDistance = 20000;
constexpr double kStartSpeed = 200;
constexpr double kMaxSpeed = 20000;
constexpr double kRampTime = 0.3;
constexpr const char* kPlotFile = "demo_motion.svg";

struct Curve {
    const char* name;
    const char* colour;
    int16_t axis;  // AxisNo on card 1
    std::vector<quvex_sim_motion_sample> samples;
};

std::vector<quvex_sim_motion_sample> samples_of(int chip_axis) {
    const int n = quvex_sim_motion_samples(kDevice, chip_axis, nullptr, 0);
    std::vector<quvex_sim_motion_sample> out(static_cast<std::size_t>(std::max(n, 0)));
    quvex_sim_motion_samples(kDevice, chip_axis, out.data(), n);
    return out;
}

// One plot panel: value(sample) against time, every curve in its colour.
template <typename Value>
std::string panel(const std::vector<Curve>& curves, Value value, const char* title, double top, double y0,
                  double t_end) {
    constexpr double kLeft = 70, kWidth = 620, kHeight = 200;
    char buf[512];
    std::string svg;
    std::snprintf(buf, sizeof buf,
                  "<rect x='%g' y='%g' width='%g' height='%g' fill='none' stroke='#888'/>"
                  "<text x='%g' y='%g' font-size='13'>%s</text>"
                  "<text x='%g' y='%g' font-size='11' text-anchor='end'>%.0f</text>"
                  "<text x='%g' y='%g' font-size='11' text-anchor='end'>0</text>\n",
                  kLeft, y0, kWidth, kHeight, kLeft, y0 - 6, title, kLeft - 4, y0 + 10, top, kLeft - 4, y0 + kHeight);
    svg += buf;
    for (const Curve& c : curves) {
        svg += std::string("<polyline fill='none' stroke-width='1.5' stroke='") + c.colour + "' points='";
        for (const quvex_sim_motion_sample& s : c.samples) {
            const double x = kLeft + kWidth * (s.time - c.samples.front().time) / t_end;
            const double y = y0 + kHeight - kHeight * value(s) / top;
            std::snprintf(buf, sizeof buf, "%.1f,%.1f ", x, y);
            svg += buf;
        }
        svg += "'/>\n";
    }
    return svg;
}

void write_plot(const std::vector<Curve>& curves, double t_end) {
    double top_speed = 1, top_position = 1;
    for (const Curve& c : curves) {
        for (const quvex_sim_motion_sample& s : c.samples) {
            top_speed = std::max(top_speed, s.speed);
            top_position = std::max(top_position, static_cast<double>(s.position));
        }
    }
    std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='720' height='560' font-family='sans-serif'>\n";
    svg += panel(curves, [](const quvex_sim_motion_sample& s) { return s.speed; }, "speed (pulses/s)", top_speed,
                 30, t_end);
    svg += panel(curves, [](const quvex_sim_motion_sample& s) { return static_cast<double>(s.position); },
                 "position (pulses)", top_position, 290, t_end);
    char buf[512];
    std::snprintf(buf, sizeof buf, "<text x='690' y='510' font-size='11' text-anchor='end'>%.3f s</text>\n", t_end);
    svg += buf;
    for (std::size_t i = 0; i < curves.size(); ++i) {
        std::snprintf(buf, sizeof buf, "<text x='%u' y='540' font-size='12' fill='%s'>%s</text>\n",
                      static_cast<unsigned>(70 + i * 160), curves[i].colour, curves[i].name);
        svg += buf;
    }
    svg += "</svg>\n";
    if (FILE* f = std::fopen(kPlotFile, "w")) {
        std::fputs(svg.c_str(), f);
        std::fclose(f);
        std::printf("  plot of speed and position written to %s\n", kPlotFile);
    }
}

}  // namespace

void demo_motion() {
    std::printf("\n-- motion: T-curve and S-curve moves on card 1 --\n");
    uint16_t base = 0;
    if (quvex_get_base_addr(1, &base) != QUVEX_OK) return;  // card 1 is needed
    std::vector<Curve> curves = {{"T-curve (axis X)", "#1f77b4", 4, {}}, {"S-curve (axis Y)", "#ff7f0e", 5, {}}};

    quvex_sim_clock_manual();  // time moves by the demo's steps: plots come out the same every run
    for (const Curve& c : curves) quvex_sim_sample_motion(kDevice, c.axis % 4, kSamplePeriod);
    quvex_start_tr_move(curves[0].axis, kDistance, kStartSpeed, kMaxSpeed, kRampTime, kRampTime);
    quvex_start_sr_move(curves[1].axis, kDistance, kStartSpeed, kMaxSpeed, kRampTime, kRampTime, 0, 0);
    for (int step = 0; step < 1000 && (quvex_motion_done(curves[0].axis) != 0 || quvex_motion_done(curves[1].axis) != 0);
         ++step) {
        quvex_sim_advance(0.01);
    }
    quvex_sim_advance(0.05);

    std::printf("  %-18s %10s %10s %10s %12s\n", "move", "target", "reached", "duration", "peak speed");
    double t_end = 0;
    for (Curve& c : curves) {
        quvex_sim_sample_motion(kDevice, c.axis % 4, 0);
        c.samples = samples_of(c.axis % 4);
        quvex_sim_motion_info info{};
        quvex_sim_motion_info_get(kDevice, c.axis % 4, &info);
        int32_t reached = 0;
        quvex_get_command(c.axis, &reached);
        const double duration = info.ended_at - info.started_at;
        t_end = std::max(t_end, duration + 0.05);
        std::printf("  %-18s %10.0f %10d %9.4fs %9.1f pps\n", c.name, kDistance, reached, duration, info.peak_speed);
    }
    write_plot(curves, t_end);
    quvex_sim_clock_realtime(1.0);
}
