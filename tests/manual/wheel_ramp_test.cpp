// The hand wheel runs its axis on the profile the library wrote with the hand-wheel velocity
// setter: from FL (100 pulses per second) up to the turn's pace at the acceleration rate, never
// above FH, and once the wheel stops down to FL at the deceleration rate on the last pulse. The
// ramp times are those of the setter's Tacc and Tdec over the FL..FH span, so a rate the library
// computes from the wrong time shows as a ramp of the wrong length.
#include <algorithm>
#include <cmath>
#include <vector>

#include "manual_support.h"

namespace quvex::test {
namespace {

constexpr double kWheelFl = 100.0;  // the start speed the hand-wheel setter always writes
constexpr double kWheelSamplePeriod = 0.001;

class WheelRamp : public CardTest {
protected:
    static void wheel_on_x(double fh, double tacc, double tdec) {
        ASSERT_EQ(quvex_set_pulser_ratio(0, 1, 1), QUVEX_OK);
        ASSERT_EQ(quvex_set_mpg_config(0, 1, 1, 0), QUVEX_OK);
        ASSERT_EQ(quvex_set_mpg_velocity(0, kWheelFl, fh, tacc, tdec), QUVEX_OK);
    }
    // Samples axis X every millisecond until it stops (at most `limit` seconds).
    static std::vector<quvex_sim_motion_sample> run_sampled(double limit) {
        EXPECT_EQ(quvex_sim_sample_motion(0, 0, kWheelSamplePeriod), 0);
        for (double t = 0; t < limit; t += 0.05) {
            quvex_sim_advance(0.05);
            if (axis_motion(0).state == QUVEX_SIM_STATE_STOPPED && quvex_sim_now() > quvex_sim_wheel_idle_at(0)) break;
        }
        std::vector<quvex_sim_motion_sample> out(static_cast<std::size_t>(quvex_sim_motion_samples(0, 0, nullptr, 0)));
        quvex_sim_motion_samples(0, 0, out.data(), static_cast<int>(out.size()));
        quvex_sim_sample_motion(0, 0, 0);
        return out;
    }
};

struct WheelRampCase {
    const char* name;
    double fh, tacc, tdec;
    int detents;
    double rate;  // detents (pulses) per second
};

TEST_F(WheelRamp, RampsAtTheSettersRatesUpToThePaceAndDownWhenTheWheelStops) {
    const WheelRampCase cases[] = {
        {"turn faster than FH, slow stop", 1000, 0.1, 0.3, 3000, 4000},
        {"turn slower than FH, slow start", 2000, 0.4, 0.05, 1500, 1000},
        {"mid pace, long start", 1500, 0.3, 0.1, 2000, 1200},
    };
    for (const WheelRampCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(quvex_set_command(0, 0), QUVEX_OK);
        wheel_on_x(c.fh, c.tacc, c.tdec);
        const double begin = quvex_sim_now();
        ASSERT_EQ(quvex_sim_turn_wheel(0, c.detents, c.rate), 0);
        const std::vector<quvex_sim_motion_sample> samples = run_sampled(10.0);
        ASSERT_FALSE(samples.empty());

        const double top = std::min(c.rate, c.fh);
        const double share = (top - kWheelFl) / (c.fh - kWheelFl);  // of the FL..FH span the ramps cover
        const double up = c.tacc * share, down = c.tdec * share;
        double reached = -1, left_top = -1, peak = 0;
        for (const quvex_sim_motion_sample& s : samples) {
            peak = std::max(peak, s.speed);
            if (s.speed >= top * 0.995) {
                if (reached < 0) reached = s.time - begin;
                left_top = s.time;
            }
        }
        const quvex_sim_motion_info end = axis_motion(0);
        EXPECT_EQ(end.command_counter, c.detents) << "no pulse lost";
        EXPECT_EQ(end.state, QUVEX_SIM_STATE_STOPPED);
        EXPECT_LE(peak, top + 1.0);
        EXPECT_NEAR(reached, up, 0.1 * up + 0.003) << "ramp up to the pace";
        EXPECT_GE(end.ended_at, begin + c.detents / c.rate) << "the run ends after the wheel stopped";
        EXPECT_NEAR(end.ended_at - left_top, down, 0.1 * down + 0.003) << "ramp down to FL";
        ASSERT_EQ(quvex_disable_mof(0), QUVEX_OK);
    }
}

// Turns that follow one another keep the axis at speed; a turn the other way slows it to FL,
// turns it and runs it back, and it ends where the turns' pulses put it.
TEST_F(WheelRamp, FollowingTurnsKeepTheSpeedAndAReversedTurnSlowsFirst) {
    wheel_on_x(1000, 0.1, 0.1);
    ASSERT_EQ(quvex_sim_turn_wheel(0, 500, 1000), 0);
    ASSERT_EQ(quvex_sim_turn_wheel(0, 500, 1000), 0);
    ASSERT_EQ(quvex_sim_turn_wheel(0, -600, 1000), 0);
    const std::vector<quvex_sim_motion_sample> samples = run_sampled(10.0);
    double lowest_between = 1e9, lowest_at_turn = 1e9;
    int32_t farthest = 0;
    for (const quvex_sim_motion_sample& s : samples) {
        if (s.time > 0.3 && s.time < 0.9) lowest_between = std::min(lowest_between, s.speed);
        farthest = std::max(farthest, s.position);
        if (s.position >= farthest - 5 && s.time > 0.5) lowest_at_turn = std::min(lowest_at_turn, s.speed);
    }
    EXPECT_GE(lowest_between, 995.0) << "no dip where the second turn follows the first";
    EXPECT_GT(farthest, 1000) << "the axis ran on while it slowed for the reversal";
    EXPECT_LE(lowest_at_turn, kWheelFl + 5.0) << "it turns at FL (sampled each millisecond)";
    EXPECT_EQ(axis_motion(0).command_counter, 400);
    EXPECT_EQ(axis_motion(0).state, QUVEX_SIM_STATE_STOPPED);
}

}  // namespace
}  // namespace quvex::test
