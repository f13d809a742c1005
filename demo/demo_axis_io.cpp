// Axis I/O: the demo plays the machine around axis X of card 0 (switches, drive, encoder) by
// toggling the virtual inputs, and reads the axis back as an application would.
#include <cstdio>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "sections.h"

namespace {

constexpr int16_t kAxis = 0;  // card 0, axis X
constexpr int kDevice = 0;
constexpr int kChipAxis = 0;

void print_axis(const char* what) {
    uint16_t io = 0;
    double pos = 0;
    int32_t cmd = 0;
    uint16_t ttl = 0;
    quvex_get_io_status(kAxis, &io);
    quvex_get_position(kAxis, &pos);
    quvex_get_command(kAxis, &cmd);
    quvex_ttl_input(0, &ttl);
    std::printf("  %-34s io_status 0x%04X  position %10.2f  command %8d  ttl in 0x%X\n", what, io, pos, cmd, ttl);
}

}  // namespace

void demo_axis_io() {
    std::printf("\n-- axis I/O of card 0, axis X --\n");
    quvex_set_move_ratio(kAxis, 2.0);
    print_axis("start-up (ratio 2.0)");

    quvex_set_servo(kAxis, 1);
    print_axis("servo on");

    quvex_sim_set_axis_input(kDevice, kChipAxis, QUVEX_SIM_INPUT_ORIGIN, 1);
    print_axis("origin switch closed");
    quvex_sim_set_axis_input(kDevice, kChipAxis, QUVEX_SIM_INPUT_ORIGIN, 0);

    quvex_sim_set_axis_input(kDevice, kChipAxis, QUVEX_SIM_INPUT_EL_PLUS, 1);
    print_axis("+ end limit reached");
    quvex_sim_set_axis_input(kDevice, kChipAxis, QUVEX_SIM_INPUT_EL_PLUS, 0);

    quvex_sim_set_axis_input(kDevice, kChipAxis, QUVEX_SIM_INPUT_ALARM, 1);
    print_axis("drive alarm");
    quvex_set_ralm(kAxis, 1);
    quvex_sim_set_axis_input(kDevice, kChipAxis, QUVEX_SIM_INPUT_ALARM, 0);
    quvex_set_ralm(kAxis, 0);
    print_axis("alarm reset");

    quvex_sim_set_counter(kDevice, kChipAxis, 0xE4, 2468);  // the encoder has counted
    quvex_set_command(kAxis, 1234);
    quvex_sim_set_ttl_inputs(kDevice, 0x9);
    print_axis("encoder moved, TTL inputs 0 and 3");

    quvex_set_position(kAxis, 0.0);
    quvex_set_command(kAxis, 0);
    quvex_set_servo(kAxis, 0);
    quvex_set_move_ratio(kAxis, 1.0);
    quvex_sim_set_ttl_inputs(kDevice, 0);
    print_axis("counters cleared, servo off");
}
