// SVG drawings of sampled motion. Built on the public sample records only, so the same drawing
// serves card axes, module axes and anything a user records in that form.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "quvex/sim.h"

namespace {

constexpr int kMaxSeries = 8;
const char* const kColour[kMaxSeries] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd",
                                         "#ff7f0e", "#8c564b", "#e377c2", "#17becf"};

struct Box {
    double x, y, w, h;
};

struct Range {
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    void take(double v) {
        lo = std::fmin(lo, v);
        hi = std::fmax(hi, v);
    }
    // Widened by a margin so that a flat line sits inside the frame.
    Range padded() const {
        const double m = 0.05 * std::fmax(hi - lo, 1.0);
        return {lo - m, hi + m};
    }
};

using Points = std::vector<std::pair<double, double>>;

void polyline(std::FILE* f, const Points& points, const Box& b, const Range& x, const Range& y, const char* colour) {
    std::fprintf(f, "<polyline fill=\"none\" stroke-width=\"1.5\" stroke=\"%s\" points=\"", colour);
    for (const auto& [px, py] : points) {
        const double sx = b.x + (x.hi == x.lo ? 0 : (px - x.lo) / (x.hi - x.lo)) * b.w;
        const double sy = b.y + b.h - (y.hi == y.lo ? 0 : (py - y.lo) / (y.hi - y.lo)) * b.h;
        std::fprintf(f, "%.1f,%.1f ", sx, sy);
    }
    std::fputs("\"/>\n", f);
}

// Tick spacing of 1, 2 or 5 times a power of ten giving about `wanted` ticks (at most 1.4 times) over the range, so a
// reader can read values off the curve.
double tick_step(const Range& r, int wanted) {
    const double span = r.hi - r.lo;
    if (!(span > 0) || !std::isfinite(span)) return 0;
    const double raw = span / wanted;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double n = raw / magnitude;
    return (n <= 1.4 ? 1 : n <= 2.8 ? 2 : n <= 6 ? 5 : 10) * magnitude;
}

std::vector<double> ticks(const Range& r, int wanted) {
    std::vector<double> out;
    const double step = tick_step(r, wanted);
    if (step <= 0) return out;
    for (double k = std::ceil(r.lo / step - 1e-9); k * step <= r.hi + step * 1e-9 && out.size() < 50; k += 1) {
        out.push_back(std::fabs(k) < 1e-12 ? 0.0 : k * step);
    }
    return out;
}

// A tick's label with as many decimals as its step needs ("0.25", "12000").
std::string tick_label(double v, const Range& r, int wanted) {
    const double step = tick_step(r, wanted);
    const int decimals = step > 0 ? std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9))) : 0;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*f", std::min(decimals, 9), v);
    return buf;
}

constexpr int kTicksY = 5;
// About one tick per 60 px of width: labels of six digits stay apart.
int ticks_across(double width) { return std::max(4, static_cast<int>(width / 60)); }

// The panel's frame, gridlines at the ticks with their labels, and the axis titles with units.
// `panel` names the panel in the elements' classes (path, position, speed).
void frame(std::FILE* f, const Box& b, const char* panel, const char* title, const Range& x, const Range& y,
           const char* x_title, const char* y_title) {
    std::fprintf(f, "<text x=\"%.0f\" y=\"%.0f\" font-size=\"13\">%s</text>\n", b.x, b.y - 8, title);
    const int ticks_x = ticks_across(b.w);
    for (double v : ticks(x, ticks_x)) {
        const double px = b.x + (v - x.lo) / (x.hi - x.lo) * b.w;
        std::fprintf(f,
                     "<line class=\"grid\" x1=\"%.1f\" x2=\"%.1f\" y1=\"%.0f\" y2=\"%.0f\" stroke=\"#e3e3e3\"/>"
                     "<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.0f\" y2=\"%.0f\" stroke=\"#888\"/>"
                     "<text class=\"tick-x %s\" x=\"%.1f\" y=\"%.0f\" font-size=\"10\" fill=\"#444\" "
                     "text-anchor=\"middle\">%s</text>\n",
                     px, px, b.y, b.y + b.h, px, px, b.y + b.h, b.y + b.h + 4, panel, px, b.y + b.h + 15,
                     tick_label(v, x, ticks_x).c_str());
    }
    for (double v : ticks(y, kTicksY)) {
        const double py = b.y + b.h - (v - y.lo) / (y.hi - y.lo) * b.h;
        std::fprintf(f,
                     "<line class=\"grid\" x1=\"%.0f\" x2=\"%.0f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"#e3e3e3\"/>"
                     "<line x1=\"%.0f\" x2=\"%.0f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"#888\"/>"
                     "<text class=\"tick-y %s\" x=\"%.0f\" y=\"%.1f\" font-size=\"10\" fill=\"#444\" "
                     "text-anchor=\"end\">%s</text>\n",
                     b.x, b.x + b.w, py, py, b.x - 4, b.x, py, py, panel, b.x - 6, py + 3,
                     tick_label(v, y, kTicksY).c_str());
    }
    std::fprintf(f,
                 "<rect x=\"%.0f\" y=\"%.0f\" width=\"%.0f\" height=\"%.0f\" fill=\"none\" stroke=\"#888\"/>\n"
                 "<text class=\"axis-title\" x=\"%.0f\" y=\"%.0f\" font-size=\"11\" fill=\"#444\" "
                 "text-anchor=\"middle\">%s</text>\n"
                 "<text class=\"axis-title\" font-size=\"11\" fill=\"#444\" text-anchor=\"middle\" "
                 "transform=\"translate(%.0f %.0f) rotate(-90)\">%s</text>\n",
                 b.x, b.y, b.w, b.h, b.x + b.w / 2, b.y + b.h + 29, x_title, b.x - 52, b.y + b.h / 2, y_title);
}

