// Cost of one register write and one register read through the primitives on the virtual
// installation (tracing off), against a raw loop of the same port accesses on the same backend.
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "ports/primitives.h"
#include "chip/registers.h"
#include "card/card_table.h"
#include "common/platform.h"
#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace {

using OneCard = quvex::bench::OpenCards;

void BM_RegisterWrite(benchmark::State& state) {
    OneCard card;
    std::uint16_t value = 0;
    for (auto _ : state) quvex::chip::write_axis_register(1, quvex::chip::reg::kComparator1, value++, 0x0012);
    state.counters["port_accesses"] = 3;
}
BENCHMARK(BM_RegisterWrite);

void BM_RegisterRead(benchmark::State& state) {
    OneCard card;
    std::uint16_t low = 0, high = 0;
    for (auto _ : state) {
        quvex::chip::read_axis_register(1, quvex::chip::reg::kReadPositionCounter, &low, &high);
        benchmark::DoNotOptimize(low);
        benchmark::DoNotOptimize(high);
    }
    state.counters["port_accesses"] = 3;
}
BENCHMARK(BM_RegisterRead);

// The same three port accesses with no primitive and no card lock around them.
void BM_RawPortWriteLoop(benchmark::State& state) {
    OneCard card;
    const std::uint16_t base = static_cast<std::uint16_t>(quvex::card_record(0).chip_base + quvex::chip::kAxisBlock);
    std::uint16_t value = 0;
    for (auto _ : state) {
        quvex::plat::port_out16(static_cast<std::uint16_t>(base + quvex::chip::kDataLowPort), value++);
        quvex::plat::port_out16(static_cast<std::uint16_t>(base + quvex::chip::kDataHighPort), 0x0012);
        quvex::plat::port_out16(base, quvex::chip::reg::kComparator1);
    }
    state.counters["port_accesses"] = 3;
}
BENCHMARK(BM_RawPortWriteLoop);

void BM_RawPortReadLoop(benchmark::State& state) {
    OneCard card;
    const std::uint16_t base = static_cast<std::uint16_t>(quvex::card_record(0).chip_base + quvex::chip::kAxisBlock);
    for (auto _ : state) {
        quvex::plat::port_out16(base, quvex::chip::reg::kReadPositionCounter);
        benchmark::DoNotOptimize(quvex::plat::port_in16(static_cast<std::uint16_t>(base + quvex::chip::kDataLowPort)));
        benchmark::DoNotOptimize(quvex::plat::port_in16(static_cast<std::uint16_t>(base + quvex::chip::kDataHighPort)));
    }
    state.counters["port_accesses"] = 3;
}
BENCHMARK(BM_RawPortReadLoop);

}  // namespace
