// Lines: a two-axis line and a four-axis line on card 1, run on the virtual clock. Each is drawn
// as an SVG file (the X-Y path beside the position and speed of every axis over time) and its reached
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

// Draws the sampled axes of card 1: the X-Y path beside position and speed over time.
void plot(const char* path, const char* title, int axes) {
    int keys[4];
    for (int a = 0; a < axes; ++a) keys[a] = kDevice * 4 + a;
    quvex_sim_plot_axes_svg(path, title, keys, axes, QUVEX_SIM_PLOT_PATH);
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
    plot("lines_xy.svg", "two-axis line (3000, 4000), T-curve, 1000 pps along the path", 2);
    report("two-axis line", 2, started, ended, "lines_xy.svg");

    sample_axes(4, kSamplePeriod);
    started = quvex_sim_now();
    rc = quvex_start_sr_line4(kCard, 1000, -2000, 3000, 500, 100, 2000, 0.2, 0.2, 0, 0);
    std::printf("  quvex_start_sr_line4(1000, -2000, 3000, 500, 2000 pps along the path) -> %d\n", rc);
    ended = run_until_done(4);
    sample_axes(4, 0);
    plot("lines_xyzu.svg", "four-axis line (1000, -2000, 3000, 500), S-curve, 2000 pps along the path", 4);
    report("four-axis line", 4, started, ended, "lines_xyzu.svg");

    quvex_sim_clock_realtime(1.0);
}
