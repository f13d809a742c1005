// Chips count in their group's units: the speed unit, the rate clock and the width of the speed
// registers of the card's chip and of the two modules' chips.
#include "chip_fixture.h"

namespace quvex::test {
namespace {

using namespace qsim::chipcode;

struct UnitsCase {
    const char* name;
    qsim::ChipUnits units;
    std::uint32_t range;     // speed range register R
    std::uint32_t fh;        // written maximum speed
    double pps;              // what the chip runs at: (fh within the register width) * numerator / (R + 1)
};

const UnitsCase kUnits[] = {
    // 300 / 300 = 1 pps per unit; 16-bit speeds keep 40000.
    {"card", qsim::kCardChipUnits, 299, 40000, 40000.0},
    // 200 / 200 = 1 pps per unit; 17-bit speeds keep 100000, which the card would cut to 34464.
    {"one_axis_module", qsim::kOneAxisModuleUnits, 199, 100000, 100000.0},
    // 1200 / 1200 = 1 pps per unit; 14-bit speeds cut 20000 to 3616.
    {"four_axis_module", qsim::kFourAxisModuleUnits, 1199, 20000, 3616.0},
    // 1200 / 4 = 300 pps per unit.
    {"four_axis_module_coarse", qsim::kFourAxisModuleUnits, 3, 100, 30000.0},
};

class ChipUnitsTest : public ChipGroupTest, public ::testing::WithParamInterface<UnitsCase> {};

TEST_P(ChipUnitsTest, MoveRunsInTheGroupsUnits) {
    const UnitsCase u = GetParam();
    make_group(u.units, 1);
    const std::int32_t amount = static_cast<std::int32_t>(u.pps);  // one second of motion
    program(0, {.amount = amount, .fl = 1, .fh = u.fh, .range = u.range});
    command(0, kStartAtMaxSpeed);
    quvex_sim_advance(0.5);
    EXPECT_EQ(counter(0), amount / 2);
    quvex_sim_advance(0.5 + 1e-9);
    EXPECT_FALSE(running(0));
    EXPECT_EQ(counter(0), amount);
    EXPECT_NEAR(look(0, [](qsim::Chip& c) { return c.motion.ended_at; }), 1.0, 1e-9);
}

// A linear ramp of N units takes (rate + 1) * N / clock, whatever the clock of the units.
TEST_P(ChipUnitsTest, RampLastsAsTheUnitsRateClockSays) {
    const UnitsCase u = GetParam();
    make_group(u.units, 1);
    program(0, {.mode = 0x00, .fl = 1, .fh = 1001, .range = u.range, .rate = 999});
    command(0, kStartRamped);
    const double ramp = 1000.0 * 1000.0 / u.units.rate_clock_hz;
    quvex_sim_advance(ramp * 0.999);
    EXPECT_EQ(look(0, [](qsim::Chip& c) { return c.operation_state(); }), qsim::opstate::kAccelerating);
    quvex_sim_advance(ramp * 0.002);
    EXPECT_EQ(look(0, [](qsim::Chip& c) { return c.operation_state(); }), qsim::opstate::kConstantSpeed);
}

INSTANTIATE_TEST_SUITE_P(Chips, ChipUnitsTest, ::testing::ValuesIn(kUnits),
                         [](const ::testing::TestParamInfo<UnitsCase>& i) { return std::string(i.param.name); });

TEST_F(ChipGroupTest, MultiAxisStartReachesOnlyTheChipsOfTheGroup) {
    make_group(qsim::kOneAxisModuleUnits, 1);
    program(0, {.amount = 100, .fh = 1000, .range = 199});
    command(0, static_cast<std::uint16_t>(0x0F00 | kStartAtMaxSpeed));  // bits of absent axes are ignored
    quvex_sim_advance(1.0);
    EXPECT_EQ(counter(0), 100);
}

}  // namespace
}  // namespace quvex::test
