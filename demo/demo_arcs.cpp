// Arcs on card 1, run on the virtual clock: a full circle, an arc through three points, a helix
// and a continuous path of lines and arcs queued one after the other. Each is drawn as an SVG
// file: the X-Y path on the left, on the right the position and speed of each axis over time.
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

// The X-Y path beside the position and speed of the given axes of card 1 over time.
void plot(const char* path, const char* title, int axes) {
    int keys[3];
    for (int a = 0; a < axes; ++a) keys[a] = kDevice * 4 + a;
    quvex_sim_plot_axes_svg(path, title, keys, axes, QUVEX_SIM_PLOT_PATH);
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
    plot("arcs_circle.svg", "full circle of radius 1000, T-curve, 4000 steps/s", 2);
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
    plot("arcs_three_points.svg", "arc through (0,0), (800,1200), (2000,0)", 2);
    report("three-point arc", started, "arcs_three_points.svg");
}

void helix() {
    zero_counters();
    sample_axes(kSamplePeriod);
    const double started = quvex_sim_now();
    const quvex_status rc = quvex_start_tr_arc_xyz(kCard, 800, 0, 0, 0, 3000, 1, 200, 4000, 0.2, 0.2);
    std::printf("  quvex_start_tr_arc_xyz(full turn of radius 800, Z 3000) -> %d\n", rc);
    run_until_done();
    plot("arcs_helix.svg", "helix: one turn of radius 800 while Z rises 3000", 3);
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
    plot("arcs_continuous.svg", "continuous path of lines and arcs, no stop between the segments", 2);
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
