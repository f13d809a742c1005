#include "manual_support.h"

namespace quvex::test {

std::vector<std::string> manual_writes() {
    std::vector<std::string> out;
    for (const std::string& line : trace_lines()) {
        if (line.rfind("d0", 0) != 0) continue;
        const bool chip = line.find(" reg ") != std::string::npos || line.find(" cmd ") != std::string::npos;
        const bool board = line.rfind("d0 board ", 0) == 0;
        if (!chip && !board) continue;
        out.push_back(line.substr(3));  // "d0.X reg ..." and "d0 board ..." alike
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
