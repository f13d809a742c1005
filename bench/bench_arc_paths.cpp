// Speed of the virtual chip on arcs: one arc started and run to its end, by radius (its cost must
// not grow with the step count), and 24 axis pairs on 6 cards running full circles again and
// again, beside the same pairs running lines of the same step count (compare the two
// virtual_s_per_wall_s of one run).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench_support.h"

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "quvex/sim_motion.h"

namespace {

// A full counter-clockwise circle of the given radius at 1 000 000 steps per second, started and
// run to its end (a radius of 10^6 is 5.66 million steps, 5.7 s of virtual time).
void BM_RunFullCircleToEnd(benchmark::State& state) {
    quvex::bench::OpenCards card;
    const double radius = static_cast<double>(state.range(0));
    for (auto _ : state) {
        quvex_start_tr_arc_xy(0, radius, 0, 0, 0, 1, 1000, 1000000, 0.2, 0.2);
        quvex_sim_advance(10.0);
        benchmark::DoNotOptimize(quvex_motion_done(0));
    }
    std::int32_t x = 0;
    quvex_get_command(0, &x);
    quvex_sim_motion_info info{};
    quvex_sim_motion_info_get(0, 0, &info);
    state.counters["off_count"] = x != 0 || info.state != 0 ? 1 : 0;
    state.counters["virtual_s_of_the_circle"] = info.ended_at - info.started_at;
}
BENCHMARK(BM_RunFullCircleToEnd)->Arg(1000)->Arg(1000000);

constexpr int kCards = 6;
constexpr double kRadius = 20000;      // a circle of 113 137 steps
constexpr double kLineSteps = 113137;  // the line of the same step count

using StartPair = void (*)(int16_t card, bool zu);

// Both pairs (X-Y and Z-U) of 6 cards moving again and again; each iteration simulates a second
// and polls every axis (which brings its chip up to date), restarting the pairs that stopped.
// With `closed` paths every pair finishes after the loop, and `off_count` counts the axes not
// back at 0.
void simulate_pairs(benchmark::State& state, StartPair start, bool closed) {
    quvex::bench::OpenCards cards(kCards);
    for (int16_t card = 0; card < kCards; ++card) {
        start(card, false);
        start(card, true);
    }
    double simulated = 0;
    for (auto _ : state) {
        quvex_sim_advance(1.0);
        simulated += 1.0;
        for (int16_t card = 0; card < kCards; ++card) {
            for (const bool zu : {false, true}) {
                const auto lead = static_cast<int16_t>(card * 4 + (zu ? 2 : 0));
                const bool moving = quvex_motion_done(lead) != 0 || quvex_motion_done(static_cast<int16_t>(lead + 1)) != 0;
                if (!moving) start(card, zu);
            }
        }
    }
    state.counters["virtual_s_per_wall_s"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
    if (!closed) return;
    quvex_sim_advance(5.0);
    int off = 0;
    for (int16_t axis = 0; axis < kCards * 4; ++axis) {
        std::int32_t at = 0;
        quvex_get_command(axis, &at);
        if (at != 0 || quvex_motion_done(axis) != 0) ++off;
    }
    state.counters["off_count"] = off;
}

void BM_Simulate24PairsOnCircles(benchmark::State& state) {
    simulate_pairs(state, [](int16_t card, bool zu) {
        if (zu) {
            quvex_start_tr_arc_zu(card, kRadius, 0, 0, 0, 0, 1000, 100000, 0.2, 0.2);
        } else {
            quvex_start_tr_arc_xy(card, kRadius, 0, 0, 0, 1, 1000, 100000, 0.2, 0.2);
        }
    }, true);
}
BENCHMARK(BM_Simulate24PairsOnCircles)->Unit(benchmark::kMillisecond)->UseRealTime();

// Lines out and back, the dominant axis making as many steps as a circle.
void BM_Simulate24PairsOnLines(benchmark::State& state) {
    simulate_pairs(state, [](int16_t card, bool zu) {
        static int outward[2 * kCards] = {};
        int& out = outward[card * 2 + (zu ? 1 : 0)];
        const double sign = out == 0 ? 1.0 : -1.0;
        out ^= 1;
        if (zu) {
            quvex_start_tr_move_zu(card, sign * kLineSteps, sign * kLineSteps / 3, 1000, 100000, 0.2, 0.2);
        } else {
            quvex_start_tr_move_xy(card, sign * kLineSteps, sign * kLineSteps / 3, 1000, 100000, 0.2, 0.2);
        }
    }, false);
}
BENCHMARK(BM_Simulate24PairsOnLines)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
