// The front panel's cost: the 48-axis simulation speed with the panel off, on with no client, and
// on with one client streaming snapshots at 50 a second, side by side; and the time from a control
// request to the changed input as the chip sees it, in real-time mode.
#include <benchmark/benchmark.h>

// Only where the panel is built (the HTTP library was found).
#if QUVEX_PANEL_HTTP
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "bench_support.h"
#include "card/card_table.h"
#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace {

enum PanelBenchMode { kPanelOff = 0, kPanelIdle = 1, kPanelStreaming = 2 };

// A browser stand-in: reads the event stream until the panel stops.
class StreamingClient {
public:
    explicit StreamingClient(int port)
        : thread_([port, this] {
              httplib::Client cli("127.0.0.1", port);
              cli.Get("/api/stream?rate=50", [this](const char*, std::size_t size) {
                  bytes_ += size;
                  return true;
              });
          }) {}
    ~StreamingClient() { thread_.join(); }
    std::size_t bytes() const { return bytes_.load(); }

private:
    std::atomic<std::size_t> bytes_{0};
    std::thread thread_;
};

void BM_Panel48AxesShortTMoves(benchmark::State& state) {
    const auto mode = static_cast<PanelBenchMode>(state.range(0));
    quvex::bench::OpenCards cards(quvex::kMaxCards);
    if (mode != kPanelOff && quvex_sim_panel_start("127.0.0.1:0") != 0) {
        state.SkipWithError("the panel cannot start");
        return;
    }
    std::unique_ptr<StreamingClient> client;
    if (mode == kPanelStreaming) {
        client = std::make_unique<StreamingClient>(quvex_sim_panel_port());
        while (client->bytes() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const auto start = [](int16_t axis) { quvex_start_tr_move(axis, 80000, 100, 100000, 0.2, 0.2); };
    for (int16_t axis = 0; axis < quvex::kMaxAxes; ++axis) start(axis);
    double simulated = 0;
    for (auto _ : state) {
        quvex_sim_advance(1.0);
        simulated += 1.0;
        for (int16_t axis = 0; axis < quvex::kMaxAxes; ++axis) {
            if (quvex_motion_done(axis) == 0) start(axis);
        }
    }
    state.counters["virtual_s_per_wall_s"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
    quvex_sim_panel_stop();
    if (client) state.counters["streamed_kB"] = static_cast<double>(client->bytes()) / 1024.0;
}
BENCHMARK(BM_Panel48AxesShortTMoves)->ArgName("panel")->Arg(kPanelOff)->Arg(kPanelIdle)->Arg(kPanelStreaming)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// A POST toggling an axis input, timed until the chip's input holds the new level, with the clock
// in real time and one client streaming.
void BM_PanelControlToChip(benchmark::State& state) {
    quvex::bench::OpenCards cards(1);
    quvex_sim_clock_realtime(1.0);
    if (quvex_sim_panel_start("127.0.0.1:0") != 0) {
        state.SkipWithError("the panel cannot start");
        return;
    }
    const int port = quvex_sim_panel_port();
    auto client = std::make_unique<StreamingClient>(port);
    httplib::Client control("127.0.0.1", port);
    control.set_keep_alive(true);
    control.set_tcp_nodelay(true);
    bool active = false;
    for (auto _ : state) {
        active = !active;
        const auto t0 = std::chrono::steady_clock::now();
        control.Post("/api/axis/input", active ? R"({"card":0,"axis":0,"input":"el_plus","active":true})"
                                               : R"({"card":0,"axis":0,"input":"el_plus","active":false})",
                     "application/json");
        while (quvex_sim_axis_input(0, 0, QUVEX_SIM_INPUT_EL_PLUS) != (active ? 1 : 0)) {
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    quvex_sim_panel_stop();
    client.reset();
    quvex_sim_clock_manual();
}
BENCHMARK(BM_PanelControlToChip)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(500);

}  // namespace

#endif
