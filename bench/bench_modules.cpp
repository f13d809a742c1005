// Cost of starting a one-axis module move: a relative start is three messages (operation mode,
// amount, start command), an absolute start adds the position read; a T-curve profile is seven.
// Messages per call are reported as a counter; compare the times with BM_RingByteWrite of the
// same run.
#include <benchmark/benchmark.h>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "quvex/sim_ring.h"

namespace {

constexpr uint16_t kSlave = 3;

struct ModuleOnRing0 {
    ModuleOnRing0() {
        quvex_sim_reset();
        quvex_sim_add_card(0);
        int16_t count = 0;
        quvex_initial(&count);
        kring_close();
        quvex_sim_ring_add_io_slave(0, kSlave, 0x80, 0);
        ring = static_cast<uint16_t>(quvex_open_kring(0));
        kring_start_ring(ring);
        kring_m1_initial(ring, kSlave);
        kring_m1_set_tmove_speed(ring, kSlave, 0, 20000, 0.1, 0.1);
    }
    ~ModuleOnRing0() {
        kring_close();
        quvex_close();
    }
    // Messages sent since the last call, the history cleared before it fills.
    int64_t take_messages() {
        const int n = quvex_sim_ring_history_count(0);
        quvex_sim_ring_history_clear(0);
        return n;
    }
    uint16_t ring = 0;
};

template <typename Call>
void run(benchmark::State& state, Call call) {
    ModuleOnRing0 m;
    m.take_messages();
    int64_t messages = 0;
    int64_t calls = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(call(m.ring));
        if (++calls % 1024 == 0) messages += m.take_messages();
    }
    messages += m.take_messages();
    state.counters["messages_per_call"] = static_cast<double>(messages) / static_cast<double>(calls);
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
