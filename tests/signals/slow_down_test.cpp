// The slow-down input's logic and latch: which level slows the axis, and whether it stays slow
// once the input lets go.
#include "signals_fixture.h"

namespace quvex::test {
namespace {

struct SlowDownCase {
    const char* name;
    int16_t logic;       // 1: active high, 0: active low
    int16_t latch;
    int pulse_level;     // the level driven for 0.5 s, the other one before and after
    double speed_during;  // pulses per second while the pulse lasts
    double speed_after;
};

constexpr double kFl = 100, kFh = 2000;

class SlowDownLogic : public SignalsTest, public ::testing::WithParamInterface<SlowDownCase> {};

TEST_P(SlowDownLogic, LevelAndLatchDecideTheSpeed) {
    const SlowDownCase c = GetParam();
    ASSERT_EQ(quvex_set_sd(0, 1, c.logic, c.latch, 0), QUVEX_OK);
    ASSERT_EQ(quvex_sim_set_axis_input(0, 0, QUVEX_SIM_INPUT_SLOW_DOWN, 1 - c.pulse_level), 0);
    ASSERT_EQ(quvex_tv_move(0, kFl, kFh, 0.1), QUVEX_OK);
    quvex_sim_advance(0.5);
    ASSERT_EQ(quvex_sim_set_axis_input(0, 0, QUVEX_SIM_INPUT_SLOW_DOWN, c.pulse_level), 0);
    quvex_sim_advance(0.5);
    EXPECT_NEAR(motion(0).speed, c.speed_during, 1.0) << c.name;
    ASSERT_EQ(quvex_sim_set_axis_input(0, 0, QUVEX_SIM_INPUT_SLOW_DOWN, 1 - c.pulse_level), 0);
    quvex_sim_advance(0.5);
    EXPECT_NEAR(motion(0).speed, c.speed_after, 1.0) << c.name;
    EXPECT_NE(quvex_motion_done(0), 0) << c.name << ": the slowing mode never stops the axis";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlowDownLogic,
    ::testing::Values(SlowDownCase{"active_high_pulse", 1, 0, 1, kFl, kFh},
                      SlowDownCase{"active_high_released_for_a_while", 1, 0, 0, kFh, kFl},
                      SlowDownCase{"active_low_pulse", 0, 0, 0, kFl, kFh},
                      SlowDownCase{"latched_stays_slow", 1, 1, 1, kFl, kFl}),
    [](const ::testing::TestParamInfo<SlowDownCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quvex::test
