// Cost of a single-axis start (tracing off), per start and per port access, against a raw loop
// of the same port accesses on the same backend; and the speed of the virtual chips: virtual
// seconds of motion simulated per wall second with all 48 axes of twelve cards moving.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_support.h"
#include "chip/registers.h"
#include "card/card_table.h"
#include "common/platform.h"
#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace {

// Port accesses one call makes, counted from the raw trace.
template <typename Call>
double port_accesses_of(Call call) {
    quvex_sim_trace_clear();
    quvex_sim_trace_enable(1);
    call();
    quvex_sim_trace_enable(0);
    const double n = static_cast<double>(quvex_sim_access_count());
    quvex_sim_trace_clear();
    return n;
}

benchmark::Counter per_access(double accesses) {
    return benchmark::Counter(accesses, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_StartTrMove(benchmark::State& state) {
    quvex::bench::OpenCards cards(1);
    auto start = [] { quvex_start_tr_move(1, 100000, 100, 50000, 0.1, 0.1); };
    const double accesses = port_accesses_of(start);
    for (auto _ : state) start();
    state.counters["port_accesses"] = accesses;
    state.counters["time_per_access"] = per_access(accesses);
}
BENCHMARK(BM_StartTrMove);

// The port accesses of a T-curve start (ten register writes of three accesses and one command),
// recorded from one start and replayed with the same ports and values: no checks, no profile
// arithmetic, no mirror and no card lock.
void BM_RawPortsOfAStart(benchmark::State& state) {
    quvex::bench::OpenCards cards(1);
    std::vector<quvex_sim_access> accesses;
    quvex_sim_trace_clear();
    quvex_sim_trace_enable(1);
    quvex_start_tr_move(1, 100000, 100, 50000, 0.1, 0.1);
    quvex_sim_trace_enable(0);
    for (std::size_t i = 0; i < quvex_sim_access_count(); ++i) {
        quvex_sim_access a{};
        quvex_sim_access_get(i, &a);
        accesses.push_back(a);
    }
    quvex_sim_trace_clear();
    for (auto _ : state) {
        for (const quvex_sim_access& a : accesses) {
            const auto port = static_cast<std::uint16_t>(a.address);
            if (a.kind == QUVEX_SIM_ACCESS_OUT16) {
                quvex::plat::port_out16(port, static_cast<std::uint16_t>(a.value));
            } else {
                benchmark::DoNotOptimize(quvex::plat::port_in16(port));
            }
        }
    }
    const auto n = static_cast<double>(accesses.size());
    state.counters["port_accesses"] = n;
    state.counters["time_per_access"] = per_access(n);
}
BENCHMARK(BM_RawPortsOfAStart);

// All 48 axes moving again and again; each iteration simulates `virtual_step` seconds and
// polls every axis, which brings its chip up to date, restarting the ones that stopped. After
// the timed loop every axis finishes its last move, and the counter `off_count` tells how many
// axes did not end on exactly the sum of their moves' pulse counts (0 is right).
using StartMove = void (*)(int16_t axis);

void simulate(benchmark::State& state, double virtual_step, double distance, StartMove start) {
    quvex::bench::OpenCards cards(quvex::kMaxCards);
    std::array<std::int64_t, quvex::kMaxAxes> moves{};
    for (int16_t axis = 0; axis < quvex::kMaxAxes; ++axis) {
        start(axis);
        ++moves[static_cast<std::size_t>(axis)];
    }
    double simulated = 0;
    for (auto _ : state) {
        quvex_sim_advance(virtual_step);
        simulated += virtual_step;
        for (int16_t axis = 0; axis < quvex::kMaxAxes; ++axis) {
            if (quvex_motion_done(axis) == 0) {
                start(axis);
                ++moves[static_cast<std::size_t>(axis)];
            }
        }
    }
    state.counters["virtual_s_per_wall_s"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
    int off = 0;
    for (int16_t axis = 0; axis < quvex::kMaxAxes; ++axis) {
        while (quvex_motion_done(axis) != 0) quvex_sim_advance(virtual_step);
        std::int32_t at = 0;
        quvex_get_command(axis, &at);
        // The command counter is 32 bits wide and wraps.
        const auto expected = static_cast<std::uint32_t>(static_cast<std::int64_t>(distance) *
                                                         moves[static_cast<std::size_t>(axis)]);
        if (static_cast<std::uint32_t>(at) != expected) ++off;
    }
    state.counters["off_count"] = off;
}

// Long moves: hours at 100 000 pps.
void BM_Simulate48AxesLongMoves(benchmark::State& state) {
    simulate(state, 60.0, 2e9, [](int16_t axis) { quvex_start_tr_move(axis, 2e9, 100, 100000, 0.5, 0.5); });
}
BENCHMARK(BM_Simulate48AxesLongMoves)->Unit(benchmark::kMillisecond)->UseRealTime();

// Short moves of about one second with 0.2 s ramps of about 50 000 speed units: ramp-bound.
void BM_Simulate48AxesShortTMoves(benchmark::State& state) {
    simulate(state, 1.0, 80000, [](int16_t axis) { quvex_start_tr_move(axis, 80000, 100, 100000, 0.2, 0.2); });
}
BENCHMARK(BM_Simulate48AxesShortTMoves)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same as S-curves with sections of 10 000 pps (S-shaped ends, linear middle) and as pure
// S-curves (no sections): every part of a ramp is taken in runs of steps of closed form.
void BM_Simulate48AxesShortSMoves(benchmark::State& state) {
    simulate(state, 1.0, 80000,
             [](int16_t axis) { quvex_start_sr_move(axis, 80000, 100, 100000, 0.2, 0.2, 10000, 10000); });
}
BENCHMARK(BM_Simulate48AxesShortSMoves)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Simulate48AxesShortPureSMoves(benchmark::State& state) {
    simulate(state, 1.0, 80000, [](int16_t axis) { quvex_start_sr_move(axis, 80000, 100, 100000, 0.2, 0.2, 0, 0); });
}
BENCHMARK(BM_Simulate48AxesShortPureSMoves)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
