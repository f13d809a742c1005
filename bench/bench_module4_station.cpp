// Cost of four-axis module calls against the virtual four-axis module: every message waits for
// the module's handshake and ends with the end-of-transfer word, so these are the figures to
// watch when the module transport changes. Messages per call as a counter; compare with
// BM_ModuleStationRelativeStart (a one-axis module, no handshake) of the same run.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "quvex/sim_ring_m4.h"

namespace {

constexpr uint16_t kM4Slave = 6;

template <typename Call>
void run_m4(benchmark::State& state, Call call) {
    quvex::bench::RingOnCard0 r([] { quvex_sim_ring_add_m4_module(0, kM4Slave, 0x4A17); });
    kring_m4_initial(r.ring, kM4Slave);
    for (uint16_t axis = 0; axis < 4; ++axis) kring_m4_set_tmove_speed(r.ring, kM4Slave, axis, 0, 20000, 0.1, 0.1);
    quvex::bench::run_ring_calls(state, r, "messages_per_call", 0, call);
}

// A relative start replacing the running move of axis 0 at once.
void BM_Module4RelativeStart(benchmark::State& state) {
    run_m4(state, [](uint16_t ring) { return kring_m4_start_r_move(ring, kM4Slave, 0, 1000); });
}
BENCHMARK(BM_Module4RelativeStart);

void BM_Module4TProfile(benchmark::State& state) {
    run_m4(state, [](uint16_t ring) { return kring_m4_set_tmove_speed(ring, kM4Slave, 1, 0, 20000, 0.1, 0.1); });
}
BENCHMARK(BM_Module4TProfile);

void BM_Module4Line2(benchmark::State& state) {
    static const int16_t kAxes[2] = {0, 1};
    run_m4(state, [](uint16_t ring) {
        return kring_m4_start_tr_line2(ring, kM4Slave, kAxes, 1000, 500, 0, 20000, 0.1, 0.1);
    });
}
BENCHMARK(BM_Module4Line2);

}  // namespace