// Escapes the characters XML gives a meaning to.
std::string xml_text(const char* s) {
    std::string out;
    for (; s != nullptr && *s != '\0'; ++s) {
        switch (*s) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += *s;
        }
    }
    return out;
}

const char* const kMarkColour[4] = {"#2ca02c", "#d62728", "#9467bd", "#8c564b"};

double to_plot(double v, const Range& r, double from, double length) {
    return from + (r.hi == r.lo ? 0 : (v - r.lo) / (r.hi - r.lo)) * length;
}

// A level runs across the position panel; an instant across both time panels.
void draw_mark(std::FILE* f, const quvex_sim_plot_mark& m, const char* colour, const Box& position_box,
               const Box& speed_box, const Range& time, const Range& position) {
    if (!std::isfinite(m.at)) return;
    const std::string label = xml_text(m.label);
    if (m.kind == QUVEX_SIM_MARK_LEVEL) {
        const double y = position_box.y + position_box.h - to_plot(m.at, position, 0, position_box.h);
        std::fprintf(f, "<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" stroke-dasharray=\"4 3\"/>"
                        "<text x=\"%.1f\" y=\"%.1f\" font-size=\"11\" fill=\"%s\">%s</text>\n",
                     position_box.x, position_box.x + position_box.w, y, y, colour, position_box.x + 4, y - 3, colour,
                     label.c_str());
        return;
    }
    const double x = to_plot(m.at, time, position_box.x, position_box.w);
    std::fprintf(f, "<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.0f\" y2=\"%.0f\" stroke=\"%s\" stroke-dasharray=\"2 3\"/>"
                    "<text x=\"%.1f\" y=\"%.0f\" font-size=\"11\" text-anchor=\"end\" fill=\"%s\">%s</text>\n",
                 x, x, position_box.y, speed_box.y + speed_box.h, colour, x - 3, speed_box.y + speed_box.h - 4, colour,
                 label.c_str());
}

}  // namespace

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_plot_svg(const char* path, const char* title, const quvex_sim_plot_series* series,
                                            int count, const quvex_sim_plot_mark* marks, int mark_count,
                                            unsigned options) {
    if (path == nullptr || series == nullptr || count <= 0 || count > kMaxSeries) return -1;
    for (int i = 0; i < count; ++i) {
        if (series[i].samples == nullptr || series[i].count <= 0) return -1;
    }
    if (marks == nullptr || mark_count < 0) mark_count = 0;
    for (int i = 0; i < mark_count; ++i) {
        if (marks[i].kind != QUVEX_SIM_MARK_TIME && marks[i].kind != QUVEX_SIM_MARK_LEVEL) return -1;
    }
    const bool with_path = (options & QUVEX_SIM_PLOT_PATH) != 0 && count >= 2;
    Range time, position, speed, plane;
    for (int i = 0; i < count; ++i) {
        for (int k = 0; k < series[i].count; ++k) {
            const quvex_sim_motion_sample& s = series[i].samples[k];
            time.take(s.time);
            position.take(s.position);
            speed.take(std::fabs(s.speed));
            if (with_path && i < 2) plane.take(s.position);
        }
    }
    for (int i = 0; i < mark_count; ++i) {
        if (marks[i].kind == QUVEX_SIM_MARK_LEVEL && std::isfinite(marks[i].at)) position.take(marks[i].at);
    }
    speed.lo = 0;
    // Room at the left of each panel for its tick labels and axis title.
    const double margin = 70;
    const double left = with_path ? margin + 360 + margin : margin;
    const Box path_box{margin, 50, 360, 360};
    const double width = with_path ? 500 : 820;
    const Box position_box{left, 50, width, 150};
    const Box speed_box{left, 260, width, 150};
    std::FILE* f = std::fopen(path, "w");
    if (f == nullptr) return -1;
    std::fprintf(f, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"500\" font-family=\"sans-serif\">\n",
                 left + width + 30);
    std::fprintf(f, "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n<text x=\"%.0f\" y=\"22\" font-size=\"16\">%s</text>\n",
                 margin, xml_text(title).c_str());
    if (with_path) {
        const Range p = plane.padded();
        const std::string first = series[0].label != nullptr ? xml_text(series[0].label) : std::string("1");
        const std::string second = series[1].label != nullptr ? xml_text(series[1].label) : std::string("2");
        frame(f, path_box, "path", "path (equal scales)", p, p, (first + " (pulses)").c_str(), (second + " (pulses)").c_str());
        Points xy;
        const int n = std::min(series[0].count, series[1].count);
        for (int k = 0; k < n; ++k) xy.emplace_back(series[0].samples[k].position, series[1].samples[k].position);
        polyline(f, xy, path_box, p, p, "#333");
    }
    const Range pos = position.padded();
    frame(f, position_box, "position", "position", time, pos, "time (s)", "position (pulses)");
    frame(f, speed_box, "speed", "speed", time, speed, "time (s)", "speed (pulses/s)");
    for (int i = 0; i < mark_count; ++i) draw_mark(f, marks[i], kMarkColour[i % 4], position_box, speed_box, time, pos);
    std::fprintf(f, "<g class=\"legend\" font-size=\"12\">\n");
    double legend_x = left;
    for (int i = 0; i < count; ++i) {
        Points ps, vs;
        for (int k = 0; k < series[i].count; ++k) {
            const quvex_sim_motion_sample& s = series[i].samples[k];
            ps.emplace_back(s.time, s.position);
            vs.emplace_back(s.time, std::fabs(s.speed));
        }
        polyline(f, ps, position_box, time, pos, kColour[i]);
        polyline(f, vs, speed_box, time, speed, kColour[i]);
        const std::string label = series[i].label != nullptr ? xml_text(series[i].label) : std::to_string(i + 1);
        std::fprintf(f,
                     "<line x1=\"%.0f\" x2=\"%.0f\" y1=\"480\" y2=\"480\" stroke=\"%s\" stroke-width=\"3\"/>"
                     "<text x=\"%.0f\" y=\"484\" fill=\"#222\">%s</text>\n",
                     legend_x, legend_x + 18, kColour[i], legend_x + 23, label.c_str());
        legend_x += 23 + 7.5 * static_cast<double>(series[i].label != nullptr ? std::strlen(series[i].label) : 1) + 24;
    }
    std::fputs("</g>\n", f);
    const bool written = std::fputs("</svg>\n", f) >= 0;
    return std::fclose(f) == 0 && written ? 0 : -1;
}

