// Lines: a two-axis line and a four-axis line on card 1, run on the virtual clock. Each is drawn
// as an SVG file (the X-Y path beside the speed of every axis over time) and its reached
// positions are printed.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "quvex/sim_motion.h"
#include "sections.h"

namespace {

constexpr int16_t kCard = 1;
constexpr int kDevice = 1;
constexpr double kSamplePeriod = 0.005;
const char* const kAxisName[4] = {"X", "Y", "Z", "U"};
const char* const kAxisColour[4] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd"};

using Trace = std::vector<quvex_sim_motion_sample>;

Trace samples_of(int axis) {
    Trace out(static_cast<std::size_t>(std::max(0, quvex_sim_motion_samples(kDevice, axis, nullptr, 0))));
    const int n = quvex_sim_motion_samples(kDevice, axis, out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(std::max(0, std::min(n, static_cast<int>(out.size())))));
    return out;
}

// Runs the clock until every axis of the line has stopped (at most a minute of virtual time).
double run_until_done(int axes) {
    for (int step = 0; step < 6000; ++step) {
        bool moving = false;
        for (int a = 0; a < axes; ++a) moving = moving || quvex_motion_done(static_cast<int16_t>(kCard * 4 + a)) != 0;
        if (!moving) break;
        quvex_sim_advance(0.01);
    }
    return quvex_sim_now();
}

struct Box {
    double x, y, w, h;
};

std::string polyline(const std::vector<std::pair<double, double>>& points, const Box& box, double x0, double x1,
                     double y0, double y1, const char* colour) {
    std::string out = "<polyline fill=\"none\" stroke-width=\"1.5\" stroke=\"" + std::string(colour) + "\" points=\"";
    char buf[64];
    for (const auto& [px, py] : points) {
        const double sx = box.x + (x1 == x0 ? 0 : (px - x0) / (x1 - x0)) * box.w;
        const double sy = box.y + box.h - (y1 == y0 ? 0 : (py - y0) / (y1 - y0)) * box.h;
        std::snprintf(buf, sizeof buf, "%.1f,%.1f ", sx, sy);
        out += buf;
    }
    return out + "\"/>\n";
}

std::string frame(const Box& b, const char* title) {
    char buf[256];
    std::snprintf(buf, sizeof buf,
                  "<rect x=\"%.0f\" y=\"%.0f\" width=\"%.0f\" height=\"%.0f\" fill=\"none\" stroke=\"#888\"/>\n"
                  "<text x=\"%.0f\" y=\"%.0f\" font-size=\"14\">%s</text>\n",
                  b.x, b.y, b.w, b.h, b.x, b.y - 8, title);
    return buf;
}

// Left: the X-Y path (equal scales); right: the speed of each axis over time.
void write_svg(const char* path, const char* title, const std::vector<Trace>& traces) {
    const Box left{40, 50, 360, 360};
    const Box right{460, 50, 480, 360};
    std::vector<std::pair<double, double>> xy;
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (std::size_t i = 0; i < traces[0].size() && i < traces[1].size(); ++i) {
        xy.emplace_back(traces[0][i].position, traces[1][i].position);
        lo = std::fmin(lo, std::fmin(traces[0][i].position, traces[1][i].position));
        hi = std::fmax(hi, std::fmax(traces[0][i].position, traces[1][i].position));
    }
    // Equal scales on both axes, fitted to the path with a small margin.
    const double margin = 0.05 * std::fmax(hi - lo, 1.0);
    lo -= margin;
    hi += margin;
    double t_end = 0, v_max = 1;
    for (const Trace& t : traces) {
        for (const auto& s : t) {
            t_end = std::fmax(t_end, s.time);
            v_max = std::fmax(v_max, std::fabs(s.speed));
        }
    }
    const double t_start = traces[0].empty() ? 0 : traces[0].front().time;

    std::FILE* f = std::fopen(path, "w");
    if (f == nullptr) return;
    std::fprintf(f, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"980\" height=\"460\" font-family=\"sans-serif\">\n");
    std::fprintf(f, "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n<text x=\"40\" y=\"22\" font-size=\"16\">%s</text>\n",
                 title);
    std::fputs(frame(left, "X-Y path (pulses)").c_str(), f);
    std::fputs(polyline(xy, left, lo, hi, lo, hi, "#1f77b4").c_str(), f);
    std::fputs(frame(right, "speed of each axis (pps) over time (s)").c_str(), f);
    for (std::size_t a = 0; a < traces.size(); ++a) {
        std::vector<std::pair<double, double>> v;
        for (const auto& s : traces[a]) v.emplace_back(s.time, std::fabs(s.speed));
        std::fputs(polyline(v, right, t_start, t_end, 0, v_max, kAxisColour[a]).c_str(), f);
        std::fprintf(f, "<text x=\"%.0f\" y=\"440\" font-size=\"12\" fill=\"%s\">%s</text>\n", right.x + 40.0 * static_cast<double>(a),
                     kAxisColour[a], kAxisName[a]);
    }
    std::fprintf(f, "<text x=\"%.0f\" y=\"440\" font-size=\"12\">%.2f s, peak %.0f pps</text>\n", right.x + 200,
                 t_end - t_start, v_max);
    std::fputs("</svg>\n", f);
    std::fclose(f);
}

void report(const char* what, int axes, double started, double ended, const char* svg) {
    std::printf("  %s: %.3f s of virtual time; reached", what, ended - started);
    for (int a = 0; a < axes; ++a) {
        double pos = 0;
        quvex_get_position(static_cast<int16_t>(kCard * 4 + a), &pos);
        std::printf(" %s=%.0f", kAxisName[a], pos);
    }
    std::printf("\n  drawn to %s\n", svg);
}

void sample_axes(int axes, double period) {
    for (int a = 0; a < axes; ++a) quvex_sim_sample_motion(kDevice, a, period);
}

}  // namespace

