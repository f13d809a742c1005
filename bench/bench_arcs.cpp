// Cost of the arc, helix and continuous-arc starts on the virtual installation (tracing off):
// the library's work plus the register writes, per start. Compare with BM_StartLine2 of the
// same run.
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "quvex/quvex.h"

namespace {

using OneCard = quvex::bench::OpenCards;

void BM_StartArcT(benchmark::State& state) {
    OneCard card;
    for (auto _ : state) benchmark::DoNotOptimize(quvex_start_tr_arc_xy(0, 1000, 0, 1000, -1000, 1, 100, 1000, 0.1, 0.2));
}
BENCHMARK(BM_StartArcT);

void BM_StartArcS(benchmark::State& state) {
    OneCard card;
    for (auto _ : state) {
        benchmark::DoNotOptimize(quvex_start_sr_arc_xy(0, 1000, 0, 1000, -1000, 1, 100, 1000, 0.1, 0.2, 0, 0));
    }
}
BENCHMARK(BM_StartArcS);

void BM_StartHelix(benchmark::State& state) {
    OneCard card;
    for (auto _ : state) benchmark::DoNotOptimize(quvex_start_tr_arc_xyz(0, 100, 0, 0, 0, 500, 1, 100, 1000, 0.1, 0.3));
}
BENCHMARK(BM_StartHelix);

void BM_StartContinuousArc(benchmark::State& state) {
    OneCard card;
    for (auto _ : state) benchmark::DoNotOptimize(quvex_start_tr_arc_xy_conti(0, 100, 0, 0, 0, 1, 100, 1000, 0.1, 0.3));
}
BENCHMARK(BM_StartContinuousArc);

}  // namespace
