// A callback runs on the card's callback thread with no library lock held, so it may call the
// library itself: status reads, the interrupt status, a new move on its own axis, ring transfers
// (an identification among them, which needs the ring's watchdog thread to answer). None of these
// may deadlock, and each must work as it does from the application's thread. quvex_close while
// callbacks keep coming must end the threads and return.
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "common/platform.h"
#include "quvex/kring_m1.h"
#include "sim_fixture.h"
#include "thread_support.h"

namespace quvex::test {
namespace {

constexpr int16_t kAxis = 1;
constexpr uint16_t kRing = 0;
constexpr uint16_t kIoSlave = 1;
constexpr uint16_t kModuleSlave = 4;
constexpr double kStep = 100;

// One export called from inside the callback; true when it answered as from any other thread.
struct ReentrantCall {
    const char* name;
    std::function<bool(int16_t axis, int call)> works;
};

const ReentrantCall kCalls[] = {
    {"io status", [](int16_t axis, int) { uint16_t io = 0xFFFF; return quvex_get_io_status(axis, &io) == 0 && io != 0xFFFF; }},
    {"motion done", [](int16_t axis, int) { return quvex_motion_done(axis) == 0; }},
    {"interrupt status shows the stop",
     [](int16_t axis, int) {
         uint32_t events = 0, reasons = 0;
         return quvex_get_int_status(axis, &events, &reasons) == 0 && (events & 0x1u) != 0;
     }},
    {"position after the moves so far",
     [](int16_t axis, int call) {
         double position = -1;
         return quvex_get_position(axis, &position) == 0 && position == kStep * (call + 1);
     }},
    {"ring output and input",
     [](int16_t, int call) {
         const auto v = static_cast<uint8_t>(0x30 + call);
         return kring_io_output(kRing, kIoSlave, 0, v) == 0 && kring_io_input(kRing, kIoSlave, 0) == v;
     }},
    {"module message and reply",
     [](int16_t, int call) {
         uint32_t command = 0;
         return kring_m1_set_command(kRing, kModuleSlave, call) == 0 &&
                kring_m1_get_command(kRing, kModuleSlave, &command) == 0 && command == static_cast<uint32_t>(call);
     }},
    {"identification", [](int16_t, int) { uint8_t id = 0; return kring_id_data_device(kRing, kIoSlave, &id) == 0; }},
};
constexpr int kCallCount = static_cast<int>(std::size(kCalls));

// How many callbacks start the next move; the last callback starts none.
std::atomic<int> g_moves_to_chain{0};
std::atomic<int> g_calls_made{0};
std::array<std::atomic<int>, kCallCount> g_worked{};
std::atomic<int> g_moves_refused{0};

void QUVEX_CALL call_exports(int32_t axis_no) {
    const auto axis = static_cast<int16_t>(axis_no);
    const int call = g_calls_made.fetch_add(1);
    for (int k = 0; k < kCallCount; ++k) {
        if (kCalls[k].works(axis, call)) g_worked[static_cast<std::size_t>(k)].fetch_add(1);
    }
    if (g_moves_to_chain.fetch_sub(1) > 0 && quvex_start_tr_move(axis, kStep, 1000, 20000, 0, 0) != 0) {
        g_moves_refused.fetch_add(1);
    }
}

// A callback that keeps its axis moving for as long as it is called.
std::atomic<int> g_busy_calls{0};
void QUVEX_CALL keep_moving(int32_t axis_no) {
    g_busy_calls.fetch_add(1);
    double position = 0;
    for (int i = 0; i < 20; ++i) quvex_get_position(static_cast<int16_t>(axis_no), &position);
    quvex_start_tr_move(static_cast<int16_t>(axis_no), kStep, 1000, 20000, 0, 0);
}

// A callback that waits until another application thread has made card and ring calls: they can
// only get through if the callback thread holds no library lock while it calls back.
std::atomic<bool> g_callback_entered{false};
std::atomic<bool> g_other_thread_done{false};
std::atomic<bool> g_waited_in_vain{false};
void QUVEX_CALL wait_for_other_thread(int32_t) {
    g_callback_entered.store(true);
    if (!wait_wall([] { return g_other_thread_done.load(); }, std::chrono::seconds(5))) g_waited_in_vain.store(true);
}

class CallbackReentry : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        g_calls_made.store(0);
        g_moves_refused.store(0);
        g_busy_calls.store(0);
        g_callback_entered.store(false);
        g_other_thread_done.store(false);
        g_waited_in_vain.store(false);
        for (auto& w : g_worked) w.store(0);
        ASSERT_EQ(quvex_open_kring(0), kRing);
        ASSERT_EQ(quvex_sim_ring_add_io_slave(0, kIoSlave, 0x81, 0x00100000), 0);
        ASSERT_EQ(quvex_sim_ring_add_m1_module(0, kModuleSlave), 0);
        ASSERT_EQ(kring_start_ring(kRing), 0);
        ASSERT_EQ(kring_m1_initial(kRing, kModuleSlave), 0);
        void* event = reinterpret_cast<void*>(plat::event_create(nullptr, true, false));
        ASSERT_EQ(kring_enable_soft_watchdog(kRing, &event), 0);
        ASSERT_EQ(quvex_int_enable(0, nullptr), 0);
        ASSERT_EQ(quvex_set_int_factor(kAxis, 0x1), 0);  // interrupt on stop
    }
    void TearDown() override {
        kring_close();
        CardTest::TearDown();
    }
};

