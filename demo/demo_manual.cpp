// Manual operation on card 0: a hand-wheel session (the operator turns the wheel forwards,
// faster, then back; the selected axis follows every detent at ratio 5/2) and a jog (the switch
// held for a second, then released). Both are drawn as SVG files: the axis's position and speed
// over time, with the wheel's detents beside the position.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "sections.h"

namespace {

constexpr int16_t kCard = 0;
constexpr int kDevice = 0;
constexpr int16_t kWheelAxis = 1;  // Y
constexpr int kJogAxis = 2;        // Z
constexpr double kSamplePeriod = 0.005;

using Samples = std::vector<quvex_sim_motion_sample>;

Samples samples_of(int axis) {
    Samples out(static_cast<std::size_t>(std::max(0, quvex_sim_motion_samples(kDevice, axis, nullptr, 0))));
    const int n = quvex_sim_motion_samples(kDevice, axis, out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(std::max(0, std::min(n, static_cast<int>(out.size())))));
    return out;
}

struct Curve {
    std::vector<std::pair<double, double>> points;
    const char* colour;
};

std::string polyline(const Curve& c, double x0, double x1, double y0, double y1, double top) {
    constexpr double left = 60, width = 820, height = 180;
    std::string out = "<polyline fill=\"none\" stroke-width=\"1.5\" stroke=\"" + std::string(c.colour) + "\" points=\"";
    char buf[64];
    for (const auto& [x, y] : c.points) {
        const double sx = left + (x1 == x0 ? 0 : (x - x0) / (x1 - x0)) * width;
        const double sy = top + height - (y1 == y0 ? 0 : (y - y0) / (y1 - y0)) * height;
        std::snprintf(buf, sizeof buf, "%.1f,%.1f ", sx, sy);
        out += buf;
    }
    return out + "\"/>\n";
}

void range_of(const std::vector<Curve>& curves, double* lo, double* hi) {
    *lo = 0;
    *hi = 1;
    for (const Curve& c : curves) {
        for (const auto& p : c.points) {
            *lo = std::fmin(*lo, p.second);
            *hi = std::fmax(*hi, p.second);
        }
    }
}

// Two panels over one time axis: positions above, speeds below.
void write_svg(const char* path, const char* title, const std::vector<Curve>& positions, const Curve& speed) {
    std::FILE* f = std::fopen(path, "w");
    if (f == nullptr) return;
    double t0 = HUGE_VAL, t1 = -HUGE_VAL;
    for (const auto& p : speed.points) {
        t0 = std::fmin(t0, p.first);
        t1 = std::fmax(t1, p.first);
    }
    double p_lo = 0, p_hi = 0, v_lo = 0, v_hi = 0;
    range_of(positions, &p_lo, &p_hi);
    range_of({speed}, &v_lo, &v_hi);
    std::fprintf(f, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"920\" height=\"500\" font-family=\"sans-serif\">\n"
                    "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n"
                    "<text x=\"60\" y=\"24\" font-size=\"16\">%s</text>\n", title);
    std::fprintf(f, "<rect x=\"60\" y=\"50\" width=\"820\" height=\"180\" fill=\"none\" stroke=\"#888\"/>\n"
                    "<text x=\"60\" y=\"44\" font-size=\"13\">position (pulses) %.0f .. %.0f</text>\n", p_lo, p_hi);
    for (const Curve& c : positions) std::fputs(polyline(c, t0, t1, p_lo, p_hi, 50).c_str(), f);
    std::fprintf(f, "<rect x=\"60\" y=\"280\" width=\"820\" height=\"180\" fill=\"none\" stroke=\"#888\"/>\n"
                    "<text x=\"60\" y=\"274\" font-size=\"13\">speed (pps) %.0f .. %.0f, over %.2f s</text>\n",
                 v_lo, v_hi, t1 - t0);
    std::fputs(polyline(speed, t0, t1, v_lo, v_hi, 280).c_str(), f);
    std::fputs("</svg>\n", f);
    std::fclose(f);
}

// One turn of the operator's hand: detents (negative: backwards) at a rate in detents per second.
struct Turn {
    int detents;
    double rate;
};

void hand_wheel_session() {
    constexpr int16_t axis = kCard * 4 + kWheelAxis;
    quvex_set_pulser_ratio(axis, 2, 5);
    quvex_set_mof_mode(kCard, 1);
    quvex_manual_mpg(kCard, kWheelAxis);
    quvex_set_mof_config(kCard, 1);

    const Turn session[] = {{200, 100}, {300, 300}, {-400, 200}, {50, 50}};
    const double started = quvex_sim_now();
    double before = 0;
    quvex_get_position(axis, &before);
    quvex_sim_sample_motion(kDevice, kWheelAxis, kSamplePeriod);
    // The wheel's detents so far times the ratio: what the axis must follow.
    Curve wheel{{}, "#bbbbbb"};
    double t = started;
    int detents = 0;
    for (const Turn& turn : session) {
        quvex_sim_turn_wheel(kDevice, turn.detents, turn.rate);
        wheel.points.emplace_back(t - started, detents * 5.0 / 2.0);
        t += std::abs(turn.detents) / turn.rate;
        detents += turn.detents;
        wheel.points.emplace_back(t - started, detents * 5.0 / 2.0);
    }
    quvex_sim_advance(quvex_sim_wheel_idle_at(kDevice) - quvex_sim_now() + 0.1);
    quvex_sim_sample_motion(kDevice, kWheelAxis, 0);

    Curve position{{}, "#1f77b4"}, speed{{}, "#d62728"};
    for (const auto& s : samples_of(kWheelAxis)) {
        position.points.emplace_back(s.time - started, s.position - before);
        speed.points.emplace_back(s.time - started, s.speed);
    }
    double after = 0;
    quvex_get_position(axis, &after);
    write_svg("manual_hand_wheel.svg", "Hand wheel on Y at ratio 5/2: 200, 300, -400, 50 detents", {wheel, position},
              speed);
    std::printf("  hand wheel: %d detents in all moved Y by %.0f pulses (ratio 5/2); drawn to manual_hand_wheel.svg\n",
                detents, after - before);
}

void jog() {
    constexpr int16_t axis = kCard * 4 + kJogAxis;
    quvex_set_mof_config(kCard, 2);
    quvex_set_mof_jog_velocity(axis, 200, 4000, 0.2, 0.3, 100);
    const double started = quvex_sim_now();
    quvex_sim_sample_motion(kDevice, kJogAxis, kSamplePeriod);
    quvex_sim_jog_switch(kDevice, kJogAxis, 1, 1);
    quvex_sim_advance(1.0);
    quvex_sim_jog_switch(kDevice, kJogAxis, 1, 0);
    quvex_sim_advance(0.5);
    quvex_sim_sample_motion(kDevice, kJogAxis, 0);

    Curve position{{}, "#1f77b4"}, speed{{}, "#d62728"};
    for (const auto& s : samples_of(kJogAxis)) {
        position.points.emplace_back(s.time - started, s.position);
        speed.points.emplace_back(s.time - started, s.speed);
    }
    double pos = 0;
    quvex_get_position(axis, &pos);
    write_svg("manual_jog.svg", "Jog + on Z: held 1 s at up to 4000 pps, then released", {position}, speed);
    std::printf("  jog: switch held 1 s, Z stopped at %.0f pulses; drawn to manual_jog.svg\n", pos);
    quvex_disable_mof(kCard);
}

}  // namespace

void demo_manual() {
    std::printf("manual operation\n");
    quvex_sim_clock_manual();  // time moves by the demo's steps: plots come out the same every run
    hand_wheel_session();
    jog();
    quvex_sim_clock_realtime(1.0);
}
