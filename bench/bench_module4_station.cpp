// Cost of four-axis module calls against the virtual four-axis module: every message waits for
// the module's handshake and ends with the end-of-transfer word, so these are the figures to
// watch when the module transport changes. Messages per call as a counter; compare with
// BM_ModuleStationRelativeStart (a one-axis module, no handshake) of the same run.
#include <benchmark/benchmark.h>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "quvex/sim_ring_m4.h"

namespace {

constexpr uint16_t kM4Slave = 6;

struct FourAxisModuleOnRing0 {
    FourAxisModuleOnRing0() {
        quvex_sim_reset();
        quvex_sim_add_card(0);
        int16_t count = 0;
        quvex_initial(&count);
        kring_close();
        quvex_sim_ring_add_m4_module(0, kM4Slave, 0x4A17);
        ring = static_cast<uint16_t>(quvex_open_kring(0));
        kring_start_ring(ring);
        kring_m4_initial(ring, kM4Slave);
        for (uint16_t axis = 0; axis < 4; ++axis) kring_m4_set_tmove_speed(ring, kM4Slave, axis, 0, 20000, 0.1, 0.1);
    }
    ~FourAxisModuleOnRing0() {
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

template <typename Call>
void run_m4(benchmark::State& state, Call call) {
    FourAxisModuleOnRing0 m;
    m.take_messages();
    int64_t messages = 0, calls = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(call(m.ring));
        if (++calls % 1024 == 0) messages += m.take_messages();
    }
    messages += m.take_messages();
    state.counters["messages_per_call"] = static_cast<double>(messages) / static_cast<double>(calls);
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
