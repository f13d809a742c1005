// Switching auto compare off suspends the card's compare-event thread once in that thread's life:
// quvex_close's single resume must be enough for it to leave on its own, and a thread of the
// next start-up must be suspended again even when it is given the old thread's handle value.
#include "compare_fixture.h"
#include "common/platform.h"

namespace quvex::test {
namespace {

class AutoCompareThread : public CompareTest {
protected:
    static plat::Handle compare_thread() { return card_table().runtime[0].compare_thread.handle; }

    // Two switch-offs on two axes of the card, then close: the thread was suspended once and
    // leaves by itself within close's first 100 ms wait.
    static void switch_off_twice_then_close() {
        const plat::Handle thread = compare_thread();
        ASSERT_NE(thread, plat::kNoHandle);
        EXPECT_EQ(quvex_sim_thread_suspend_count(thread), 0);
        ASSERT_EQ(quvex_set_auto_compare(0, 0), 0);
        ASSERT_EQ(quvex_set_auto_compare(3, 0), 0);
        EXPECT_EQ(quvex_sim_thread_suspend_count(thread), 1);

        const int terminated = quvex_sim_terminated_threads();
        const double start = quvex_sim_now();
        ASSERT_EQ(quvex_close(), 0);
        EXPECT_EQ(quvex_sim_terminated_threads(), terminated) << "it left on its own";
        EXPECT_LT(quvex_sim_now() - start, 0.1);
        EXPECT_EQ(quvex_sim_live_threads(), 0);
        EXPECT_EQ(quvex_sim_thread_suspend_count(thread), -1) << "its handle is closed";
    }
};

TEST_F(AutoCompareThread, SuspendedOnceInEachThreadsLifeEvenWhenItsHandleValueComesBack) {
    const plat::Handle first = compare_thread();
    switch_off_twice_then_close();

    // The closed values are handed out again, latest first: the new start-up's thread takes
    // the old thread's value, which a memory of suspended handle values would skip.
    std::int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), 0);
    ASSERT_EQ(compare_thread(), first);
    switch_off_twice_then_close();
}

TEST(SimHandles, ClosedValuesAreReusedLatestFirst) {
    reset_installation();
    const plat::Handle a = plat::event_create(nullptr, false, false);
    const plat::Handle b = plat::event_create(nullptr, false, false);
    plat::handle_close(a);
    plat::handle_close(b);
    const plat::Handle c = plat::event_create(nullptr, false, false);
    const plat::Handle d = plat::event_create(nullptr, false, false);
    EXPECT_EQ(c, b);
    EXPECT_EQ(d, a);
    EXPECT_EQ(quvex_sim_thread_suspend_count(c), -1) << "an event is no thread";
    plat::handle_close(c);
    plat::handle_close(d);
}

}  // namespace
}  // namespace quvex::test
