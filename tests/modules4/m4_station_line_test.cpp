// Lines on the virtual four-axis module: the library loads the buffered registers of each axis
// and starts them with one command to the first; the module's chips run the line. Every line
// ends exactly on target and never strays more than a pulse from its segment.
#include <algorithm>
#include <cmath>

#include "m4_station_fixture.h"

namespace quvex::test {
namespace {

struct LineCase {
    const char* name;
    std::vector<std::int16_t> axes;
    std::vector<double> d;
    bool s_curve;
    bool absolute;
};

constexpr double kStart = 100, kMax = 40000, kTacc = 0.05, kTdec = 0.05, kSv = 2000;

quvex_status start_line(std::uint16_t ring, std::uint16_t slave, const LineCase& c) {
    const std::int16_t* a = c.axes.data();
    const auto& d = c.d;
    if (c.axes.size() == 2) {
        if (c.s_curve) {
            return (c.absolute ? kring_m4_start_sa_line2 : kring_m4_start_sr_line2)(ring, slave, a, d[0], d[1], kStart, kMax,
                                                                                   kTacc, kTdec, kSv, kSv);
        }
        return (c.absolute ? kring_m4_start_ta_line2 : kring_m4_start_tr_line2)(ring, slave, a, d[0], d[1], kStart, kMax, kTacc,
                                                                               kTdec);
    }
    if (c.axes.size() == 3) {
        if (c.s_curve) {
            return (c.absolute ? kring_m4_start_sa_line3 : kring_m4_start_sr_line3)(ring, slave, a, d[0], d[1], d[2], kStart,
                                                                                   kMax, kTacc, kTdec, kSv, kSv);
        }
        return (c.absolute ? kring_m4_start_ta_line3 : kring_m4_start_tr_line3)(ring, slave, a, d[0], d[1], d[2], kStart, kMax,
                                                                               kTacc, kTdec);
    }
    if (c.s_curve) {
        return (c.absolute ? kring_m4_start_sa_line4 : kring_m4_start_sr_line4)(ring, slave, a, d[0], d[1], d[2], d[3], kStart,
                                                                               kMax, kTacc, kTdec, kSv, kSv);
    }
    return (c.absolute ? kring_m4_start_ta_line4 : kring_m4_start_tr_line4)(ring, slave, a, d[0], d[1], d[2], d[3], kStart,
                                                                           kMax, kTacc, kTdec);
}

class FourAxisStationLineTest : public FourAxisStationTest {
protected:
    // Runs the line from the origin and checks where it ends and how it got there.
    void run_line(const LineCase& c) {
        for (std::uint16_t a = 0; a < 4; ++a) {
            ASSERT_EQ(kring_m4_reset_command(r(), kSlave, a), 0);
            ASSERT_EQ(kring_m4_reset_position(r(), kSlave, a), 0);
            ASSERT_EQ(quvex_sim_module_sample_motion(0, kSlave, a, 0.0005), 0);
        }
        ASSERT_EQ(start_line(r(), kSlave, c), 0);
        ASSERT_TRUE(run_until_stopped());

        std::vector<std::vector<quvex_sim_motion_sample>> path;
        std::size_t lead = 0;
        for (std::size_t k = 0; k < c.axes.size(); ++k) {
            EXPECT_EQ(position(c.axes[k]), static_cast<std::int32_t>(c.d[k])) << "axis " << c.axes[k];
            EXPECT_EQ(chip(c.axes[k]).stop_reason, 0u);
            path.push_back(samples(c.axes[k]));
            if (std::fabs(c.d[k]) > std::fabs(c.d[lead])) lead = k;
        }
        for (int a = 0; a < 4; ++a) {
            if (std::find(c.axes.begin(), c.axes.end(), a) != c.axes.end()) continue;
            EXPECT_EQ(chip(a).command_counter, 0) << "axis " << a << " is not on the line";
        }

        // Every sampled point against the segment, parametrised by the longest axis.
        const std::size_t points = path[0].size();
        ASSERT_GT(points, 20u);
        double worst = 0;
        for (std::size_t i = 0; i < points; ++i) {
            const double t = path[lead][i].position / c.d[lead];
            for (std::size_t k = 0; k < c.axes.size(); ++k) {
                ASSERT_EQ(path[k].size(), points);
                worst = std::max(worst, std::fabs(path[k][i].position - t * c.d[k]));
            }
        }
        EXPECT_LE(worst, 1.0);
    }
};

TEST_F(FourAxisStationLineTest, LinesEndOnTargetWithinAPulseOfTheSegment) {
    const LineCase cases[] = {
        {"xy T (300, 400)", {0, 1}, {300, 400}, false, false},
        {"zu S", {2, 3}, {-25000, 9001}, true, false},
        {"x and u T", {0, 3}, {7, -12000}, false, false},
        {"three axes S", {0, 1, 3}, {5000, -3000, 20000}, true, false},
        {"four axes T", {0, 1, 2, 3}, {10000, -20000, 30000, -40000}, false, false},
        {"four axes S, shuffled order", {3, 0, 2, 1}, {1234, 56789, -3333, 17}, true, false},
        {"four axes T absolute", {0, 1, 2, 3}, {-500, 1500, 25000, -7}, false, true},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        run_line(c);
    }
}

// The first axis takes the start with the axis bits: the others start with it, whichever
// order the array gives and whichever start command the ramp times select.
TEST_F(FourAxisStationLineTest, OneStartCommandStartsEveryAxisOfTheLine) {
    const std::int16_t axes[2] = {1, 3};
    struct Case {
        double tacc, tdec;
    };
    for (const Case c : {Case{0.05, 0.05}, Case{0, 0.05}, Case{0, 0}}) {
        SCOPED_TRACE(testing::Message() << c.tacc << " " << c.tdec);
        for (std::uint16_t a = 0; a < 4; ++a) ASSERT_EQ(kring_m4_reset_command(r(), kSlave, a), 0);
        ASSERT_EQ(kring_m4_start_tr_line2(r(), kSlave, axes, 3000, -4000, 500, 5000, c.tacc, c.tdec), 0);
        EXPECT_NE(done(1), 0);
        EXPECT_NE(done(3), 0);
        EXPECT_EQ(done(0), 0);
        ASSERT_TRUE(run_until_stopped());
        EXPECT_EQ(command(1), 3000);
        EXPECT_EQ(command(3), -4000);
        EXPECT_LE(chip(3).peak_speed, 5000 * 4000 / 5001.0 + 1);
    }
}

}  // namespace
}  // namespace quvex::test
