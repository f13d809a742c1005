// The panel's clock switches, over the clock calls of the control interface.
#include "panel_clock.h"

#include <cmath>
#include <mutex>

#include "panel_snapshot.h"
#include "quvex/sim.h"

namespace qsim::panel {

namespace {

constexpr double kPanelLongestStep = 10.0;  // seconds one step may move: a typo must not run for hours
constexpr double kPanelHighestScale = 1000.0;

std::mutex panel_clock_mu;
PanelClockState panel_clock;

}  // namespace

PanelClockState panel_clock_state() {
    std::lock_guard<std::mutex> lk(panel_clock_mu);
    return panel_clock;
}

int pause_clock(const char** why) {
    std::lock_guard<std::mutex> lk(panel_clock_mu);
    const ClockView v = clock_view();
    if (!v.realtime) {
        *why = "the clock is not running in real time";
        return 409;
    }
    panel_clock.paused = true;
    panel_clock.scale = v.scale;
    quvex_sim_clock_manual();
    return 0;
}

int resume_clock(const char** why) {
    std::lock_guard<std::mutex> lk(panel_clock_mu);
    if (!panel_clock.paused) {
        *why = "the clock is not paused";
        return 409;
    }
    panel_clock.paused = false;
    quvex_sim_clock_realtime(panel_clock.scale);
    return 0;
}

int step_clock(double seconds, const char** why) {
    if (!(seconds > 0.0) || seconds > kPanelLongestStep) {
        *why = "seconds must be above 0 and at most 10";
        return 400;
    }
    std::lock_guard<std::mutex> lk(panel_clock_mu);
    if (!panel_clock.paused) {
        *why = "the clock steps only while paused";
        return 409;
    }
    quvex_sim_advance(seconds);
    return 0;
}

int scale_clock(double scale, const char** why) {
    if (!std::isfinite(scale) || scale <= 0.0 || scale > kPanelHighestScale) {
        *why = "scale must be above 0 and at most 1000";
        return 400;
    }
    std::lock_guard<std::mutex> lk(panel_clock_mu);
    panel_clock.scale = scale;
    if (!panel_clock.paused) quvex_sim_clock_realtime(scale);
    return 0;
}

}  // namespace qsim::panel
