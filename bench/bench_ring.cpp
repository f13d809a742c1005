// Cost of the ring's cyclic byte transfers, of a module-style message to a station, and of one
// watchdog pass on the virtual installation; and what tracing adds to a message. A verified byte
// write is three to four window accesses under the ring lock.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <iterator>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "common/platform.h"
#include "ring/ring_table.h"

namespace {

struct RingOnCard0 {
    RingOnCard0() {
        quvex_sim_reset();
        quvex_sim_add_card(0);
        int16_t count = 0;
        quvex_initial(&count);
        kring_close();
        quvex_sim_ring_add_io_slave(0, 4, 0x81, 0);
        ring = static_cast<uint16_t>(quvex_open_kring(0));
        kring_start_ring(ring);
    }
    ~RingOnCard0() {
        kring_close();
        quvex_close();
    }
    uint16_t ring = 0;
};

void BM_RingByteWrite(benchmark::State& state) {
    RingOnCard0 r;
    uint8_t value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(kring_io_output(r.ring, 4, 1, value++));
}
BENCHMARK(BM_RingByteWrite);

void BM_RingByteRead(benchmark::State& state) {
    RingOnCard0 r;
    for (auto _ : state) benchmark::DoNotOptimize(kring_io_input(r.ring, 4, 2));
}
BENCHMARK(BM_RingByteRead);

// A message of five words and its end-of-transfer trailer, as a module transport sends them; the
// station keeps both in the message history. range(0): tracing on (1) or off (0).
void BM_RingMessageToStation(benchmark::State& state) {
    RingOnCard0 r;
    quvex::ring::RingMaster& m = *quvex::ring::ring_slot(r.ring);
    quvex_sim_trace_enable(static_cast<int>(state.range(0)));
    std::int64_t sent = 0;
    for (auto _ : state) {
        const uint16_t words[5] = {0x19A4, 0x1234, 0x0000, 0x0920, 0x0090};
        const uint16_t trailer[1] = {0x0400};
        benchmark::DoNotOptimize(m.send(4, words));
        benchmark::DoNotOptimize(m.send(4, trailer));
        if (++sent % 4096 == 0) {
            quvex_sim_trace_clear();
            quvex_sim_ring_history_clear(0);
        }
    }
    quvex_sim_trace_enable(0);
    quvex_sim_trace_clear();
}
BENCHMARK(BM_RingMessageToStation)->Arg(0)->Arg(1);

// Rendering the trace as text, per event, for a dump (messages are the longest lines).
void BM_TraceTextOfMessage(benchmark::State& state) {
    RingOnCard0 r;
    quvex::ring::RingMaster& m = *quvex::ring::ring_slot(r.ring);
    quvex_sim_trace_enable(1);
    const uint16_t word[1] = {0x0A00};
    m.send(4, word);
    const std::size_t last = quvex_sim_trace_count() - 1;
    char text[256];
    for (auto _ : state) benchmark::DoNotOptimize(quvex_sim_trace_text(last, text, sizeof text));
    quvex_sim_trace_enable(0);
    quvex_sim_trace_clear();
}
BENCHMARK(BM_TraceTextOfMessage);

void BM_WatchdogPassWithSlaveError(benchmark::State& state) {
    RingOnCard0 r;
    quvex::ring::RingMaster& m = *quvex::ring::ring_slot(r.ring);
    const uint16_t request[] = {0x0004};
    m.send(4, request);  // a send leaves the transfer marked, so the pass polls
    m.set_quality(50, 40);
    for (auto _ : state) {
        quvex_sim_ring_flag_error(0, 4);
        quvex::ring::consecutive_error_passes().store(0);
        benchmark::DoNotOptimize(m.watchdog_pass());
    }
    (void)m.cyclic_write_byte(4, 0, 0);  // clears the transfer mark again
}
BENCHMARK(BM_WatchdogPassWithSlaveError);

}  // namespace
