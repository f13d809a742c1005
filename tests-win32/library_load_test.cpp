// The DLLs as a Windows application loads them: the process guard, start-up without a card on
// the real library, and a card on the library over the virtual installation.
#include <gtest/gtest.h>

#include <string>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "win32_test_support.h"

namespace quvex::win32test {
namespace {

struct GuardCase {
    const char* dll;
    // The library over the virtual installation shares its process count among the processes
    // that name the same machine.
    const char* sim_machine;
};

class ProcessGuard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(ProcessGuard, SecondProcessIsRefusedWhileTheFirstKeepsWorking) {
    const GuardCase& c = GetParam();
    const std::string machine = c.sim_machine ? c.sim_machine + std::to_string(GetCurrentProcessId()) : "";
    ScopedEnvironment env("QUVEX_SIM_MACHINE", c.sim_machine ? machine.c_str() : nullptr);

    LoadedLibrary first(c.dll);
    ASSERT_TRUE(first.loaded()) << c.dll << " error " << GetLastError();
    auto* initial = first.function<decltype(quvex_initial)>("quvex_initial");
    auto* close = first.function<decltype(quvex_close)>("quvex_close");
    ASSERT_NE(initial, nullptr);
    ASSERT_NE(close, nullptr);

    // Twice: a refused load must give its count back, or the last load below would fail too.
    EXPECT_EQ(load_in_other_process(c.dll), kLoadRefused);
    EXPECT_EQ(load_in_other_process(c.dll), kLoadRefused);

    std::int16_t count = -7;
    EXPECT_EQ(initial(&count), QUVEX_ERR_NO_CARD);
    EXPECT_EQ(close(), QUVEX_OK);

    first.release();
    EXPECT_EQ(load_in_other_process(c.dll), kLoaded);
}

INSTANTIATE_TEST_SUITE_P(Dlls, ProcessGuard,
                         ::testing::Values(GuardCase{"quvex.dll", nullptr}, GuardCase{"quvex_sim.dll", "win32-guard-"}),
                         [](const auto& p) { return std::string(p.param.sim_machine ? "virtual" : "real"); });

// Without the card's driver no device opens: no card, the count untouched, every card absent.
TEST(RealLibrary, StartsWithoutCardAndAnswersNoCard) {
    LoadedLibrary lib("quvex.dll");
    ASSERT_TRUE(lib.loaded());
    auto* initial = lib.function<decltype(quvex_initial)>("quvex_initial");
    auto* card_status = lib.function<decltype(quvex_get_card_status)>("quvex_get_card_status");
    auto* close = lib.function<decltype(quvex_close)>("quvex_close");
    ASSERT_TRUE(initial && card_status && close);

    std::int16_t count = -7;
    EXPECT_EQ(initial(&count), QUVEX_ERR_NO_CARD);
    EXPECT_EQ(count, -7);
    std::uint16_t status = 0xBEEF;
    EXPECT_EQ(card_status(0, &status), QUVEX_ERR_CARD_NUMBER);
    EXPECT_EQ(status, 0xBEEF);
    EXPECT_EQ(close(), QUVEX_OK);
}

// The library over the virtual installation finds the cards installed through its own exports
// (in a process of its own, see run_virtual_cards).
TEST(VirtualLibrary, FindsInstalledCards) { EXPECT_EQ(run_in_other_process(kVirtualCardsOption), 0u); }

}  // namespace
}  // namespace quvex::win32test
