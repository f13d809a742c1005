// The motion plots can be read: every panel has ticks at round steps with labels, gridlines at
// them, axis titles with units and a legend, whatever the ranges of time and position.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "quvex/sim.h"

namespace {

struct PlotRanges {
    const char* name;
    double t0, t1;  // s
    double p0, p1;  // pulses
};

std::string plot_of(const PlotRanges& c, const std::string& path) {
    std::vector<quvex_sim_motion_sample> samples;
    for (int k = 0; k <= 100; ++k) {
        const double f = k / 100.0;
        samples.push_back({c.t0 + f * (c.t1 - c.t0), static_cast<int32_t>(std::lround(c.p0 + f * (c.p1 - c.p0))),
                           (c.p1 - c.p0) / (c.t1 - c.t0)});
    }
    const quvex_sim_plot_series series{"d0 X", samples.data(), static_cast<int>(samples.size())};
    EXPECT_EQ(quvex_sim_plot_svg(path.c_str(), "ranges", &series, 1, nullptr, 0, 0), 0);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(path.c_str());
    return text.str();
}

std::vector<double> tick_values(const std::string& svg, const std::string& cls) {
    std::vector<double> values;
    const std::regex tick("<text class=\"" + cls + "\"[^>]*>([^<]*)</text>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), tick); it != std::sregex_iterator(); ++it) {
        values.push_back(std::stod((*it)[1].str()));
    }
    return values;
}

// Evenly spaced at 1, 2 or 5 times a power of ten, covering [lo, hi] from inside.
void expect_round_ticks(const std::vector<double>& v, double lo, double hi, std::size_t least, const char* what) {
    ASSERT_GE(v.size(), least) << what;
    ASSERT_LE(v.size(), 20u) << what;
    const double step = v[1] - v[0];
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 || std::fabs(mantissa - 5) < 1e-6)
        << what << " step " << step;
    for (std::size_t i = 1; i < v.size(); ++i) EXPECT_NEAR(v[i] - v[i - 1], step, step * 1e-6) << what;
    EXPECT_GE(v.front(), lo - step * 1e-6) << what;
    EXPECT_LE(v.back(), hi + step * 1e-6) << what;
    EXPECT_LT(v.front() - lo, step * 1.000001) << what;
    EXPECT_LT(hi - v.back(), step * 1.000001) << what;
}

TEST(PlotSvg, PanelsHaveRoundTicksGridlinesUnitsAndALegend) {
    const PlotRanges cases[] = {
        {"a short stretch late in a run", 8.7, 10.87, 0, 10},
        {"a long positioning", 0, 3, 0, 60000},
        {"through zero", 0, 0.25, -2000, 3000},
        {"standing still", 0, 1, 500, 500},
    };
    for (const PlotRanges& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string svg = plot_of(c, ::testing::TempDir() + "plot_ranges.svg");
        expect_round_ticks(tick_values(svg, "tick-x position"), c.t0, c.t1, 4, "time");
        // The position range is widened by 5 % (at least 0.05 pulses) so that a flat line shows.
        const double margin = 0.05 * std::fmax(std::fabs(c.p1 - c.p0), 1.0);
        expect_round_ticks(tick_values(svg, "tick-y position"), std::fmin(c.p0, c.p1) - margin,
                           std::fmax(c.p0, c.p1) + margin, 3, "position");
        const std::vector<double> speed = tick_values(svg, "tick-y speed");
        if (c.p1 != c.p0) expect_round_ticks(speed, 0, std::fabs(c.p1 - c.p0) / (c.t1 - c.t0), 3, "speed");

        std::size_t grid = 0;
        for (std::size_t at = svg.find("class=\"grid\""); at != std::string::npos; at = svg.find("class=\"grid\"", at + 1)) {
            ++grid;
        }
        const std::size_t ticks = tick_values(svg, "tick-x position").size() + tick_values(svg, "tick-y position").size() +
                                  tick_values(svg, "tick-x speed").size() + speed.size();
        EXPECT_EQ(grid, ticks);
        for (const char* unit : {">time (s)<", ">position (pulses)<", ">speed (pulses/s)<"}) {
            EXPECT_NE(svg.find(unit), std::string::npos) << unit;
        }
        EXPECT_NE(svg.find("<g class=\"legend\""), std::string::npos);
        EXPECT_NE(svg.find(">d0 X</text>"), std::string::npos);
        EXPECT_EQ(svg.find(" .. "), std::string::npos) << "ranges printed instead of ticks";
    }
}

}  // namespace
