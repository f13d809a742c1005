#include "fuzz_installation.h"

#include <cstdint>
#include <cstdio>

#include "installation_reset.h"
#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace quvex_fuzz {
namespace {

constexpr int kDevices[] = {0, 1, 2, 5, 11};

int pick_device(FuzzedDataProvider& in) {
    return kDevices[in.ConsumeIntegralInRange<std::size_t>(0, sizeof kDevices / sizeof kDevices[0] - 1)];
}

// Slave numbers the argument edges hit often (fuzz_args.h), or any other.
constexpr int kSlaveEdges[] = {0, 1, 3, 4, 63};

int pick_slave(FuzzedDataProvider& in) {
    if (in.ConsumeBool()) return in.ConsumeIntegralInRange(0, 63);
    return kSlaveEdges[in.ConsumeIntegralInRange<std::size_t>(0, sizeof kSlaveEdges / sizeof kSlaveEdges[0] - 1)];
}

// An I/O station (input or output type), a one-axis or a four-axis module: the module exports
// reach a module that answers only where one is plugged.
void plug_station(FuzzedDataProvider& in, int device) {
    const int slave = pick_slave(in);
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
        quvex_sim_ring_add_io_slave(device, slave, in.ConsumeBool() ? 0x81 : 0x82, in.ConsumeIntegral<std::uint32_t>());
        break;
    case 1:
        quvex_sim_ring_add_m1_module(device, slave);
        break;
    default:
        quvex_sim_ring_add_m4_module(device, slave, in.ConsumeIntegral<std::uint16_t>());
        break;
    }
}

}  // namespace

void start_installation(FuzzedDataProvider& in) {
    quvex::test::reset_installation();
    const int cards = in.ConsumeIntegralInRange(0, 3);
    for (int k = 0; k < cards; ++k) {
        const int device = k == 0 ? 0 : pick_device(in);
        quvex_sim_add_card(device);
        if (in.ConsumeIntegralInRange(0, 15) == 0) quvex_sim_set_driver_faults(device, in.ConsumeIntegralInRange(1u, 15u));
        const int slaves = in.ConsumeIntegralInRange(0, 3);
        for (int s = 0; s < slaves; ++s) plug_station(in, device);
    }
    if (in.ConsumeIntegralInRange(0, 7) != 0) {
        int16_t count = 0;
        quvex_initial(&count);
    }
}

void installation_action(FuzzedDataProvider& in) {
    const int device = pick_device(in);
    switch (in.ConsumeIntegralInRange(0, 12)) {
    case 0:
        quvex_sim_set_axis_input(device, in.ConsumeIntegralInRange(-1, 4), in.ConsumeIntegralInRange(-1, 14),
                                 in.ConsumeBool());
        break;
    case 1:
        quvex_sim_set_ttl_inputs(device, in.ConsumeIntegral<std::uint16_t>());
        break;
    case 2:
        quvex_sim_advance(in.ConsumeFloatingPointInRange(0.0, 2.0));
        break;
    case 3:
        quvex_sim_fail_thread_creations(in.ConsumeIntegralInRange(0, 2));
        break;
    case 4: {
        char name[32];
        std::snprintf(name, sizeof name, "PCIQUVEXW%dE%d", device, in.ConsumeIntegralInRange(0, 4));
        quvex_sim_event_deaf(name, in.ConsumeBool());
        break;
    }
    case 5:
        quvex_sim_ring_add_io_slave(device, in.ConsumeIntegralInRange(-1, 64), in.ConsumeIntegral<std::uint8_t>(),
                                    in.ConsumeIntegral<std::uint32_t>());
        break;
    case 6:
        quvex_sim_ring_remove_slave(device, in.ConsumeIntegralInRange(-1, 64));
        break;
    case 7:
        quvex_sim_ring_slave_silent(device, in.ConsumeIntegralInRange(0, 63), in.ConsumeBool());
        break;
    case 8:
        quvex_sim_ring_status_fault(device, in.ConsumeIntegral<std::uint16_t>(), in.ConsumeIntegralInRange(0, 4));
        break;
    case 9:
        quvex_sim_ring_flag_error(device, in.ConsumeIntegralInRange(0, 63));
        break;
    case 10:
        quvex_sim_ring_stuck_cyclic(device, in.ConsumeIntegralInRange(0, 63), in.ConsumeIntegralInRange(0, 3),
                                    in.ConsumeBool());
        break;
    case 12:
        plug_station(in, device);
        break;
    default:
        quvex_sim_ring_io_set(device, in.ConsumeIntegralInRange(0, 63), in.ConsumeIntegralInRange(0, 3),
                              in.ConsumeIntegral<std::uint8_t>());
        break;
    }
}

void end_installation() {
    quvex_close();
    quvex::test::reset_installation();
}

}  // namespace quvex_fuzz
