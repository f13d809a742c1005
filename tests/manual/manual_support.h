// Helpers of the manual-operation tests: device 0's writes as typed events, and chip peeks.
#pragma once

#include <cstdint>
#include <vector>

#include "card_events.h"
#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "sim_fixture.h"

namespace quvex::test {

// Register writes, commands and board-port accesses of device 0 since the trace was cleared.
std::vector<CardEvent> manual_writes();

// A chip register of device 0 by its write or read code.
std::uint32_t chip_reg(int axis, unsigned code);
quvex_sim_motion_info axis_motion(int axis, int device = 0);

// Advances the clock past the wheel's last turn (and `extra` seconds more).
void finish_wheel_turns(double extra = 0.01);

}  // namespace quvex::test
