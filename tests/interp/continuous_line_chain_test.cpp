// Four-axis lines in continuous mode follow one another without stopping: the library marks the
// queued line with mode bits 18-23 and puts them in force with env2 bit 29, and the chip chains
// it to the running line: X keeps its speed through the join.
#include <algorithm>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {

class ContinuousLineChain : public CardTest {
protected:
    static quvex_sim_motion_info x_axis() {
        quvex_sim_motion_info m{};
        EXPECT_EQ(quvex_sim_motion_info_get(0, 0, &m), 0);
        return m;
    }
};

TEST_F(ContinuousLineChain, QueuedFourAxisLineKeepsTheSpeed) {
    for (int16_t a = 0; a < 4; ++a) ASSERT_EQ(quvex_set_continuous_move(a, 1), QUVEX_OK);
    {
        ASSERT_EQ(quvex_start_tr_line4(0, 5000, 1000, 0, 0, 100, 2000, 0.1, 0.1), QUVEX_OK);
        quvex_sim_advance(0.5);
        ASSERT_EQ(quvex_start_tr_line4(0, 5000, 1000, 0, 0, 100, 2000, 0.1, 0.1), QUVEX_OK);
        double lowest = 1e9;
        for (int i = 0; i < 20000 && x_axis().state != QUVEX_SIM_STATE_STOPPED; ++i) {
            const quvex_sim_motion_info m = x_axis();
            if (m.command_counter >= 4000 && m.command_counter <= 6000) lowest = std::min(lowest, m.speed);
            quvex_sim_advance(0.001);
        }
        EXPECT_EQ(x_axis().command_counter, 10000);
        EXPECT_GE(lowest, 1900.0) << "chained through the join";
    }
}

}  // namespace
}  // namespace quvex::test
