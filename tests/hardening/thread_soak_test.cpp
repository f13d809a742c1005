// Ten minutes of virtual time with every kind of library thread running at once: the callback
// and compare-event threads of two cards, the watchdog threads of four rings, and two application
// threads, each driving the axes of one card and two rings (moves that end and interrupt, an end
// limit that stops a move, auto compare, ring I/O and module messages). Nothing may race (the
// ThreadSanitizer build runs this test too), nothing may hang, no callback may be lost, and the
// stop-reason log both callback threads write keeps one numbered line per limit stop.
//
// Why the counts must match: the axis events are auto-reset, so two signals before one wait wake
// the callback thread once. Each application thread therefore starts an axis's next move only
// after the callback of its last one arrived: at most one signal per axis is outstanding, and
// every signal the installation counts must reach the callback exactly once.
#include <atomic>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "common/platform.h"
#include "quvex/kring_m1.h"
#include "sim_fixture.h"
#include "thread_support.h"

namespace quvex::test {
namespace {

constexpr int kCards = 4;
constexpr int kCallbackCards = 2;
constexpr double kSoakSeconds = 600.0;
// Ten virtual minutes in about three wall seconds. The real-time clock lets every thread run as
// the host schedules it; the manual clock would step the four watchdogs through each of the
// 600 000 milliseconds one by one.
constexpr double kClockScale = 200.0;

constexpr int kSoakIoSlave = 1;
constexpr int kSoakModuleSlave = 4;
// Axes within each callback card.
constexpr int kEndingAxis = 0;   // moves that end: interrupt on stop
constexpr int kLimitAxis = 1;    // velocity moves stopped by the + end limit: interrupt on stop
constexpr int kCompareAxis = 2;  // auto compare: one series point crossed per move
constexpr uint32_t kStopInterrupt = 0x1;
constexpr double kSeriesStart = 50, kSeriesStep = 100;

// What one application thread works on: one card's axes and two rings (one with an I/O station,
// one with a one-axis module).
struct Lane {
    int card = 0;
    uint16_t io_ring = 0;
    uint16_t module_ring = 0;
    int cycles = 0;
    std::string failure;
};

class ThreadSoak : public CardTest {
protected:
    ThreadSoak() : CardTest(kCards) {}
    void SetUp() override {
        CardTest::SetUp();
        clear_callback_counts();
    }
    void TearDown() override {
        kring_close();
        CardTest::TearDown();
    }

    // Every card's ring attached, its stations plugged, the ring started and its watchdog on.
    void start_rings() {
        for (int card = 0; card < kCards; ++card) {
            ASSERT_EQ(quvex_open_kring(static_cast<int16_t>(card)), card);
            ASSERT_EQ(quvex_sim_ring_add_io_slave(card, kSoakIoSlave, 0x81, 0), 0);
            ASSERT_EQ(quvex_sim_ring_add_m1_module(card, kSoakModuleSlave), 0);
            const auto ring = static_cast<uint16_t>(card);
            ASSERT_EQ(kring_start_ring(ring), 0);
            ASSERT_EQ(kring_m1_initial(ring, kSoakModuleSlave), 0);
            void* event = reinterpret_cast<void*>(plat::event_create(nullptr, true, false));
            ASSERT_EQ(kring_enable_soft_watchdog(ring, &event), 0);
        }
    }

    static void start_callbacks(int card) {
        ASSERT_EQ(quvex_int_enable(static_cast<int16_t>(card), nullptr), 0);
        ASSERT_EQ(quvex_link_interrupt(static_cast<int16_t>(card), count_callback), 0);
        for (const int axis : {kEndingAxis, kLimitAxis}) ASSERT_EQ(quvex_set_int_factor(axis_no(card, axis), kStopInterrupt), 0);
        const int16_t compare = axis_no(card, kCompareAxis);
        ASSERT_EQ(quvex_set_trigger_comparator(compare, 0, 1, 0), 0);
        ASSERT_EQ(quvex_build_compare_function(compare, kSeriesStart, 100000000, kSeriesStep), 0);
        ASSERT_EQ(quvex_set_auto_compare(compare, 1), 0);
    }

