// Latency from a driver event to the application's callback: an axis running at constant speed
// meets its + end limit, the chip stops it and raises its "stopped" interrupt, the driver signals
// the axis event, and the card's callback thread calls the application. Measured in wall time
// from the input change to the callback's entry, with the clock following the wall clock, over
// 10,000 events; the median and the 99th percentile are reported as counters (microseconds).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<std::int64_t> g_called_at{0};
std::atomic<int> g_calls{0};

std::int64_t now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

void QUVEX_CALL on_interrupt(int32_t) {
    g_called_at.store(now_ns());
    g_calls.fetch_add(1);
}

// Waits (spinning, as a latency probe must) for the callback after `calls` earlier ones; false
// after a second without it.
bool wait_for_callback(int calls) {
    const auto give_up = Clock::now() + std::chrono::seconds(1);
    while (g_calls.load() == calls) {
        if (Clock::now() > give_up) return false;
    }
    return true;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    const auto k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1));
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
    return v[k];
}

void BM_DriverEventToCallback(benchmark::State& state) {
    quvex::bench::OpenCards cards;
    void* events[4] = {};
    quvex_int_enable(0, events);
    quvex_link_interrupt(0, on_interrupt);
    quvex_set_int_factor(0, 0x1);  // the chip interrupts when the axis stops
    quvex_sim_clock_realtime(1.0);
    std::vector<double> latencies_us;
    latencies_us.reserve(10000);
    for (auto _ : state) {
        state.PauseTiming();
        quvex_sim_set_axis_input(0, 0, QUVEX_SIM_INPUT_EL_PLUS, 0);
        quvex_tv_move(0, 1000, 1000, 0);  // constant speed at once
        const int calls = g_calls.load();
        state.ResumeTiming();
        const std::int64_t t0 = now_ns();
        quvex_sim_set_axis_input(0, 0, QUVEX_SIM_INPUT_EL_PLUS, 1);
        if (!wait_for_callback(calls)) {
            state.SkipWithError("no callback within a second");
            break;
        }
        latencies_us.push_back(static_cast<double>(g_called_at.load() - t0) / 1000.0);
    }
    quvex_sim_clock_manual();
    state.counters["median_us"] = percentile(latencies_us, 0.5);
    state.counters["p99_us"] = percentile(latencies_us, 0.99);
}
BENCHMARK(BM_DriverEventToCallback)->Iterations(10000)->UseRealTime();

}  // namespace