QUVEX_API int QUVEX_CALL quvex_sim_plot_axes_svg(const char* path, const char* title, const int* axes, int count,
                                                 unsigned options) {
    if (axes == nullptr || count <= 0 || count > kMaxSeries) return -1;
    static const char* const kName[4] = {"X", "Y", "Z", "U"};
    std::vector<std::vector<quvex_sim_motion_sample>> samples(static_cast<std::size_t>(count));
    std::vector<std::string> labels(static_cast<std::size_t>(count));
    std::vector<quvex_sim_plot_series> series(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (axes[i] < 0) return -1;
        const int device = axes[i] / 4, axis = axes[i] % 4;
        const int n = quvex_sim_motion_samples(device, axis, nullptr, 0);
        if (n <= 0) return -1;
        samples[i].resize(static_cast<std::size_t>(n));
        const int got = quvex_sim_motion_samples(device, axis, samples[i].data(), n);
        samples[i].resize(static_cast<std::size_t>(std::clamp(got, 0, n)));
        labels[i] = "d" + std::to_string(device) + " " + kName[axis];
        series[i] = {labels[i].c_str(), samples[i].data(), static_cast<int>(samples[i].size())};
    }
    return quvex_sim_plot_svg(path, title, series.data(), count, nullptr, 0, options);
}

}  // extern "C"
