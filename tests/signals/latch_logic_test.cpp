// The latch input's logic picks the edge that captures the counters.
#include "signals_fixture.h"

namespace quvex::test {
namespace {

struct LatchCase {
    const char* name;
    int16_t logic;
    bool captures_on_rise;  // the rising edge captures, else the falling one
};

class LatchLogic : public SignalsTest, public ::testing::WithParamInterface<LatchCase> {};

TEST_P(LatchLogic, TheChosenEdgeCapturesTheCommandCounter) {
    const LatchCase c = GetParam();
    ASSERT_EQ(quvex_set_ltc_logic(0, c.logic), QUVEX_OK);
    ASSERT_EQ(quvex_start_tr_move(0, 10000, 1000, 1000, 0, 0), QUVEX_OK);
    quvex_sim_advance(1.0);
    const int32_t at_rise = motion(0).command_counter;
    ASSERT_EQ(quvex_sim_set_axis_input(0, 0, QUVEX_SIM_INPUT_LATCH, 1), 0);
    quvex_sim_advance(1.0);
    const int32_t at_fall = motion(0).command_counter;
    ASSERT_EQ(quvex_sim_set_axis_input(0, 0, QUVEX_SIM_INPUT_LATCH, 0), 0);
    quvex_sim_advance(1.0);
    double latched = 0;
    ASSERT_EQ(quvex_get_latch_data(0, 0, &latched), QUVEX_OK);
    EXPECT_EQ(latched, c.captures_on_rise ? at_rise : at_fall) << c.name;
    EXPECT_NE(at_rise, at_fall);
}

INSTANTIATE_TEST_SUITE_P(Edges, LatchLogic,
                         ::testing::Values(LatchCase{"rising", 1, true}, LatchCase{"falling", 0, false}),
                         [](const ::testing::TestParamInfo<LatchCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quvex::test
