// Cost of a single-axis start (tracing off), per start and per port access, against a raw loop
// of the same port accesses on the same backend; and the speed of the virtual chips: virtual
// seconds of motion simulated per wall second with all 48 axes of twelve cards moving.
#include <benchmark/benchmark.h>

#include <array>

#include "bench_support.h"
#include "chip/registers.h"
#include "frame/card_table.h"
#include "platform/platform.h"
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

// The port accesses of a T-curve start (ten register writes of three accesses and one command)
// with no profile arithmetic, no mirror and no card lock.
void BM_RawPortsOfAStart(benchmark::State& state) {
    quvex::bench::OpenCards cards(1);
    const auto base = static_cast<std::uint16_t>(quvex::card_record(0).chip_base + quvex::chip::kAxisBlock);
    constexpr std::array<std::uint16_t, 10> kCodes = {0x9D, 0x87, 0x80, 0x85, 0x82, 0x81, 0x83, 0x84, 0x82, 0x86};
    std::uint16_t value = 0;
    for (auto _ : state) {
        for (const std::uint16_t code : kCodes) {
            quvex::plat::port_out16(static_cast<std::uint16_t>(base + quvex::chip::kDataLowPort), value++);
            quvex::plat::port_out16(static_cast<std::uint16_t>(base + quvex::chip::kDataHighPort), 0);
            quvex::plat::port_out16(base, code);
        }
        quvex::plat::port_out16(base, quvex::chip::cmd::kStart3);
    }
    const double accesses = 3.0 * kCodes.size() + 1;
    state.counters["port_accesses"] = accesses;
    state.counters["time_per_access"] = per_access(accesses);
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
