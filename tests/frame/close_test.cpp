// Shut-down: every card's worker thread leaves, a stuck one is ended after its grace time.
#include "card_events.h"
#include "card/card_table.h"
#include "common/platform.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {

TEST(Close, EveryCardThreadLeavesOnItsOwn) {
    install_cards({0, 1, 2});
    const int terminated_before = quvex_sim_terminated_threads();
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    EXPECT_EQ(quvex_sim_live_threads(), 3);

    EXPECT_EQ(quvex_close(), QUVEX_OK);
    EXPECT_EQ(quvex_sim_live_threads(), 0);
    EXPECT_EQ(quvex_sim_terminated_threads(), terminated_before);
    EXPECT_EQ(quvex_sim_now(), 0.0) << "threads woken by close leave before it looks at them";
    for (int card = 0; card < 3; ++card) EXPECT_EQ(card_table().runtime[card].compare_thread.alive.load(), 0);
}

// A second quvex_initial finds the devices still open and forgets the cards, so quvex_close
// no longer reaches their threads. Resetting the installation is a new machine: those threads
// end there instead of waiting for ever on events no one will set.
TEST(Close, ResetEndsThreadsThatCloseCanNoLongerReach) {
    install_cards({0, 1});
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    ASSERT_EQ(quvex_initial(&count), QUVEX_ERR_NO_CARD);
    EXPECT_EQ(quvex_close(), QUVEX_OK);
    EXPECT_EQ(quvex_sim_live_threads(), 2);

    quvex_sim_reset();
    EXPECT_EQ(quvex_sim_live_threads(), 0);
}

TEST(Close, ThreadThatNeverLeavesIsTerminatedAfterElevenWaits) {
    install_cards({0, 1});
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    const int terminated_before = quvex_sim_terminated_threads();
    // Card 1's compare event no longer reaches its thread: the thread sleeps on through close.
    quvex_sim_event_deaf("PCIQUVEXW1E4", 1);
    const double start = quvex_sim_now();

    EXPECT_EQ(quvex_close(), QUVEX_OK);
    // Card 0's thread leaves as soon as it is woken; card 1's is waited for eleven times.
    EXPECT_NEAR(quvex_sim_now() - start, 1.1, 1e-9);
    EXPECT_EQ(quvex_sim_terminated_threads(), terminated_before + 1);
    EXPECT_EQ(quvex_sim_live_threads(), 0);
}

// Switching auto compare off suspends the compare-event thread; close resumes it first, so it
// wakes on E4 and leaves by itself instead of being terminated.
TEST(Close, SuspendedCompareThreadIsResumedAndLeavesOnItsOwn) {
    install_cards({0});
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    ASSERT_TRUE(plat::thread_suspend(card_table().runtime[0].compare_thread.handle));
    const int terminated_before = quvex_sim_terminated_threads();
    const double start = quvex_sim_now();

    EXPECT_EQ(quvex_close(), QUVEX_OK);
    EXPECT_EQ(quvex_sim_terminated_threads(), terminated_before);
    EXPECT_LT(quvex_sim_now() - start, 0.1);
    EXPECT_EQ(quvex_sim_live_threads(), 0);
}

// A worker that clears its alive flag at `leave_ms` and then still needs time to return.
struct LateLeaver {
    const char* name;
    std::uint32_t leave_ms;
    bool terminated;
    double close_seconds;
};

std::uint32_t g_leave_ms = 0;

std::uint32_t late_leaver_main(void* raw) {
    auto* worker = static_cast<WorkerThread*>(raw);
    plat::sleep_ms(g_leave_ms);
    worker->alive.store(0);
    plat::sleep_ms(100);
    return 0;
}

class CloseWaitsForWorker : public ::testing::TestWithParam<LateLeaver> {};

// Close sleeps 100 ms while the flag is set; after the eleventh sleep it terminates the worker
// without looking at the flag again, even if the worker cleared it during that sleep.
TEST_P(CloseWaitsForWorker, TerminatesAfterTheEleventhSleepWhateverTheFlagSays) {
    const LateLeaver& c = GetParam();
    install_cards({0});
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    WorkerThread& worker = card_table().runtime[0].callback_thread;
    g_leave_ms = c.leave_ms;
    worker.alive.store(1);
    worker.run.store(1);
    worker.handle = plat::thread_create(late_leaver_main, &worker, &worker.id);
    ASSERT_NE(worker.handle, plat::kNoHandle);
    const int terminated_before = quvex_sim_terminated_threads();
    const double start = quvex_sim_now();

    EXPECT_EQ(quvex_close(), QUVEX_OK);
    EXPECT_NEAR(quvex_sim_now() - start, c.close_seconds, 1e-9) << c.name;
    EXPECT_EQ(quvex_sim_terminated_threads() - terminated_before, c.terminated ? 1 : 0) << c.name;
    EXPECT_EQ(worker.alive.load(), 0) << c.name;
    EXPECT_EQ(worker.handle, plat::kNoHandle) << c.name;
    quvex_sim_advance(0.2);  // a worker that was left alone returns by now
    EXPECT_EQ(quvex_sim_live_threads(), 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Close, CloseWaitsForWorker,
    ::testing::Values(LateLeaver{"leaves_during_the_tenth_sleep", 950, false, 1.0},
                      LateLeaver{"leaves_during_the_eleventh_sleep", 1050, true, 1.1},
                      LateLeaver{"never_leaves", 5000, true, 1.1}),
    [](const ::testing::TestParamInfo<LateLeaver>& p) { return std::string(p.param.name); });

TEST(Close, WritesTheCardPortsAndReleasesTheDevices) {
    install_cards({0});
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    quvex_sim_trace_clear();
    quvex_sim_trace_enable(1);
    ASSERT_EQ(quvex_close(), QUVEX_OK);
    const std::vector<CardEvent> expected = {
        card_port_write(card_port::kCardControl, 0),
        // Interrupt control switched off, then the bridge interrupt step of close: both arm alike.
        bridge_read8(bridge::kInterrupt, 0), bridge_write8(bridge::kInterrupt, bridge::kInterruptArm),
        bridge_read8(bridge::kInterrupt, 0), bridge_write8(bridge::kInterrupt, bridge::kInterruptArm),
    };
    EXPECT_EQ(card_events(), expected);
    quvex_sim_card_info info{};
    quvex_sim_card_info_get(0, &info);
    EXPECT_EQ(info.open, 0);
    EXPECT_EQ(card_record(0).present, 1) << "records stay filled after close";
}

TEST(Close, CardsCanBeOpenedAgainAfterClose) {
    install_cards({0});
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    ASSERT_EQ(quvex_close(), QUVEX_OK);
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(quvex_sim_live_threads(), 1);
    EXPECT_EQ(quvex_close(), QUVEX_OK);
}

TEST(Close, MissingCompareEventEndsTheThreadInsteadOfSpinning) {
    install_cards({0});
    quvex_sim_set_driver_faults(0, QUVEX_SIM_NO_COMPARE_EVENT);
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    EXPECT_EQ(card_table().runtime[0].events[kCompareEvent], plat::kNoHandle);
    quvex_sim_advance(0.001);  // lets the thread run until it blocks or leaves
    EXPECT_EQ(quvex_sim_live_threads(), 0);
    EXPECT_EQ(card_table().runtime[0].compare_thread.alive.load(), 0);
    EXPECT_EQ(quvex_close(), QUVEX_OK);
    EXPECT_LT(quvex_sim_now(), 0.1);
}

}  // namespace
}  // namespace quvex::test
