// Cost of the line and group starts on the virtual installation (tracing off): the library's
// work plus the register writes, per start; and a four-axis line run to its end on the clock.
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace {

using OneCard = quvex::bench::OpenCards;

void BM_StartLine2(benchmark::State& state) {
    OneCard card;
    const int16_t xy[2] = {0, 1};
    for (auto _ : state) benchmark::DoNotOptimize(quvex_start_tr_line2(0, xy, 3000, 4000, 100, 1000, 0.1, 0.1));
}
BENCHMARK(BM_StartLine2);

void BM_StartSLine4(benchmark::State& state) {
    OneCard card;
    for (auto _ : state) {
        benchmark::DoNotOptimize(quvex_start_sr_line4(0, 1000, -2000, 3000, 500, 100, 2000, 0.2, 0.2, 0, 0));
    }
}
BENCHMARK(BM_StartSLine4);

void BM_GroupMove3(benchmark::State& state) {
    OneCard card;
    const int16_t axes[3] = {0, 1, 2};
    const double dist[3] = {100, 200, 300}, str[3] = {10, 10, 10}, max[3] = {1000, 2000, 3000};
    const double tacc[3] = {0.1, 0.1, 0.1}, tdec[3] = {0.1, 0.1, 0.1};
    for (auto _ : state) benchmark::DoNotOptimize(quvex_set_tr_move_all(3, axes, dist, str, max, tacc, tdec));
}
BENCHMARK(BM_GroupMove3);

// A four-axis line of 3774 pulses along the path at 2000 pps (about 2 s of virtual time).
void BM_RunLine4ToEnd(benchmark::State& state) {
    OneCard card;
    for (auto _ : state) {
        quvex_start_tr_line4(0, 1000, -2000, 3000, 500, 100, 2000, 0.2, 0.2);
        quvex_sim_advance(3.0);
        benchmark::DoNotOptimize(quvex_motion_done(0));
    }
}
BENCHMARK(BM_RunLine4ToEnd);

}  // namespace
