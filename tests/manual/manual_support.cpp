#include "manual_support.h"

namespace quvex::test {

std::vector<CardEvent> manual_writes() {
    std::vector<CardEvent> out;
    for (const CardEvent& e : card_events()) {
        const bool chip = e.kind == QUVEX_SIM_EV_CHIP_REG_WRITE || e.kind == QUVEX_SIM_EV_CHIP_COMMAND;
        const bool board = e.kind == QUVEX_SIM_EV_BOARD_READ || e.kind == QUVEX_SIM_EV_BOARD_WRITE;
        if (e.device == 0 && (chip || board)) out.push_back(e);
    }
    return out;
}

std::uint32_t chip_reg(int axis, unsigned code) {
    std::uint32_t v = 0;
    EXPECT_EQ(quvex_sim_chip_register(0, axis, code, &v), 0);
    return v;
}

quvex_sim_motion_info axis_motion(int axis, int device) {
    quvex_sim_motion_info info{};
    EXPECT_EQ(quvex_sim_motion_info_get(device, axis, &info), 0);
    return info;
}

void finish_wheel_turns(double extra) {
    const double idle = quvex_sim_wheel_idle_at(0);
    quvex_sim_advance(idle - quvex_sim_now() + extra);
}

}  // namespace quvex::test
