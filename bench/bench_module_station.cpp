// Cost of a one-axis module move start against the virtual module, whose chip takes over and
// starts the move for real: messages per start as a counter, CPU time per start. Compare with
// BM_ModuleRelativeStart of the same run (the same messages to a station that only answers) to
// see what the module's chip adds, and with BM_StartTrMove (a start on the card's own chip).
#include <benchmark/benchmark.h>

#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace {

constexpr uint16_t kSlave = 5;

struct ModuleStationOnRing0 {
    ModuleStationOnRing0() {
        quvex_sim_reset();
        quvex_sim_add_card(0);
        int16_t count = 0;
        quvex_initial(&count);
        kring_close();
        quvex_sim_ring_add_m1_module(0, kSlave);
        ring = static_cast<uint16_t>(quvex_open_kring(0));
        kring_start_ring(ring);
        kring_m1_initial(ring, kSlave);
        kring_m1_set_tmove_speed(ring, kSlave, 0, 20000, 0.1, 0.1);
    }
    ~ModuleStationOnRing0() {
        kring_close();
        quvex_close();
    }
    int64_t take_messages() {
        const int n = quvex_sim_ring_history_count(0);
        quvex_sim_ring_history_clear(0);
        return n;
    }
    uint16_t ring = 0;
};

// Each iteration starts a move, then lets `run_for` seconds of virtual time pass (0: the next
// start replaces the running move at once); the time passing is part of the measured cost.
template <typename Call>
void run(benchmark::State& state, double run_for, Call call) {
    ModuleStationOnRing0 m;
    m.take_messages();
    int64_t messages = 0, calls = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(call(m.ring));
        if (run_for > 0) quvex_sim_advance(run_for);
        if (++calls % 1024 == 0) messages += m.take_messages();
    }
    messages += m.take_messages();
    state.counters["messages_per_start"] = static_cast<double>(messages) / static_cast<double>(calls);
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
