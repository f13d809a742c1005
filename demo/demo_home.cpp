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

struct Mark {
    double at;          // a position (level marks) or a time (time marks)
    const char* label;
    const char* colour;
};

struct Plot {
    std::string title;
    Samples samples;
    std::vector<Mark> levels;  // positions, drawn across the position panel
    std::vector<Mark> times;   // instants, drawn across both panels
};

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

struct Panel {
    double x, y, w, h, v0, v1;
    double sx(double t, double t0, double t1) const { return x + (t1 == t0 ? 0 : (t - t0) / (t1 - t0)) * w; }
    double sy(double v) const { return y + h - (v1 == v0 ? 0 : (v - v0) / (v1 - v0)) * h; }
};

void write_svg(const char* path, const Plot& p) {
    if (p.samples.empty()) return;
    const double t0 = p.samples.front().time, t1 = p.samples.back().time;
    double lo = HUGE_VAL, hi = -HUGE_VAL, vmax = 1;
    for (const auto& s : p.samples) {
        lo = std::fmin(lo, s.position);
        hi = std::fmax(hi, s.position);
        vmax = std::fmax(vmax, std::fabs(s.speed));
    }
    for (const Mark& m : p.levels) {
        lo = std::fmin(lo, m.at);
        hi = std::fmax(hi, m.at);
    }
    const double margin = 0.05 * std::fmax(hi - lo, 1.0);
    const Panel pos{60, 50, 820, 220, lo - margin, hi + margin};
    const Panel vel{60, 320, 820, 160, 0, vmax * 1.05};
    std::FILE* f = std::fopen(path, "w");
    if (f == nullptr) return;
    std::fprintf(f, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"960\" height=\"520\" font-family=\"sans-serif\">\n"
                    "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n"
                    "<text x=\"60\" y=\"24\" font-size=\"16\">%s</text>\n", p.title.c_str());
    for (const Panel* panel : {&pos, &vel}) {
        std::fprintf(f, "<rect x=\"%.0f\" y=\"%.0f\" width=\"%.0f\" height=\"%.0f\" fill=\"none\" stroke=\"#888\"/>\n",
                     panel->x, panel->y, panel->w, panel->h);
    }
    std::fprintf(f, "<text x=\"60\" y=\"44\" font-size=\"12\">position (pulses, command counter)</text>\n"
                    "<text x=\"60\" y=\"314\" font-size=\"12\">speed (pps) over time (%.2f s)</text>\n", t1 - t0);
    for (const Mark& m : p.levels) {
        std::fprintf(f, "<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" stroke-dasharray=\"4 3\"/>"
                        "<text x=\"%.1f\" y=\"%.1f\" font-size=\"11\" fill=\"%s\">%s</text>\n",
                     pos.x, pos.x + pos.w, pos.sy(m.at), pos.sy(m.at), m.colour, pos.x + pos.w + 4, pos.sy(m.at) + 4,
                     m.colour, m.label);
    }
    for (const Mark& m : p.times) {
        const double x = pos.sx(m.at, t0, t1);
        std::fprintf(f, "<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.0f\" y2=\"%.0f\" stroke=\"%s\" stroke-dasharray=\"2 3\"/>"
                        "<text x=\"%.1f\" y=\"%.0f\" font-size=\"11\" text-anchor=\"end\" fill=\"%s\">%s</text>\n",
                     x, x, pos.y, vel.y + vel.h, m.colour, x - 3, vel.y + vel.h + 14, m.colour, m.label);
    }
    for (const Panel* panel : {&pos, &vel}) {
        std::fputs("<polyline fill=\"none\" stroke-width=\"1.5\" stroke=\"#1f77b4\" points=\"", f);
        for (const auto& s : p.samples) {
            const double v = panel == &pos ? s.position : std::fabs(s.speed);
            std::fprintf(f, "%.1f,%.1f ", panel->sx(s.time, t0, t1), panel->sy(v));
        }
        std::fputs("\"/>\n", f);
    }
    std::fputs("</svg>\n", f);
    std::fclose(f);
    std::printf("  drawn to %s\n", path);
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
           {{6000, "origin on", "#d62728"}, {7499, "origin end", "#d62728"}, {6700, "index", "#2ca02c"},
            {8700, "index", "#2ca02c"}},
           {{ended, "home end: counters 0", "#9467bd"}}};
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
                                   take_samples(), {{60000, "target", "#d62728"}},
                                   {{t0 + 1.5, "raise", "#2ca02c"}, {t0 + 2.7, "lower", "#2ca02c"}}});
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
               {{20000, "first end", "#888"}, {35000, "moved on", "#888"}, {12000, "moved back", "#d62728"}},
               {{t0 + 1.0, "move on", "#2ca02c"}, {t0 + 3.5, "move back", "#2ca02c"}}});
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
