// Random module moves on the virtual one-axis module: whatever the profile (T or S, any speed in
// the module's range, any ramp times) and the amount, the move ends exactly on its target and
// never runs faster than the peak it was programmed with.
#include <random>

#include "module_station_fixture.h"

namespace quvex::test {
namespace {

struct RandomMove {
    bool s_curve;
    double str_vel, max_vel, tacc, tdec, svacc, svdec;
    std::int32_t dist;
};

RandomMove draw(std::mt19937& rng) {
    std::uniform_int_distribution<int> coin(0, 1);
    // Peaks over the whole module range, log-uniform from 50 pps to 6 Mpps.
    std::uniform_real_distribution<double> log_peak(std::log(50.0), std::log(6e6));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_real_distribution<double> ramp(0.001, 0.3);
    std::uniform_int_distribution<std::int32_t> amount(-400000, 400000);
    RandomMove m{};
    m.s_curve = coin(rng) == 1;
    m.max_vel = std::exp(log_peak(rng));
    m.str_vel = m.max_vel * unit(rng) * 0.5;
    m.tacc = ramp(rng);
    m.tdec = ramp(rng);
    // Sections from none to wider than half the speed change (a pure S-ramp).
    m.svacc = (m.max_vel - m.str_vel) * unit(rng) * 0.7;
    m.svdec = (m.max_vel - m.str_vel) * unit(rng) * 0.7;
    m.dist = amount(rng);
    // Keep a slow move within a minute of virtual time.
    const double longest = m.max_vel * 30.0;
    if (std::abs(m.dist) > longest) m.dist = static_cast<std::int32_t>(m.dist > 0 ? longest : -longest);
    return m;
}

TEST_F(ModuleStationTest, RandomMovesEndOnTargetWithinTheirPeak) {
    std::mt19937 rng(20261206);
    std::int32_t expected = 0;
    for (int i = 0; i < 80; ++i) {
        const RandomMove m = draw(rng);
        SCOPED_TRACE(testing::Message() << "move " << i << (m.s_curve ? " S" : " T") << " str " << m.str_vel << " max "
                                        << m.max_vel << " acc " << m.tacc << " dec " << m.tdec << " sv " << m.svacc
                                        << "/" << m.svdec << " dist " << m.dist);
        const quvex_status p = m.s_curve ? kring_m1_set_smove_speed(r(), kSlave, m.str_vel, m.max_vel, m.tacc, m.tdec,
                                                                      m.svacc, m.svdec)
                                         : kring_m1_set_tmove_speed(r(), kSlave, m.str_vel, m.max_vel, m.tacc, m.tdec);
        ASSERT_EQ(p, 0);
        ASSERT_EQ(kring_m1_start_r_move(r(), kSlave, m.dist), 0);
        expected += m.dist;
        ASSERT_TRUE(run_until_stopped(120.0, 0.25));

        const quvex_sim_motion_info info = chip();
        EXPECT_EQ(info.command_counter, expected);
        EXPECT_EQ(info.position_counter, expected);
        EXPECT_EQ(info.stop_reason, 0u);
        // The programmed peak is FH in the module's unit of the range the profile chose.
        std::uint32_t fh = 0, range = 0;
        ASSERT_EQ(quvex_sim_module_register(0, kSlave, 0, 0xD2, &fh), 0);
        ASSERT_EQ(quvex_sim_module_register(0, kSlave, 0, 0xD5, &range), 0);
        const double peak = fh * 200.0 / (range + 1.0);
        EXPECT_LE(info.peak_speed, peak * (1 + 1e-12));
        EXPECT_LE(peak, m.max_vel * (1 + 1e-12));
    }
}

}  // namespace
}  // namespace quvex::test
