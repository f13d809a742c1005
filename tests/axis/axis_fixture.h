// Fixture of the axis tests: cards started by quvex_initial on a fresh installation (the move
// ratios back at 1.0).
#pragma once

#include "axis/move_ratio.h"
#include "card_events.h"
#include "card/card_table.h"
#include "sim_fixture.h"

namespace quvex::test {

class AxisTest : public CardTest {
protected:
    explicit AxisTest(int cards = 1) : CardTest(cards) {}
};

}  // namespace quvex::test
