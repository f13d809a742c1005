// Home and in-flight changes on card 0, axis Z, run on the virtual clock: a home return that
// finds its origin switch, counts one index pulse past it and comes back to it at the correction
// speed; a move whose speed is raised and then lowered while it runs; a move whose end point is
// moved on and then back while it runs. Each is drawn as an SVG file (position and speed over
// time, with the sensors and the changes marked).
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "sections.h"

namespace {

constexpr int kDevice = 0;
constexpr int kAxisOnCard = 2;
constexpr int16_t kAxis = kAxisOnCard;  // card 0
constexpr double kSamplePeriod = 0.002;

using Samples = std::vector<quvex_sim_motion_sample>;

struct Plot {
    std::string title;
    Samples samples;
    std::vector<quvex_sim_plot_mark> marks;
};

// Levels are positions across the position panel; instants run across both panels.
quvex_sim_plot_mark level(double at, const char* label) { return {QUVEX_SIM_MARK_LEVEL, at, label}; }
quvex_sim_plot_mark instant(double at, const char* label) { return {QUVEX_SIM_MARK_TIME, at, label}; }

Samples take_samples() {
    Samples out(static_cast<std::size_t>(std::max(0, quvex_sim_motion_samples(kDevice, kAxisOnCard, nullptr, 0))));
    const int n = quvex_sim_motion_samples(kDevice, kAxisOnCard, out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(std::max(0, std::min(n, static_cast<int>(out.size())))));
    return out;
}

double run_until_stopped() {
    for (int step = 0; step < 6000 && quvex_motion_done(kAxis) != 0; ++step) quvex_sim_advance(0.01);
    return quvex_sim_now();
}

void write_svg(const char* path, const Plot& p) {
    const quvex_sim_plot_series z{"Z", p.samples.data(), static_cast<int>(p.samples.size())};
    if (quvex_sim_plot_svg(path, p.title.c_str(), &z, 1, p.marks.data(), static_cast<int>(p.marks.size()), 0) == 0) {
        std::printf("  drawn to %s\n", path);
    }
}

void home_return() {
    // The counters start from the axis's place, so the sensors are placed from there.
    int64_t place = 0;
    quvex_sim_axis_place(kDevice, kAxisOnCard, &place);
    quvex_set_position(kAxis, 0);
    quvex_set_command(kAxis, 0);
    const int32_t origin = static_cast<int32_t>(place) + 6000;
    quvex_sim_set_origin(kDevice, kAxisOnCard, origin, 1500);
    quvex_sim_set_index(kDevice, kAxisOnCard, 2000, origin + 700);
    // Origin then one index pulse, with the correction phase and a deviation-clear pulse.
    quvex_set_home_config(kAxis, 1, 1, 0, 1, 1);
    quvex_sim_sample_motion(kDevice, kAxisOnCard, kSamplePeriod);
    const quvex_status rc = quvex_home_move(kAxis, 2000, 8000, 0.2);
    run_until_stopped();
    quvex_sim_sample_motion(kDevice, kAxisOnCard, 0);
    quvex_sim_motion_info info{};
    quvex_sim_motion_info_get(kDevice, kAxisOnCard, &info);
    const double ended = info.ended_at;
    Plot p{"home return: origin (6000..7499), then the index at 6700, back at the correction speed", take_samples(),
           {level(6000, "origin on"), level(7499, "origin end"), level(6700, "index"), level(8700, "index"),
            instant(ended, "home end: counters 0")}};
    // The home end sets the counters to 0: the last sample shows it; draw the axis on its own scale.
    for (auto& s : p.samples) {
        if (s.time >= ended) s.position = 6700;
    }
    int64_t home = 0;
    quvex_sim_axis_place(kDevice, kAxisOnCard, &home);
    double pos = 0;
    quvex_get_position(kAxis, &pos);
    std::printf("  quvex_home_move(Z, 2000, 8000, 0.2) -> %d; stopped %.0f pulses from the start, counter %.0f\n", rc,
                static_cast<double>(home - place), pos);
    write_svg("home_return.svg", p);
}

void speed_change() {
    quvex_fix_speed_range(kAxis, 65535);
    quvex_sim_sample_motion(kDevice, kAxisOnCard, kSamplePeriod);
    const double t0 = quvex_sim_now();
    quvex_status rc = quvex_start_tr_move(kAxis, 60000, 100, 8000, 0.2, 0.2);
    quvex_sim_advance(1.5);
    const quvex_status up = quvex_v_change(kAxis, 16000, 0.3);
    quvex_sim_advance(1.2);
    const quvex_status down = quvex_v_change(kAxis, 5000, 0.3);
    run_until_stopped();
    quvex_sim_sample_motion(kDevice, kAxisOnCard, 0);
    double pos = 0;
    quvex_get_position(kAxis, &pos);
    std::printf("  60000-pulse move -> %d; speed raised to 16000 pps -> %d, lowered to 5000 pps -> %d; ended at %.0f\n",
                rc, up, down, pos);
    write_svg("speed_change.svg", {"speed raised and lowered in flight (60000 pulses, 8000 -> 16000 -> 5000 pps)",
                                   take_samples(),
                                   {level(60000, "target"), instant(t0 + 1.5, "raise"), instant(t0 + 2.7, "lower")}});
}

void end_point_change() {
    quvex_set_position(kAxis, 0);
    quvex_set_command(kAxis, 0);
    quvex_sim_sample_motion(kDevice, kAxisOnCard, kSamplePeriod);
    const double t0 = quvex_sim_now();
    const quvex_status rc = quvex_start_tr_move(kAxis, 20000, 100, 8000, 0.2, 0.2);
    quvex_sim_advance(1.0);
    const quvex_status on = quvex_p_change(kAxis, 35000);
    quvex_sim_advance(2.5);
    const quvex_status back = quvex_p_change(kAxis, 12000);
    run_until_stopped();
    quvex_sim_sample_motion(kDevice, kAxisOnCard, 0);
    quvex_unfix_speed_range(kAxis);
    double pos = 0;
    quvex_get_position(kAxis, &pos);
    std::printf("  20000-pulse move -> %d; end moved on to 35000 -> %d, back to 12000 -> %d; ended at %.0f\n", rc, on,
                back, pos);
    write_svg("end_point_change.svg",
              {"end point moved in flight: 20000, then 35000, then back to 12000", take_samples(),
               {level(20000, "first end"), level(35000, "moved on"), level(12000, "moved back"),
                instant(t0 + 1.0, "move on"), instant(t0 + 3.5, "move back")}});
}

}  // namespace

void demo_home() {
    std::printf("\n-- home and in-flight changes on card 0, axis Z --\n");
    quvex_sim_clock_manual();
    home_return();
    speed_change();
    end_point_change();
    quvex_sim_clock_realtime(1.0);
}
