// Named events, waits and threads of the Win32 backend on the real kernel objects.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "common/platform.h"
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

}  // namespace
}  // namespace quvex::win32test
