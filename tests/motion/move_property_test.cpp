// Invariants over many generated single-axis moves on the virtual chip: every positioning move
// ends exactly on its pulse count, never runs faster than its programmed peak, and the
// programmed peak never exceeds the requested maximum speed (apart from the one unit of the
// start/maximum tie-break).
#include <cmath>
#include <random>

#include "motion/profile_math.h"
#include "motion_fixture.h"

namespace quvex::test {
namespace {

struct GeneratedMove {
    bool s_curve;
    double dist, str_vel, max_vel, tacc, tdec, sv_acc, sv_dec;
};

class MoveGenerator {
public:
    explicit MoveGenerator(unsigned seed) : rng_(seed) {}
    GeneratedMove next() {
        GeneratedMove m{};
        m.s_curve = coin();
        m.dist = std::trunc(log_uniform(1, 1e6)) * (coin() ? 1 : -1);
        m.max_vel = log_uniform(1, 5e6) * (coin() ? 1 : -1);
        m.str_vel = uniform(0, 0.6) * std::fabs(m.max_vel);
        m.tacc = chance(0.1) ? 0 : uniform(0, 0.5);
        m.tdec = chance(0.1) ? 0 : uniform(0, 0.5);
        m.sv_acc = chance(0.4) ? 0 : uniform(0, 0.5) * std::fabs(m.max_vel);
        m.sv_dec = chance(0.4) ? 0 : uniform(0, 0.5) * std::fabs(m.max_vel);
        return m;
    }

private:
    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
    double log_uniform(double lo, double hi) { return std::exp(uniform(std::log(lo), std::log(hi))); }
    bool chance(double p) { return uniform(0, 1) < p; }
    bool coin() { return chance(0.5); }
    std::mt19937 rng_;
};

class MoveProperties : public MotionTest {
protected:
    // Advances the clock in growing steps until the axis stops (moves can last hours).
    static bool run_to_end(int axis) {
        double step = 0.05;
        for (int i = 0; i < 60; ++i) {
            if (quvex_motion_done(static_cast<int16_t>(axis)) == 0) return true;
            quvex_sim_advance(step);
            step *= 1.5;
        }
        return false;
    }
};

TEST_F(MoveProperties, EveryMoveEndsOnItsCountWithinItsProgrammedPeak) {
    MoveGenerator gen(20261205);
    constexpr int kMoves = 2000;
    for (int i = 0; i < kMoves; ++i) {
        const GeneratedMove m = gen.next();
        const int axis = i % 4;
        const std::int32_t before = motion(axis).command_counter;
        const quvex_status st =
            m.s_curve ? quvex_start_sr_move(static_cast<int16_t>(axis), m.dist, m.str_vel, m.max_vel, m.tacc, m.tdec,
                                            m.sv_acc, m.sv_dec)
                      : quvex_start_tr_move(static_cast<int16_t>(axis), m.dist, m.str_vel, m.max_vel, m.tacc, m.tdec);
        ASSERT_EQ(st, 0);
        ASSERT_TRUE(run_to_end(axis)) << "move " << i;

        const quvex_sim_motion_info info = motion(axis);
        const double unit = 300.0 / (reg(axis, 0xD5) + 1.0);
        const double programmed_peak = reg(axis, 0xD2) * unit;
        SCOPED_TRACE(::testing::Message() << "move " << i << (m.s_curve ? " S" : " T") << " dist " << m.dist
                                          << " str " << m.str_vel << " max " << m.max_vel << " tacc " << m.tacc
                                          << " tdec " << m.tdec << " sv " << m.sv_acc << "/" << m.sv_dec);
        ASSERT_EQ(static_cast<std::int64_t>(info.command_counter) - before, static_cast<std::int64_t>(m.dist));
        ASSERT_EQ(info.stop_reason, 0u);
        ASSERT_LE(info.peak_speed, programmed_peak + 1e-9);
        ASSERT_LE(programmed_peak, std::fabs(m.max_vel) + unit + 1e-9);
    }
}

}  // namespace
}  // namespace quvex::test

namespace quvex::test {
namespace {

// Pulses of one ramp over `span` units with section s at multiplier m: the pure S shape once
// the section no longer fits.
double ramp_pulses(double fh, double fl, double rate, double s, double m, bool s_curve) {
    const double span = fh - fl;
    if (!s_curve) return (fh + fl) * span * (rate + 1) / (32768 * m);
    if (s == 0 || 2 * s >= span) return (fh + fl) * span * (rate + 1) / (16384 * m);
    return (fh + fl) * (span + 2 * s) * (rate + 1) / (32768 * m);
}

TEST(PeakLimits, LoweredPeakIsTheHighestThatLetsBothRampsFitTheMove) {
    std::mt19937 rng(7);
    auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    for (int i = 0; i < 20000; ++i) {
        const bool s_curve = i % 2 == 1;
        const double m = std::floor(uniform(3, 3000));
        const double fl = std::floor(uniform(1, 2000));
        const double fh = fl + std::floor(uniform(1, 60000));
        const double ur = std::floor(uniform(0, 300));
        const double dr = std::floor(uniform(0, 300));
        // Sections both 0 (pure S) or both set: the limit's regimes take a single zero section as
        // a section of no width, not as a pure S ramp, so that mix is not covered here.
        const bool sections = s_curve && uniform(0, 1) < 0.7;
        const double us = sections ? std::floor(uniform(1, (fh - fl) / 2)) : 0;
        // Equal sections take their own regimes: give them a fair share of the cases.
        const double ds = !sections ? 0 : uniform(0, 1) < 0.3 ? us : std::floor(uniform(1, (fh - fl) / 2));
        const double pulses = std::floor(std::exp(uniform(0, std::log(1e7))));
        const double limited = std::trunc(s_curve ? motion::math::s_peak_limit(motion::kLocalChipUnits, pulses, fl, fh, ur, dr, us, ds, m)
                                                  : motion::math::t_peak_limit(motion::kLocalChipUnits, pulses, fl, fh, ur, dr, m));
        SCOPED_TRACE(::testing::Message() << i << " P " << pulses << " FL " << fl << " FH " << fh << " UR " << ur
                                          << " DR " << dr << " US " << us << " DS " << ds << " m " << m);
        ASSERT_LE(limited, fh);
        const double needed = ramp_pulses(limited, fl, ur, us, m, s_curve) + ramp_pulses(limited, fl, dr, ds, m, s_curve);
        ASSERT_LE(needed, pulses * (1 + 1e-9) + 1e-6);
        // A lowered peak is the highest that fits: one unit more would no longer fit.
        if (limited < fh) {
            const double above = ramp_pulses(limited + 1, fl, ur, us, m, s_curve) +
                                 ramp_pulses(limited + 1, fl, dr, ds, m, s_curve);
            ASSERT_GT(above, pulses * (1 - 1e-9) - 1e-6);
        }
    }
}

}  // namespace
}  // namespace quvex::test
