// The signal inputs by their control-interface numbers: the card's axes and the modules' axes
// both set and read them through this one table, so a number that lands on the wrong input, or a
// general pin on the wrong bit, shows on every kind of axis at once.
#include <gtest/gtest.h>

#include "../../sim/chip/chip_inputs.h"
#include "quvex/sim_axis.h"

namespace quvex::test {
namespace {

struct InputCase {
    int signal;
    bool qsim::ChipInputs::*single;  // null for a general pin
    unsigned general_bit;
};

constexpr InputCase kInputs[] = {
    {QUVEX_SIM_INPUT_EL_PLUS, &qsim::ChipInputs::el_plus, 0},
    {QUVEX_SIM_INPUT_EL_MINUS, &qsim::ChipInputs::el_minus, 0},
    {QUVEX_SIM_INPUT_ORIGIN, &qsim::ChipInputs::origin, 0},
    {QUVEX_SIM_INPUT_INDEX, &qsim::ChipInputs::index, 0},
    {QUVEX_SIM_INPUT_ALARM, &qsim::ChipInputs::alarm, 0},
    {QUVEX_SIM_INPUT_IN_POSITION, &qsim::ChipInputs::in_position, 0},
    {QUVEX_SIM_INPUT_SLOW_DOWN, &qsim::ChipInputs::slow_down, 0},
    {QUVEX_SIM_INPUT_LATCH, &qsim::ChipInputs::latch, 0},
    {QUVEX_SIM_INPUT_GENERAL0, nullptr, 0},
    {QUVEX_SIM_INPUT_GENERAL0 + 1, nullptr, 1},
    {QUVEX_SIM_INPUT_GENERAL0 + 4, nullptr, 4},
};

// Every input, and only it, follows its number.
TEST(ChipInputsTable, EachNumberReachesItsOwnInput) {
    for (const InputCase& k : kInputs) {
        qsim::ChipInputs in;
        ASSERT_TRUE(in.set(k.signal, true)) << k.signal;
        qsim::ChipInputs expected;
        if (k.single != nullptr) {
            expected.*k.single = true;
        } else {
            expected.general = 1u << k.general_bit;
        }
        EXPECT_EQ(in.general, expected.general) << k.signal;
        for (const InputCase& other : kInputs) {
            EXPECT_EQ(in.get(other.signal), std::optional<bool>(other.signal == k.signal)) << k.signal << " " << other.signal;
        }
        ASSERT_TRUE(in.set(k.signal, false));
        EXPECT_EQ(in.get(k.signal), std::optional<bool>(false)) << k.signal;
        EXPECT_EQ(in.general, 0u) << k.signal;
    }
}

TEST(ChipInputsTable, UnknownNumbersChangeNothing) {
    for (const int signal : {-1, QUVEX_SIM_INPUT_COUNT, 1000}) {
        qsim::ChipInputs in;
        in.origin = true;
        in.general = 0x5;
        EXPECT_FALSE(qsim::ChipInputs::known(signal)) << signal;
        EXPECT_FALSE(in.set(signal, true)) << signal;
        EXPECT_FALSE(in.get(signal).has_value()) << signal;
        EXPECT_TRUE(in.origin);
        EXPECT_FALSE(in.el_plus);
        EXPECT_EQ(in.general, 0x5u) << signal;
    }
}

}  // namespace
}  // namespace quvex::test
