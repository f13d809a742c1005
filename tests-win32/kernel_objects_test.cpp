// Named events, waits, threads and locks of the Win32 backend on the real kernel objects.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "platform/platform.h"
#include "win32_test_support.h"

namespace quvex::win32test {
namespace {

std::string unique_name(const char* stem) { return std::string(stem) + std::to_string(GetCurrentProcessId()); }

struct EventCase {
    const char* name;
    bool manual_reset;
};

class NamedEvent : public ::testing::TestWithParam<EventCase> {};

// The driver creates the event; the library opens it by name with the access it asks for and
// must be able both to wait on it and to set it.
TEST_P(NamedEvent, OpenedEventSignalsTheCreatedOne) {
    const EventCase& c = GetParam();
    const std::string name = unique_name(c.manual_reset ? "PCIQUVEXWTESTM" : "PCIQUVEXWTESTA");
    const plat::Handle driver_side = plat::event_create(name.c_str(), c.manual_reset, false);
    ASSERT_NE(driver_side, plat::kNoHandle);
    const plat::Handle library_side = plat::event_open(name.c_str());
    ASSERT_NE(library_side, plat::kNoHandle);

    EXPECT_EQ(plat::wait_one(library_side, 0), plat::WaitResult::timeout);
    EXPECT_TRUE(plat::event_set(library_side));
    EXPECT_EQ(plat::wait_one(driver_side, 0), plat::WaitResult::signalled);
    // An auto-reset event is consumed by the wait; a manual-reset one stays set until reset.
    EXPECT_EQ(plat::wait_one(library_side, 0),
              c.manual_reset ? plat::WaitResult::signalled : plat::WaitResult::timeout);
    EXPECT_TRUE(plat::event_reset(library_side));
    EXPECT_EQ(plat::wait_one(driver_side, 0), plat::WaitResult::timeout);

    plat::handle_close(library_side);
    plat::handle_close(driver_side);
}

INSTANTIATE_TEST_SUITE_P(Resets, NamedEvent,
                         ::testing::Values(EventCase{"auto", false}, EventCase{"manual", true}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(NamedEventOpen, AbsentEventGivesNoHandle) {
    EXPECT_EQ(plat::event_open(unique_name("PCIQUVEXWABSENT").c_str()), plat::kNoHandle);
    EXPECT_EQ(plat::device_open("\\\\.\\QUVEXSYSW0"), plat::kNoHandle);  // no driver under test
}

TEST(WaitAny, ReportsTheLowestSignalledEvent) {
    plat::Handle events[3];
    for (auto& e : events) e = plat::event_create(nullptr, true, false);
    std::size_t index = 99;
    EXPECT_EQ(plat::wait_any(events, 3, 0, &index), plat::WaitResult::timeout);
    plat::event_set(events[2]);
    plat::event_set(events[1]);
    EXPECT_EQ(plat::wait_any(events, 3, 0, &index), plat::WaitResult::signalled);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(plat::wait_any(events, 0, 0, &index), plat::WaitResult::failed);
    for (auto e : events) plat::handle_close(e);
}

struct Counter {
    std::atomic<int> runs{0};
    std::atomic<long long> sum{0};
};

std::uint32_t count_once(void* arg) {
    auto* c = static_cast<std::pair<Counter*, int>*>(arg);
    c->first->sum += c->second;
    ++c->first->runs;
    return static_cast<std::uint32_t>(c->second);
}

// More threads than start slots, one after another: every thread gets its own argument and
// returns its own exit code.
TEST(Threads, EachThreadRunsWithItsArgument) {
    constexpr int kThreads = 150;
    Counter counter;
    std::pair<Counter*, int> args[kThreads];
    for (int i = 0; i < kThreads; ++i) {
        args[i] = {&counter, i + 1};
        std::uint32_t id = 0;
        const plat::Handle t = plat::thread_create(count_once, &args[i], &id);
        ASSERT_NE(t, plat::kNoHandle);
        EXPECT_NE(id, 0u);
        ASSERT_EQ(plat::wait_one(t, 10000), plat::WaitResult::signalled);
        DWORD code = 0;
        GetExitCodeThread(reinterpret_cast<HANDLE>(t), &code);
        EXPECT_EQ(code, static_cast<DWORD>(i + 1));
        plat::handle_close(t);
    }
    EXPECT_EQ(counter.runs.load(), kThreads);
    EXPECT_EQ(counter.sum.load(), static_cast<long long>(kThreads) * (kThreads + 1) / 2);
}

struct Spinner {
    std::atomic<bool> stop{false};
    std::atomic<long long> turns{0};
};

std::uint32_t spin(void* arg) {
    auto* s = static_cast<Spinner*>(arg);
    while (!s->stop.load()) {
        ++s->turns;
        plat::sleep_ms(1);
    }
    return 0;
}

TEST(Threads, SuspendedThreadMakesNoProgressUntilResumed) {
    Spinner s;
    const plat::Handle t = plat::thread_create(spin, &s, nullptr);
    ASSERT_NE(t, plat::kNoHandle);
    EXPECT_TRUE(plat::thread_set_priority(t, plat::ThreadPriority::above_normal));
    while (s.turns.load() < 3) plat::sleep_ms(1);
    ASSERT_TRUE(plat::thread_suspend(t));
    plat::sleep_ms(20);  // let a turn in flight finish
    const long long frozen = s.turns.load();
    plat::sleep_ms(100);
    EXPECT_EQ(s.turns.load(), frozen);
    ASSERT_TRUE(plat::thread_resume(t));
    while (s.turns.load() <= frozen) plat::sleep_ms(1);
    s.stop = true;
    EXPECT_EQ(plat::wait_one(t, 10000), plat::WaitResult::signalled);
    plat::handle_close(t);
}

std::uint32_t wait_forever(void* arg) {
    plat::wait_one(*static_cast<plat::Handle*>(arg), plat::kWaitForever);
    return 1;
}

TEST(Threads, TerminatedThreadEndsWithTheGivenCode) {
    plat::Handle never = plat::event_create(nullptr, true, false);
    const plat::Handle t = plat::thread_create(wait_forever, &never, nullptr);
    ASSERT_NE(t, plat::kNoHandle);
    EXPECT_EQ(plat::wait_one(t, 50), plat::WaitResult::timeout);
    EXPECT_TRUE(plat::thread_terminate(t, 7));
    ASSERT_EQ(plat::wait_one(t, 10000), plat::WaitResult::signalled);
    DWORD code = 0;
    GetExitCodeThread(reinterpret_cast<HANDLE>(t), &code);
    EXPECT_EQ(code, 7u);
    plat::handle_close(t);
    plat::handle_close(never);
}

struct Shared {
    plat::Lock lock;
    long long value = 0;  // deliberately not atomic: the lock alone protects it
};

std::uint32_t add_many(void* arg) {
    auto* s = static_cast<Shared*>(arg);
    for (int i = 0; i < 20000; ++i) {
        plat::LockGuard g(s->lock);
        s->value = s->value + 1;
    }
    return 0;
}

TEST(Locks, ExcludeEachOther) {
    Shared s;
    plat::lock_init(s.lock);
    plat::Handle threads[4];
    for (auto& t : threads) t = plat::thread_create(add_many, &s, nullptr);
    for (auto t : threads) {
        ASSERT_NE(t, plat::kNoHandle);
        EXPECT_EQ(plat::wait_one(t, 30000), plat::WaitResult::signalled);
        plat::handle_close(t);
    }
    EXPECT_EQ(s.value, 80000);
    plat::lock_destroy(s.lock);
}

// Weekday from the date (0 = Sunday), to check that the fields are the ones they claim to be.
int weekday_of(int y, int m, int d) {
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (m < 3) y -= 1;
    return (y + y / 4 - y / 100 + y / 400 + offsets[m - 1] + d) % 7;
}

TEST(LocalTime, FieldsAreConsistent) {
    const plat::LocalTime t = plat::local_time();
    EXPECT_GE(t.year, 2020);
    EXPECT_TRUE(t.month >= 1 && t.month <= 12) << t.month;
    EXPECT_TRUE(t.day >= 1 && t.day <= 31) << t.day;
    EXPECT_EQ(t.weekday, weekday_of(t.year, t.month, t.day));
    EXPECT_TRUE(t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 62);
    EXPECT_TRUE(t.millisecond >= 0 && t.millisecond < 1000);
}

}  // namespace
}  // namespace quvex::win32test