    static int16_t axis_no(int card, int axis) { return static_cast<int16_t>(card * 4 + axis); }
    static int callbacks(int card, int axis) { return callbacks_per_axis()[static_cast<std::size_t>(axis_no(card, axis))].load(); }
};

// One cycle of an application thread; an empty string when everything answered as it should.
std::string run_cycle(Lane& lane) {
    const int c = lane.card;
    const auto axis = [c](int a) { return static_cast<int16_t>(c * 4 + a); };
    const int done_before = lane.cycles;
    if (quvex_start_tr_move(axis(kEndingAxis), (lane.cycles % 2 == 0) ? 200 : -200, 1000, 20000, 0, 0) != 0) return "ending move refused";
    if (quvex_tv_move(axis(kLimitAxis), 100, 2000, 0.01) != 0) return "velocity move refused";
    if (quvex_start_tr_move(axis(kCompareAxis), kSeriesStep, 1000, 20000, 0, 0) != 0) return "compare move refused";
    quvex_sim_set_axis_input(c, kLimitAxis, QUVEX_SIM_INPUT_EL_PLUS, 1);

    // Ring I/O: what was written reads back, through the station and through the library.
    const auto value = static_cast<uint8_t>(lane.cycles * 7 + c);
    if (kring_io_output(lane.io_ring, kSoakIoSlave, 0, value) != 0) return "ring output refused";
    if (quvex_sim_ring_io_get(lane.io_ring, kSoakIoSlave, 0) != value) return "ring output did not arrive";
    if (kring_io_input(lane.io_ring, kSoakIoSlave, 0) != value) return "ring input differs";
    // Module messages: a command counter sent, then read back with a request and its reply.
    if (kring_m1_set_command(lane.module_ring, kSoakModuleSlave, lane.cycles) != 0) return "module message refused";
    uint32_t command = 0;
    if (kring_m1_get_command(lane.module_ring, kSoakModuleSlave, &command) != 0) return "module request refused";
    if (command != static_cast<uint32_t>(lane.cycles)) return "module reply differs";

    const int expected = done_before + 1;
    const auto calls = [&](int a) { return callbacks_per_axis()[static_cast<std::size_t>(axis(a))].load(); };
    const bool arrived = wait_wall([&] {
        return calls(kEndingAxis) >= expected && calls(kLimitAxis) >= expected && calls(kCompareAxis) >= expected &&
               quvex_motion_done(axis(kEndingAxis)) == 0 && quvex_motion_done(axis(kCompareAxis)) == 0 &&
               quvex_motion_done(axis(kLimitAxis)) == 0;
    });
    quvex_sim_set_axis_input(c, kLimitAxis, QUVEX_SIM_INPUT_EL_PLUS, 0);
    const std::string where = " in cycle " + std::to_string(done_before);
    if (!arrived) return "callbacks or stops missing" + where;
    if (calls(kEndingAxis) != expected || calls(kLimitAxis) != expected || calls(kCompareAxis) != expected) {
        return "a callback too many" + where;
    }
    ++lane.cycles;
    return {};
}

TEST_F(ThreadSoak, TenMinutesOfEveryThreadLoseNoCallback) {
    // Both callback threads write the stop reasons of the limit stops to one log.
    const std::string log_path = "hardening_soak_stops.log";
    std::remove(log_path.c_str());
    ASSERT_EQ(quvex_error_log(log_path.c_str()), 0);
    start_rings();
    for (int card = 0; card < kCallbackCards; ++card) start_callbacks(card);
    if (HasFatalFailure()) return;
    // Four compare-event threads, two callback threads, four watchdogs.
    ASSERT_EQ(quvex_sim_live_threads(), kCards + kCallbackCards + kCards);

    Lane lanes[2];
    lanes[0].card = 0, lanes[0].io_ring = 0, lanes[0].module_ring = 2;
    lanes[1].card = 1, lanes[1].io_ring = 1, lanes[1].module_ring = 3;
    std::atomic<bool> stop{false};
    std::atomic<bool> failed{false};
    const auto work = [&stop, &failed](Lane& lane) {
        while (!stop.load() && lane.failure.empty()) lane.failure = run_cycle(lane);
        if (!lane.failure.empty()) failed.store(true);
    };
    {
        RealtimeClock clock(kClockScale);
        const double end = quvex_sim_now() + kSoakSeconds;
        std::thread a(work, std::ref(lanes[0]));
        std::thread b(work, std::ref(lanes[1]));
        while (quvex_sim_now() < end && !failed.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        stop.store(true);
        a.join();
        b.join();
    }

    for (const Lane& lane : lanes) {
        SCOPED_TRACE("card " + std::to_string(lane.card));
        EXPECT_EQ(lane.failure, "");
        EXPECT_GT(lane.cycles, 0);
        for (const int axis : {kEndingAxis, kLimitAxis, kCompareAxis}) {
            EXPECT_EQ(callbacks(lane.card, axis), lane.cycles) << "axis " << axis;
            EXPECT_EQ(axis_event_sets(lane.card, axis), lane.cycles) << "axis " << axis;
        }
        EXPECT_EQ(compare_event_sets(lane.card), lane.cycles) << "one auto-compare reload per move";
        EXPECT_EQ(kring_get_com_status(lane.io_ring), 1) << "the watchdog saw no error";
        EXPECT_EQ(kring_get_com_status(lane.module_ring), 1);
    }
    for (int axis = 0; axis < 48; ++axis) {
        const bool driven = axis < kCallbackCards * 4 && axis % 4 != 3;
        if (!driven) {
            EXPECT_EQ(callbacks_per_axis()[static_cast<std::size_t>(axis)].load(), 0) << "AxisNo " << axis;
        }
    }
    EXPECT_EQ(quvex_sim_live_threads(), kCards + kCallbackCards + kCards) << "every thread still runs";
    // The log lines of both callback threads: each whole, for a limit stop of a limit axis, and
    // numbered without gap or repeat. There can be fewer lines than limit stops: the callback
    // comes before the thread's stop-reason request, so the next cycle's stop can reach the driver
    // first and both stops' reasons go out in one reply, one line.
    kring_close();
    ASSERT_EQ(quvex_close(), 0);
    std::ifstream log(log_path, std::ios::binary);
    std::set<long> numbers;
    int lines = 0, whole_lines = 0;
    for (std::string line; std::getline(log, line); ++lines) {
        numbers.insert(std::stol(line.substr(0, line.find(','))));
        const bool limit_axis = line.find("Axis:1,") != std::string::npos || line.find("Axis:5,") != std::string::npos;
        if (limit_axis && line.ends_with(",+End Limit on and stop\r\r")) ++whole_lines;
    }
    const int limit_stops = lanes[0].cycles + lanes[1].cycles;
    EXPECT_GT(lines, 0);
    EXPECT_LE(lines, limit_stops);
    EXPECT_EQ(whole_lines, lines);
    EXPECT_EQ(numbers.size(), static_cast<std::size_t>(lines));
    EXPECT_EQ(numbers.empty() ? -1 : *numbers.rbegin(), lines - 1);
    log.close();
    std::remove(log_path.c_str());

    RecordProperty("cycles_card0", lanes[0].cycles);
    RecordProperty("cycles_card1", lanes[1].cycles);
    std::printf("soak: %d and %d cycles in %.0f virtual seconds, %d log lines\n", lanes[0].cycles, lanes[1].cycles,
                kSoakSeconds, lines);
}

}  // namespace
}  // namespace quvex::test
