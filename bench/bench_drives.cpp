// Throughput of the virtual machine with a servo drive behind every axis, side by side with the
// ideal axes: seconds of motion simulated per wall second with all 48 axes of twelve cards moving
// again and again. Argument 0: drives off; 1: drives on (τ 5 ms); 2: drives on with a deviation
// limit (the alarm's crossing is then an event the engine looks for).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "bench_support.h"
#include "quvex/sim.h"

namespace {

constexpr int kDriveCards = 12;
constexpr int kDriveAxes = kDriveCards * 4;

void switch_drives(int mode) {
    if (mode == 0) return;
    const quvex_sim_drive drive{0.005, 10, 0, mode == 2 ? 1e6 : 0};
    for (int16_t axis = 0; axis < kDriveAxes; ++axis) {
        quvex_sim_set_drive(axis / 4, axis % 4, &drive);
        quvex_set_servo(axis, 1);
    }
}

void simulate_with_drives(benchmark::State& state, double virtual_step, void (*start)(int16_t)) {
    quvex::bench::OpenCards cards(kDriveCards);
    switch_drives(static_cast<int>(state.range(0)));
    for (int16_t axis = 0; axis < kDriveAxes; ++axis) start(axis);
    double simulated = 0;
    for (auto _ : state) {
        quvex_sim_advance(virtual_step);
        simulated += virtual_step;
        for (int16_t axis = 0; axis < kDriveAxes; ++axis) {
            if (quvex_motion_done(axis) == 0) start(axis);
        }
    }
    state.counters["virtual_s_per_wall_s"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
}

void BM_Drives48AxesShortTMoves(benchmark::State& state) {
    simulate_with_drives(state, 1.0, [](int16_t axis) { quvex_start_tr_move(axis, 80000, 100, 100000, 0.2, 0.2); });
}
BENCHMARK(BM_Drives48AxesShortTMoves)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Drives48AxesLongMoves(benchmark::State& state) {
    simulate_with_drives(state, 60.0, [](int16_t axis) { quvex_start_tr_move(axis, 2e9, 100, 100000, 0.5, 0.5); });
}
BENCHMARK(BM_Drives48AxesLongMoves)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Drives48AxesShortSMoves(benchmark::State& state) {
    simulate_with_drives(state, 1.0,
                         [](int16_t axis) { quvex_start_sr_move(axis, 80000, 100, 100000, 0.2, 0.2, 10000, 10000); });
}
BENCHMARK(BM_Drives48AxesShortSMoves)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
