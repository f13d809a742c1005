// The callback threads of two cards and their compare-event threads running while two
// application threads make calls on other axes: every stop of a move calls back once, for its own
// axis, and nothing races (the ThreadSanitizer build runs this too).
#include <array>
#include <atomic>
#include <functional>
#include <thread>

#include "events_fixture.h"
#include "thread_support.h"

namespace quvex::test {
namespace {

class ConcurrentCallbacks : public EventsTest {
protected:
    ConcurrentCallbacks() : EventsTest(2) {}
};

TEST_F(ConcurrentCallbacks, EveryStopCallsBackOnceForItsAxisWhileOtherThreadsWork) {
    clear_callback_counts();
    auto& g_calls_per_axis = callbacks_per_axis();
    void* events[4] = {};
    for (int16_t card = 0; card < 2; ++card) {
        ASSERT_EQ(quvex_int_enable(card, events), 0);
        ASSERT_EQ(quvex_link_interrupt(card, count_callback), 0);
    }
    ASSERT_EQ(quvex_set_int_factor(0, 0x1), 0);  // axis 0 of card 0: interrupt on stop
    ASSERT_EQ(quvex_set_int_factor(4, 0x1), 0);  // axis 0 of card 1

    // Two application threads working on the other axes of each card the whole time.
    std::atomic<bool> stop{false};
    std::array<std::atomic<int>, 2> worker_calls{};
    auto worker = [&](int16_t axis, std::atomic<int>& calls) {
        while (!stop.load()) {
            double position = 0;
            uint16_t io = 0;
            quvex_get_position(axis, &position);
            quvex_get_io_status(axis, &io);
            quvex_set_int_factor(axis, 0);
            quvex_motion_done(axis);
            calls.fetch_add(1);
        }
    };
    std::thread a(worker, int16_t{1}, std::ref(worker_calls[0]));
    std::thread b(worker, int16_t{6}, std::ref(worker_calls[1]));
    struct StopWorkers {  // also when an assertion leaves the test early
        std::atomic<bool>& stop;
        std::thread& a;
        std::thread& b;
        ~StopWorkers() {
            stop.store(true);
            a.join();
            b.join();
        }
    } stop_workers{stop, a, b};
    // The moves start once both workers are calling, so they overlap whatever the host's
    // scheduling (the moves alone take a few milliseconds on the manual clock).
    ASSERT_TRUE(wait_wall([&] { return worker_calls[0].load() > 0 && worker_calls[1].load() > 0; }));

    constexpr int kMoves = 12;
    for (int i = 0; i < kMoves; ++i) {
        ASSERT_EQ(quvex_start_tr_move(0, 200, 1000, 20000, 0, 0), 0);
        ASSERT_EQ(quvex_start_tr_move(4, -200, 1000, 20000, 0, 0), 0);
        const bool called = advance_until(
            [&] { return g_calls_per_axis[0].load() == i + 1 && g_calls_per_axis[4].load() == i + 1; }, 2.0);
        ASSERT_TRUE(called) << "move " << i << ": " << g_calls_per_axis[0].load() << " and "
                            << g_calls_per_axis[4].load() << " callbacks";
    }
    for (std::size_t k = 0; k < 8; ++k) {
        if (k != 0 && k != 4) {
            EXPECT_EQ(g_calls_per_axis[k].load(), 0) << "axis " << k;
        }
    }
}

}  // namespace
}  // namespace quvex::test
