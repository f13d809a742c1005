// Random positioning moves with a random speed or end-point change in flight: a change the
// room checks accept still ends exactly on the (new) target; a refused one writes nothing and
// the move ends where it was going.
#include <cmath>
#include <random>
#include <string>

#include "motion_fixture.h"
#include "quvex/quvex.h"

namespace quvex::test {
namespace {

TEST_F(MotionTest, AcceptedChangesEndOnTargetRefusedOnesChangeNothing) {
    std::mt19937 rng(20261206);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int accepted = 0;
    int refused = 0;
    ASSERT_EQ(quvex_fix_speed_range(0, 65535), 0);
    for (int run = 0; run < 150; ++run) {
        const double dist = std::round((unit(rng) < 0.5 ? -1 : 1) * (2000 + unit(rng) * 40000));
        const double max_vel = 2000 + unit(rng) * 20000;
        const double tacc = 0.02 + unit(rng) * 0.3;
        const double tdec = 0.02 + unit(rng) * 0.3;
        const bool s_curve = unit(rng) < 0.5;
        double target = 0;
        ASSERT_EQ(quvex_get_target_pos(0, &target), 0);
        target += dist;
        ASSERT_EQ(s_curve ? quvex_start_sr_move(0, dist, 100, max_vel, tacc, tdec, 0, 0)
                          : quvex_start_tr_move(0, dist, 100, max_vel, tacc, tdec),
                  0);
        quvex_sim_advance(unit(rng) * 2.0);
        // A change is made of a running move only: nothing checks that the axis still moves.
        if (quvex_motion_done(0) == 0) continue;
        start_trace();
        int status = 0;
        if (unit(rng) < 0.5) {
            status = quvex_v_change(0, 500 + unit(rng) * 30000, unit(rng) * 0.3);
        } else {
            const double new_end = std::round(target - dist * (unit(rng) * 1.6 - 0.3));
            status = quvex_p_change(0, new_end);
            if (status == 0) target = new_end;
        }
        SCOPED_TRACE("run " + std::to_string(run) + " status " + std::to_string(status));
        if (status == 0) {
            ++accepted;
        } else {
            ++refused;
            EXPECT_TRUE(chip_writes(X).empty());
        }
        ASSERT_TRUE(run_until_stopped(0));
        EXPECT_EQ(motion(0).command_counter, static_cast<std::int32_t>(target));
    }
    EXPECT_GT(accepted, 30);
    EXPECT_GT(refused, 10) << accepted;
}

}  // namespace
}  // namespace quvex::test
