// Arcs on card 1, run on the virtual clock: a full circle, an arc through three points, a helix
// and a continuous path of lines and arcs queued one after the other. Each is drawn as an SVG
// file: the X-Y path on the left, on the right the path speed (or Z for the helix) over time.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "quvex/sim_motion.h"
#include "sections.h"

namespace {

constexpr int16_t kCard = 1;
constexpr int kDevice = 1;
constexpr double kSamplePeriod = 0.002;

using Trace = std::vector<quvex_sim_motion_sample>;
using Points = std::vector<std::pair<double, double>>;

Trace samples_of(int axis) {
    Trace out(static_cast<std::size_t>(std::max(0, quvex_sim_motion_samples(kDevice, axis, nullptr, 0))));
    const int n = quvex_sim_motion_samples(kDevice, axis, out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(std::max(0, std::min(n, static_cast<int>(out.size())))));
    return out;
}

void sample_axes(double period) {
    for (int a = 0; a < 4; ++a) quvex_sim_sample_motion(kDevice, a, period);
}

bool moving() {
    for (int16_t a = 0; a < 4; ++a) {
        if (quvex_motion_done(static_cast<int16_t>(kCard * 4 + a)) != 0) return true;
    }
    return false;
}

void run_until_done() {
    for (int step = 0; step < 6000 && moving(); ++step) quvex_sim_advance(0.01);
}

struct Box {
    double x, y, w, h;
};

// A polyline of `points` scaled from the ranges [x0, x1] x [y0, y1] into the box.
std::string polyline(const Points& points, const Box& b, double x0, double x1, double y0, double y1,
                     const char* colour) {
    std::string out = "<polyline fill=\"none\" stroke-width=\"1.5\" stroke=\"" + std::string(colour) + "\" points=\"";
    char buf[64];
    for (const auto& [px, py] : points) {
        const double sx = b.x + (x1 == x0 ? 0 : (px - x0) / (x1 - x0)) * b.w;
        const double sy = b.y + b.h - (y1 == y0 ? 0 : (py - y0) / (y1 - y0)) * b.h;
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

// Left: X against Y at equal scales. Right: `right` (time, value) with its title.
void write_svg(const char* path, const char* title, const Trace& x, const Trace& y, const Points& right,
               const char* right_title) {
    const Box left_box{40, 50, 360, 360};
    const Box right_box{460, 50, 480, 360};
    Points xy;
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        xy.emplace_back(x[i].position, y[i].position);
        lo = std::min({lo, static_cast<double>(x[i].position), static_cast<double>(y[i].position)});
        hi = std::max({hi, static_cast<double>(x[i].position), static_cast<double>(y[i].position)});
    }
    const double margin = 0.05 * std::max(hi - lo, 1.0);
    double t0 = HUGE_VAL, t1 = -HUGE_VAL, v0 = 0, v1 = 1;
    for (const auto& [t, v] : right) {
        t0 = std::min(t0, t);
        t1 = std::max(t1, t);
        v0 = std::min(v0, v);
        v1 = std::max(v1, v);
    }
    std::FILE* f = std::fopen(path, "w");
    if (f == nullptr) return;
    std::fprintf(f, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"980\" height=\"460\" font-family=\"sans-serif\">\n");
    std::fprintf(f, "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n<text x=\"40\" y=\"22\" font-size=\"16\">%s</text>\n",
                 title);
    std::fputs(frame(left_box, "X-Y path (pulses)").c_str(), f);
    std::fputs(polyline(xy, left_box, lo - margin, hi + margin, lo - margin, hi + margin, "#1f77b4").c_str(), f);
    std::fputs(frame(right_box, right_title).c_str(), f);
    std::fputs(polyline(right, right_box, t0, t1, v0, v1, "#d62728").c_str(), f);
    std::fprintf(f, "<text x=\"%.0f\" y=\"440\" font-size=\"12\">%.2f s, %.0f to %.0f</text>\n", right_box.x, t1 - t0,
                 v0, v1);
    std::fputs("</svg>\n", f);
    std::fclose(f);
}

// Speed along the path: on an arc one axis always makes a pulse every step, so the faster axis
// shows the profile.
Points path_speed(const Trace& x, const Trace& y) {
    Points out;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        out.emplace_back(x[i].time, std::max(std::fabs(x[i].speed), std::fabs(y[i].speed)));
    }
    return out;
}

void report(const char* what, double started, const char* svg) {
    std::printf("  %s: %.3f s of virtual time; reached", what, quvex_sim_now() - started);
    const char* names[4] = {"X", "Y", "Z", "U"};
    for (int16_t a = 0; a < 4; ++a) {
        int32_t command = 0;
        quvex_get_command(static_cast<int16_t>(kCard * 4 + a), &command);
        std::printf(" %s=%d", names[a], command);
    }
    std::printf("\n  drawn to %s\n", svg);
}

void zero_counters() {
    for (int16_t a = 0; a < 4; ++a) {
        quvex_set_position(static_cast<int16_t>(kCard * 4 + a), 0);
        quvex_set_command(static_cast<int16_t>(kCard * 4 + a), 0);
    }
}

void full_circle() {
    zero_counters();
    sample_axes(kSamplePeriod);
    const double started = quvex_sim_now();
    const quvex_status rc = quvex_start_tr_arc_xy(kCard, 1000, 0, 0, 0, 1, 200, 4000, 0.2, 0.2);
    std::printf("  quvex_start_tr_arc_xy(centre (1000, 0), back to the start, counter-clockwise) -> %d\n", rc);
    run_until_done();
    const Trace x = samples_of(0), y = samples_of(1);
    write_svg("arcs_circle.svg", "full circle of radius 1000, T-curve, 4000 steps/s", x, y, path_speed(x, y),
              "path speed (pps) over time (s)");
    report("full circle", started, "arcs_circle.svg");
}

void three_point_arc() {
    zero_counters();
    double cx = 0, cy = 0;
    int16_t dir = 0;
    quvex_status rc = quvex_get_arc_data_from_3points(0, 0, 800, 1200, 2000, 0, &cx, &cy, &dir);
    std::printf("  quvex_get_arc_data_from_3points((0,0), (800,1200), (2000,0)) -> %d: centre (%.0f, %.0f), dir %d\n",
                rc, cx, cy, dir);
    sample_axes(kSamplePeriod);
    const double started = quvex_sim_now();
    rc = quvex_start_ta_arc_xy(kCard, cx, cy, 2000, 0, dir, 200, 4000, 0.2, 0.2);
    std::printf("  quvex_start_ta_arc_xy(to (2000, 0)) -> %d\n", rc);
    run_until_done();
    const Trace x = samples_of(0), y = samples_of(1);
    write_svg("arcs_three_points.svg", "arc through (0,0), (800,1200), (2000,0)", x, y, path_speed(x, y),
              "path speed (pps) over time (s)");
    report("three-point arc", started, "arcs_three_points.svg");
}

void helix() {
    zero_counters();
    sample_axes(kSamplePeriod);
    const double started = quvex_sim_now();
    const quvex_status rc = quvex_start_tr_arc_xyz(kCard, 800, 0, 0, 0, 3000, 1, 200, 4000, 0.2, 0.2);
    std::printf("  quvex_start_tr_arc_xyz(full turn of radius 800, Z 3000) -> %d\n", rc);
    run_until_done();
    const Trace x = samples_of(0), y = samples_of(1), z = samples_of(2);
    Points z_over_time;
    for (const auto& s : z) z_over_time.emplace_back(s.time, s.position);
    write_svg("arcs_helix.svg", "helix: one turn of radius 800 while Z rises 3000", x, y, z_over_time,
              "Z (pulses) over time (s)");
    report("helix", started, "arcs_helix.svg");
}

// Waits until the queued move has started, so the next one can be queued behind it.
void wait_for_buffer() {
    for (int i = 0; i < 60000 && quvex_check_continuous_buffer(kCard * 4) == 1; ++i) quvex_sim_advance(0.001);
}

void continuous_path() {
    zero_counters();
    for (int16_t a = 0; a < 4; ++a) quvex_set_continuous_move(static_cast<int16_t>(kCard * 4 + a), 1);
    sample_axes(kSamplePeriod);
    const double started = quvex_sim_now();
    // A rounded rectangle: line, quarter arc, line, quarter arc, line, each queued behind the one
    // before; the first accelerates, the last decelerates, the ones between run at full speed.
    quvex_start_ta_line4(kCard, 2000, 0, 0, 0, 200, 3000, 0.2, 0);
    quvex_start_ta_arc_xy_conti(kCard, 2000, 500, 2500, 500, 1, 3000, 3000, 0, 0);
    wait_for_buffer();
    quvex_start_ta_line4(kCard, 2500, 1500, 0, 0, 3000, 3000, 0, 0);
    wait_for_buffer();
    quvex_start_ta_arc_xy_conti(kCard, 2000, 1500, 2000, 2000, 1, 3000, 3000, 0, 0);
    wait_for_buffer();
    quvex_start_ta_line4(kCard, 0, 2000, 0, 0, 200, 3000, 0, 0.2);
    std::printf("  line, arc, line, arc, line queued in continuous mode\n");
    run_until_done();
    for (int16_t a = 0; a < 4; ++a) quvex_set_continuous_move(static_cast<int16_t>(kCard * 4 + a), 0);
    const Trace x = samples_of(0), y = samples_of(1);
    write_svg("arcs_continuous.svg", "continuous path of lines and arcs, no stop between the segments", x, y,
              path_speed(x, y), "path speed (pps) over time (s)");
    report("continuous path", started, "arcs_continuous.svg");
}

}  // namespace

void demo_arcs() {
    std::printf("\n-- arcs on card 1 --\n");
    quvex_sim_clock_manual();
    full_circle();
    three_point_arc();
    helix();
    continuous_path();
    sample_axes(0);
    quvex_sim_clock_realtime(1.0);
}
