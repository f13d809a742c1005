// Shared set-up of the benchmarks: a fresh virtual installation with cards opened by quvex_initial.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "quvex/sim_ring.h"

namespace quvex::bench {

// Cards 0..cards-1 installed and opened for the life of the object; tracing stays off.
struct OpenCards {
    explicit OpenCards(int cards = 1) {
        quvex_sim_reset();
        for (int d = 0; d < cards; ++d) quvex_sim_add_card(d);
        int16_t count = 0;
        quvex_initial(&count);
    }
    ~OpenCards() { quvex_close(); }
    OpenCards(const OpenCards&) = delete;
    OpenCards& operator=(const OpenCards&) = delete;
};

// Card 0 opened with its ring's stations put on by `plug`, then the ring opened and started;
// tracing stays off. Closed again at the end of the object's life.
class RingOnCard0 {
public:
    template <typename Plug>
    explicit RingOnCard0(Plug plug) {
        quvex_sim_reset();
        quvex_sim_add_card(0);
        int16_t count = 0;
        quvex_initial(&count);
        kring_close();
        plug();
        ring = static_cast<uint16_t>(quvex_open_kring(0));
        kring_start_ring(ring);
    }
    ~RingOnCard0() {
        kring_close();
        quvex_close();
    }
    RingOnCard0(const RingOnCard0&) = delete;
    RingOnCard0& operator=(const RingOnCard0&) = delete;

    // Messages sent since the last call; the history is cleared before it fills.
    int64_t take_messages() {
        const int n = quvex_sim_ring_history_count(0);
        quvex_sim_ring_history_clear(0);
        return n;
    }
    uint16_t ring = 0;
};

// Each iteration makes one call on the ring, then lets `run_for` seconds of virtual time pass
// when it is above 0 (the time passing is part of the measured cost). The messages per call go
// to the counter named.
template <typename Call>
void run_ring_calls(benchmark::State& state, RingOnCard0& r, const char* counter, double run_for, Call call) {
    r.take_messages();
    int64_t messages = 0, calls = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(call(r.ring));
        if (run_for > 0) quvex_sim_advance(run_for);
        if (++calls % 1024 == 0) messages += r.take_messages();
    }
    messages += r.take_messages();
    state.counters[counter] = static_cast<double>(messages) / static_cast<double>(calls);
}

}  // namespace quvex::bench
