// Cost of the ring's cyclic byte transfers and of one watchdog pass on the virtual installation
// (tracing off). A verified byte write is three to four window accesses under the ring lock.
#include <benchmark/benchmark.h>

#include "quvex/quvex.h"
#include "quvex/sim.h"
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
