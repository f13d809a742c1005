// Fixture of the axis tests: cards started by quvex_initial, and every move ratio back at 1.0
// afterwards (the ratio table lives as long as the library, across tests).
#pragma once

#include "axis/move_ratio.h"
#include "frame/card_table.h"
#include "sim_fixture.h"

namespace quvex::test {

class AxisTest : public CardTest {
protected:
    explicit AxisTest(int cards = 1) : CardTest(cards) {}
    void TearDown() override {
        for (int a = 0; a < kMaxAxes; ++a) axis::set_move_ratio(a, 1.0);
        CardTest::TearDown();
    }
};

}  // namespace quvex::test
