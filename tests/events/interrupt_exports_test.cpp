#include <cstdio>
#include <string>
#include <vector>

#include "card_events.h"
#include "events_fixture.h"
#include "card/card_table.h"
#include "quvex/sim_axis.h"

namespace quvex::test {
namespace {

class TwoCards : public EventsTest {
protected:
    TwoCards() : EventsTest(2) {}
};

// Signals axis event k of a driver device as the driver does, from outside the library.
void signal_axis_event(int device, int k) {
    char name[32];
    std::snprintf(name, sizeof name, "PCIQUVEXW%dE%d", device, k);
    const plat::Handle ev = plat::event_open(name);
    ASSERT_NE(ev, plat::kNoHandle);
    plat::event_set(ev);
    plat::handle_close(ev);
    quvex_sim_advance(0.001);  // the callback thread runs until it waits again
}

struct StatusCase {
    const char* name;
    quvex_status (*call)();
    quvex_status expected;
};

TEST_F(TwoCards, RefusalsComeInTheirCheckOrder) {
    const StatusCase cases[] = {
        {"enable_card_12", [] { return quvex_int_enable(12, nullptr); }, QUVEX_ERR_CARD_NUMBER},
        {"enable_absent_card", [] { return quvex_int_enable(2, nullptr); }, QUVEX_ERR_CARD_NUMBER},
        {"disable_not_enabled", [] { return quvex_int_disable(0); }, QUVEX_ERR_INT_NOT_ENABLED},
        {"link_not_enabled", [] { return quvex_link_interrupt(0, record_axis); }, QUVEX_ERR_INT_NOT_ENABLED},
        // The card number is looked at before the enable flag, which only a card in the table has.
        {"link_card_12", [] { return quvex_link_interrupt(12, record_axis); }, QUVEX_ERR_CARD_NUMBER},
        {"link_negative_card", [] { return quvex_link_interrupt(-1, record_axis); }, QUVEX_ERR_CARD_NUMBER},
        {"factor_axis_48", [] { return quvex_set_int_factor(48, 1); }, QUVEX_ERR_CARD_NUMBER},
        {"status_absent_axis", [] { return quvex_get_int_status(8, nullptr, nullptr); }, QUVEX_ERR_CARD_NUMBER},
        {"enable", [] { return quvex_int_enable(0, nullptr); }, QUVEX_OK},
        {"enable_twice", [] { return quvex_int_enable(0, nullptr); }, QUVEX_ERR_INT_ENABLED},
        {"link_card_12_while_0_enabled", [] { return quvex_link_interrupt(12, record_axis); }, QUVEX_ERR_CARD_NUMBER},
    };
    start_trace();
    for (const StatusCase& c : cases) EXPECT_EQ(c.call(), c.expected) << c.name;
    EXPECT_EQ(card_events(), std::vector<CardEvent>{}) << "enabling and refusals touch no port";
}

TEST_F(TwoCards, EnableHandsOutTheFourAxisEventsInOrder) {
    void* handles[5] = {};
    ASSERT_EQ(quvex_int_enable(1, handles), QUVEX_OK);
    EXPECT_EQ(handles[4], nullptr) << "four handles, nothing past them";
    for (int k = 0; k < 4; ++k) {
        ASSERT_NE(handles[k], nullptr) << k;
        char name[32];
        std::snprintf(name, sizeof name, "PCIQUVEXW1E%d", k);
        EXPECT_EQ(quvex_sim_event_state(name), 0) << k;
        plat::event_set(reinterpret_cast<plat::Handle>(handles[k]));
        EXPECT_EQ(quvex_sim_event_state(name), 1) << "handle " << k << " is E" << k;
    }
    EXPECT_EQ(quvex_int_disable(1), QUVEX_OK);
    EXPECT_EQ(quvex_int_enable(1, nullptr), QUVEX_OK) << "enable again after disable";
}

TEST_F(TwoCards, CallbackGetsTheAxisNoOfTheSignalledEvent) {
    ASSERT_EQ(quvex_int_enable(1, nullptr), QUVEX_OK);
    ASSERT_EQ(quvex_link_interrupt(1, record_axis), QUVEX_OK);
    signal_axis_event(1, 2);
    EXPECT_EQ(g_callback_axis.load(), 6);
    signal_axis_event(1, 0);
    EXPECT_EQ(g_callback_axis.load(), 4);
    EXPECT_EQ(g_callback_calls.load(), 2);
}

TEST_F(EventsTest, LinkingAgainReplacesTheCallbackOnTheSameThread) {
    ASSERT_EQ(quvex_int_enable(0, nullptr), QUVEX_OK);
    ASSERT_EQ(quvex_link_interrupt(0, nullptr), QUVEX_OK);
    const int threads = quvex_sim_live_threads();
    signal_axis_event(0, 1);  // a null callback is skipped
    EXPECT_EQ(g_callback_calls.load(), 0);
    ASSERT_EQ(quvex_link_interrupt(0, record_axis), QUVEX_OK);
    EXPECT_EQ(quvex_sim_live_threads(), threads);
    signal_axis_event(0, 3);
    EXPECT_EQ(g_callback_axis.load(), 3);
}

TEST_F(EventsTest, ThreadThatCannotBeCreatedGives31) {
    ASSERT_EQ(quvex_int_enable(0, nullptr), QUVEX_OK);
    quvex_sim_fail_thread_creations(1);
    EXPECT_EQ(quvex_link_interrupt(0, record_axis), QUVEX_ERR_CALLBACK_THREAD);
    EXPECT_EQ(quvex_link_interrupt(0, record_axis), QUVEX_OK) << "a later link creates it";
}

TEST_F(EventsTest, CloseEndsACallbackThreadStuckInItsWaitAfterItsGrace) {
    ASSERT_EQ(quvex_int_enable(0, nullptr), QUVEX_OK);
    ASSERT_EQ(quvex_link_interrupt(0, record_axis), QUVEX_OK);
    quvex_sim_advance(0.01);
    const int terminated = quvex_sim_terminated_threads();
    const double start = quvex_sim_now();
    ASSERT_EQ(quvex_close(), QUVEX_OK);
    EXPECT_NEAR(quvex_sim_now() - start, 1.1, 1e-9);
    EXPECT_EQ(quvex_sim_terminated_threads() - terminated, 1);
    EXPECT_EQ(quvex_sim_live_threads(), 0);
    EXPECT_EQ(card_table().runtime[0].callback_thread.handle, plat::kNoHandle);
}

// A wait already under way keeps its events when they are closed; the waits after it fail at
// once, and the thread pauses between them until the events are open again.
TEST_F(EventsTest, ClosedEventsPauseTheThreadInsteadOfSpinningAndOpenAgainResumeIt) {
    ASSERT_EQ(quvex_int_enable(0, nullptr), QUVEX_OK);
    ASSERT_EQ(quvex_link_interrupt(0, record_axis), QUVEX_OK);
    ASSERT_EQ(quvex_int_disable(0), QUVEX_OK);
    signal_axis_event(0, 2);
    EXPECT_EQ(g_callback_axis.load(), 2);
    quvex_sim_advance(1.0);  // a spinning thread would never let the clock move on
    ASSERT_EQ(quvex_int_enable(0, nullptr), QUVEX_OK);
    quvex_sim_advance(0.2);
    signal_axis_event(0, 1);
    EXPECT_EQ(g_callback_axis.load(), 1);

    ASSERT_EQ(quvex_int_disable(0), QUVEX_OK);
    signal_axis_event(0, 3);
    const int terminated = quvex_sim_terminated_threads();
    ASSERT_EQ(quvex_close(), QUVEX_OK);
    EXPECT_EQ(quvex_sim_terminated_threads(), terminated) << "a pausing thread leaves by itself";
    EXPECT_EQ(quvex_sim_live_threads(), 0);
    EXPECT_EQ(g_callback_calls.load(), 3);
}

TEST_F(EventsTest, InterruptFactorGoesToItsRegisterAndMirror) {
    start_trace();
    ASSERT_EQ(quvex_set_int_factor(1, 0x80001021u), QUVEX_OK);
    EXPECT_EQ(card_events({.kind = QUVEX_SIM_EV_CHIP_REG_WRITE, .device = 0, .axis = Y}),
              std::vector<CardEvent>{Y.write(reg::kIntFactor, 0x80001021u)});
    EXPECT_EQ(axis_record(1).mirror[chip::kMirrorIntFactor], 0x80001021u);
}

}  // namespace
}  // namespace quvex::test
