// Cost of the axis read side and of one configuration change on the virtual installation
// (tracing off): each is a fixed, small number of register primitives.
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "ports/board_ports.h"
#include "card/card_table.h"
#include "common/platform.h"
#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace {

using OneCard = quvex::bench::OpenCards;

// Sub-status read plus one register read: 4 port accesses.
void BM_GetIoStatus(benchmark::State& state) {
    OneCard card;
    quvex_sim_set_axis_input(0, 1, QUVEX_SIM_INPUT_ORIGIN, 1);
    uint16_t io = 0;
    for (auto _ : state) {
        quvex_get_io_status(1, &io);
        benchmark::DoNotOptimize(io);
    }
}
BENCHMARK(BM_GetIoStatus);

// One register read and a division by the move ratio.
void BM_GetPosition(benchmark::State& state) {
    OneCard card;
    double pos = 0;
    for (auto _ : state) {
        quvex_get_position(1, &pos);
        benchmark::DoNotOptimize(pos);
    }
}
BENCHMARK(BM_GetPosition);

// Read-modify-write of the env1 mirror and one register write.
void BM_SetPulseOutputMode(benchmark::State& state) {
    OneCard card;
    int16_t mode = 0;
    for (auto _ : state) quvex_set_pls_outmode(1, static_cast<int16_t>(mode++ & 7));
}
BENCHMARK(BM_SetPulseOutputMode);

// A TTL output channel: one read-modify-write of the board word through the board-port primitive
// (2 port accesses in one card_lock hold), behind the export's checks.
void BM_TtlOutput(benchmark::State& state) {
    OneCard card;
    int16_t on = 0;
    for (auto _ : state) quvex_ttl_output(0, 2, static_cast<int16_t>(on++ & 1));
    state.counters["port_accesses"] = 2;
}
BENCHMARK(BM_TtlOutput);

// The same two port accesses with no export, no primitive and no lock.
void BM_RawBoardReadModifyWrite(benchmark::State& state) {
    OneCard card;
    const auto port = static_cast<std::uint16_t>(quvex::card_record(0).board_base + quvex::chip::kBoardTtlOutput);
    unsigned on = 0;
    for (auto _ : state) {
        const std::uint16_t word = quvex::plat::port_in16(port);
        quvex::plat::port_out16(port, static_cast<std::uint16_t>((on++ & 1) != 0 ? word | 0x4 : word & ~0x4u));
    }
    state.counters["port_accesses"] = 2;
}
BENCHMARK(BM_RawBoardReadModifyWrite);

}  // namespace
