// Cost of a one-axis module move start against the virtual module, whose chip takes over and
// starts the move for real: messages per start as a counter, CPU time per start. Compare with
// BM_ModuleRelativeStart of the same run (the same messages to a station that only answers) to
// see what the module's chip adds, and with BM_StartTrMove (a start on the card's own chip).
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace {

constexpr uint16_t kSlave = 5;

// Each iteration starts a move, then lets `run_for` seconds of virtual time pass (0: the next
// start replaces the running move at once).
template <typename Call>
void run(benchmark::State& state, double run_for, Call call) {
    quvex::bench::RingOnCard0 r([] { quvex_sim_ring_add_m1_module(0, kSlave); });
    kring_m1_initial(r.ring, kSlave);
    kring_m1_set_tmove_speed(r.ring, kSlave, 0, 20000, 0.1, 0.1);
    quvex::bench::run_ring_calls(state, r, "messages_per_start", run_for, call);
}

void BM_ModuleStationRelativeStart(benchmark::State& state) {
    run(state, 0, [](uint16_t ring) { return kring_m1_start_r_move(ring, kSlave, 1000); });
}
BENCHMARK(BM_ModuleStationRelativeStart);

void BM_ModuleStationAbsoluteStart(benchmark::State& state) {
    int32_t target = 0;
    run(state, 0, [&target](uint16_t ring) { return kring_m1_start_a_move(ring, kSlave, target ^= 1000); });
}
BENCHMARK(BM_ModuleStationAbsoluteStart);

// A whole move from standstill: the start and the chip's run to the end (ramp and end events).
void BM_ModuleStationMoveToEnd(benchmark::State& state) {
    run(state, 0.2, [](uint16_t ring) { return kring_m1_start_r_move(ring, kSlave, 1000); });
}
BENCHMARK(BM_ModuleStationMoveToEnd);

// The clock alone over the same 0.2 s with the module at rest, to subtract from the above.
void BM_ModuleStationIdleAdvance(benchmark::State& state) {
    run(state, 0.2, [](uint16_t) { return 0; });
}
BENCHMARK(BM_ModuleStationIdleAdvance);

}  // namespace