TEST_F(CallbackReentry, ExportsCalledFromTheCallbackWorkAndTheNextMoveStartsThere) {
    constexpr int kChained = 5;
    g_moves_to_chain.store(kChained);
    ASSERT_EQ(quvex_link_interrupt(0, call_exports), 0);
    ASSERT_EQ(quvex_start_tr_move(kAxis, kStep, 1000, 20000, 0, 0), 0);

    const bool all_called = advance_until([] { return g_calls_made.load() == kChained + 1 && quvex_motion_done(kAxis) == 0; }, 10.0);
    ASSERT_TRUE(all_called) << g_calls_made.load() << " callbacks";
    quvex_sim_advance(0.5);  // nothing further arrives
    EXPECT_EQ(g_calls_made.load(), kChained + 1);
    EXPECT_EQ(g_moves_refused.load(), 0);
    for (int k = 0; k < kCallCount; ++k) {
        EXPECT_EQ(g_worked[static_cast<std::size_t>(k)].load(), kChained + 1) << kCalls[k].name;
    }
    double position = 0;
    ASSERT_EQ(quvex_get_position(kAxis, &position), 0);
    EXPECT_EQ(position, kStep * (kChained + 1));
}

TEST_F(CallbackReentry, OtherThreadsCallsGoThroughWhileTheCallbackRuns) {
    ASSERT_EQ(quvex_link_interrupt(0, wait_for_other_thread), 0);
    std::thread other([] {
        if (!wait_wall([] { return g_callback_entered.load(); })) return;
        double position = 0;
        uint16_t io = 0;
        quvex_get_position(0, &position);
        quvex_get_io_status(2, &io);
        kring_io_output(kRing, kIoSlave, 1, 0x5A);
        g_other_thread_done.store(true);
    });
    ASSERT_EQ(quvex_start_tr_move(kAxis, kStep, 1000, 20000, 0, 0), 0);
    const bool called = advance_until([] { return g_callback_entered.load(); }, 2.0);
    other.join();
    ASSERT_TRUE(called);
    EXPECT_TRUE(g_other_thread_done.load());
    EXPECT_FALSE(g_waited_in_vain.load()) << "the other thread's calls waited for the callback to return";
}

TEST_F(CallbackReentry, CloseWhileCallbacksKeepComingEndsEveryCardThread) {
    ASSERT_EQ(quvex_link_interrupt(0, keep_moving), 0);
    ASSERT_EQ(quvex_start_tr_move(kAxis, kStep, 1000, 20000, 0, 0), 0);
    ASSERT_TRUE(advance_until([] { return g_busy_calls.load() >= 3; }, 5.0));
    kring_close();  // the watchdog goes first, so only the card's threads are left

    const double before = quvex_sim_now();
    const int before_close = g_busy_calls.load();
    ASSERT_EQ(quvex_close(), 0);
    EXPECT_GT(g_busy_calls.load(), before_close) << "a callback ran, and made its calls, while quvex_close waited";
    EXPECT_LE(quvex_sim_now() - before, 1.2 + 0.2) << "the callback thread left within its grace or was ended";
    quvex_sim_advance(0.5);  // a terminated thread ends at its next wait
    EXPECT_EQ(quvex_sim_live_threads(), 0);
    const int after_close = g_busy_calls.load();
    quvex_sim_advance(1.0);
    EXPECT_EQ(g_busy_calls.load(), after_close) << "no callback after quvex_close";
}

}  // namespace
}  // namespace quvex::test