void demo_lines() {
    std::printf("\n-- lines on card 1 --\n");
    quvex_sim_clock_manual();
    // The lines start from the origin, whatever earlier sections left on the counters.
    for (int16_t a = 0; a < 4; ++a) {
        quvex_set_position(static_cast<int16_t>(kCard * 4 + a), 0);
        quvex_set_command(static_cast<int16_t>(kCard * 4 + a), 0);
    }

    const int16_t xy[2] = {0, 1};
    sample_axes(2, kSamplePeriod);
    double started = quvex_sim_now();
    quvex_status rc = quvex_start_tr_line2(kCard, xy, 3000, 4000, 100, 1000, 0.3, 0.3);
    std::printf("  quvex_start_tr_line2(X-Y, 3000, 4000, 1000 pps along the path) -> %d\n", rc);
    double ended = run_until_done(2);
    sample_axes(2, 0);
    write_svg("lines_xy.svg", "two-axis line (3000, 4000), T-curve, 1000 pps along the path",
              {samples_of(0), samples_of(1)});
    report("two-axis line", 2, started, ended, "lines_xy.svg");

    sample_axes(4, kSamplePeriod);
    started = quvex_sim_now();
    rc = quvex_start_sr_line4(kCard, 1000, -2000, 3000, 500, 100, 2000, 0.2, 0.2, 0, 0);
    std::printf("  quvex_start_sr_line4(1000, -2000, 3000, 500, 2000 pps along the path) -> %d\n", rc);
    ended = run_until_done(4);
    sample_axes(4, 0);
    write_svg("lines_xyzu.svg", "four-axis line (1000, -2000, 3000, 500), S-curve, 2000 pps along the path",
              {samples_of(0), samples_of(1), samples_of(2), samples_of(3)});
    report("four-axis line", 4, started, ended, "lines_xyzu.svg");

    quvex_sim_clock_realtime(1.0);
}
