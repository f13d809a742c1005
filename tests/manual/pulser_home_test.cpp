// The pulser home search searches as a home search does, paced by the wheel: it stops on the home
// point of the configured mode, the counters read 0 there, and later turns move it no more.
#include "manual_support.h"

namespace quvex::test {
namespace {

class PulserHome : public CardTest {};

struct PulserHomeCase {
    const char* name;
    int16_t dir;            // 0: +, 1: -
    int16_t home_mode;      // home configuration mode: 0 origin, 2 index only
    int32_t origin_at;      // the origin switch covers 100 places from here, relative to the start
    std::int64_t stop_at;   // where the axis comes to rest, relative to the start
};

TEST_F(PulserHome, StopsOnTheHomePointWhereverTheWheelTurns) {
    const PulserHomeCase cases[] = {
        {"origin, minus", 1, 0, -500, -401},  // the near edge of the switch going -
        {"origin, plus", 0, 0, 300, 300},
        {"index only, plus", 0, 2, 300, 250},  // the first index beyond the start
    };
    for (const PulserHomeCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::int64_t start = 0;
        ASSERT_EQ(quvex_sim_axis_place(0, 0, &start), 0);
        ASSERT_EQ(quvex_sim_set_origin(0, 0, static_cast<int32_t>(start + c.origin_at), 100), 0);
        ASSERT_EQ(quvex_sim_set_index(0, 0, 1000, static_cast<int32_t>(start + 250)), 0);
        ASSERT_EQ(quvex_set_home_config(0, c.home_mode, 0, 0, 0, 0), QUVEX_OK);
        ASSERT_EQ(quvex_set_command(0, 1234), QUVEX_OK);
        ASSERT_EQ(quvex_set_pulser_ratio(0, 1, 1), QUVEX_OK);
        ASSERT_EQ(quvex_pulser_home_move(0, c.dir, 500), QUVEX_OK);
        ASSERT_EQ(quvex_sim_turn_wheel(0, 2000, 1000), 0);
        finish_wheel_turns();
        std::int64_t place = 0;
        ASSERT_EQ(quvex_sim_axis_place(0, 0, &place), 0);
        EXPECT_EQ(place - start, c.stop_at);
        EXPECT_EQ(axis_motion(0).command_counter, 0);
        EXPECT_EQ(axis_motion(0).state, QUVEX_SIM_STATE_STOPPED);
        ASSERT_EQ(quvex_sim_turn_wheel(0, 100, 1000), 0);  // the search is over: the wheel moves nothing
        finish_wheel_turns();
        ASSERT_EQ(quvex_sim_axis_place(0, 0, &place), 0);
        EXPECT_EQ(place - start, c.stop_at);
        ASSERT_EQ(quvex_sim_set_origin(0, 0, 0, 0), 0);
        ASSERT_EQ(quvex_sim_set_index(0, 0, 0, 0), 0);
    }
}

}  // namespace
}  // namespace quvex::test
