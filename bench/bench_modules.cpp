// Cost of starting a one-axis module move: a relative start is three messages (operation mode,
// amount, start command), an absolute start adds the position read; a T-curve profile is seven.
// Messages per call are reported as a counter; compare the times with BM_RingByteWrite of the
// same run.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "quvex/sim_ring.h"

namespace {

constexpr uint16_t kSlave = 3;

template <typename Call>
void run(benchmark::State& state, Call call) {
    quvex::bench::RingOnCard0 r([] { quvex_sim_ring_add_io_slave(0, kSlave, 0x80, 0); });
    kring_m1_initial(r.ring, kSlave);
    kring_m1_set_tmove_speed(r.ring, kSlave, 0, 20000, 0.1, 0.1);
    quvex::bench::run_ring_calls(state, r, "messages_per_call", 0, call);
}

void BM_ModuleRelativeStart(benchmark::State& state) {
    run(state, [](uint16_t ring) { return kring_m1_start_r_move(ring, kSlave, 1000); });
}
BENCHMARK(BM_ModuleRelativeStart);

void BM_ModuleAbsoluteStart(benchmark::State& state) {
    run(state, [](uint16_t ring) { return kring_m1_start_a_move(ring, kSlave, 1000); });
}
BENCHMARK(BM_ModuleAbsoluteStart);

void BM_ModuleTProfile(benchmark::State& state) {
    run(state, [](uint16_t ring) { return kring_m1_set_tmove_speed(ring, kSlave, 0, 20000, 0.1, 0.1); });
}
BENCHMARK(BM_ModuleTProfile);

}  // namespace
