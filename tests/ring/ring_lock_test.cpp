// The ring lock: an identification keeps it from its request to its answer, and every other
// transfer on the ring takes it itself, so none reaches the window in between.
#include <chrono>
#include <cstdint>
#include <optional>
#include <functional>
#include <future>
#include <thread>

#include "ring_fixture.h"

namespace quvex::test {
namespace {

constexpr int kIdentified = 12;
constexpr int kOther = 3;
constexpr uint32_t kIdentifyCommand = 0x1300 + kIdentified;

struct Contender {
    const char* name;
    std::function<std::int16_t(ring::RingMaster&, std::uint16_t ring)> transfer;
};

// First access of `kind` at or after index `from`.
std::optional<quvex_sim_access> first_access(std::size_t from, int kind) {
    for (std::size_t i = from; i < quvex_sim_access_count(); ++i) {
        quvex_sim_access a{};
        quvex_sim_access_get(i, &a);
        if (a.kind == kind) return a;
    }
    return std::nullopt;
}

std::size_t index_of_identify_command() {
    for (std::size_t i = 0; i < quvex_sim_access_count(); ++i) {
        quvex_sim_access a{};
        quvex_sim_access_get(i, &a);
        if (a.kind == QUVEX_SIM_ACCESS_WINDOW_WRITE && a.value == kIdentifyCommand) return i;
    }
    return SIZE_MAX;
}

class IdentificationHoldsTheRing : public RingTest, public ::testing::WithParamInterface<Contender> {
protected:
    void TearDown() override {
        quvex_sim_clock_manual();
        RingTest::TearDown();
    }
};

TEST_P(IdentificationHoldsTheRing, OtherTransferWaitsUntilTheIdentificationEnds) {
    start_with_io_slaves({kOther, kIdentified});
    quvex_sim_ring_slave_silent(0, kIdentified, 1);  // no answer: the identification waits its 200 ms
    start_trace();
    quvex_sim_clock_realtime(1.0);  // both threads wait on the wall clock, nobody has to drive it

    auto identification = std::async(std::launch::async, [this] {
        uint8_t code = 0;
        return master().identify(kIdentified, &code);
    });
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (index_of_identify_command() == SIZE_MAX && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const std::size_t ident_at = index_of_identify_command();
    ASSERT_NE(ident_at, SIZE_MAX);

    EXPECT_EQ(GetParam().transfer(master(), ring_u()), 0);
    EXPECT_EQ(identification.get(), -11);

    quvex_sim_access ident{};
    quvex_sim_access_get(ident_at, &ident);
    // The cyclic write reads its word before it takes the lock; its write, like every write of a
    // send or a request, comes only after the identification has given the lock back.
    const auto next_write = first_access(ident_at + 1, QUVEX_SIM_ACCESS_WINDOW_WRITE);
    ASSERT_TRUE(next_write.has_value());
    EXPECT_GE(next_write->time - ident.time, 0.2 - 1e-9) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Ring, IdentificationHoldsTheRing,
    ::testing::Values(Contender{"request",
                                [](ring::RingMaster& m, std::uint16_t) {
                                    uint32_t value = 0;
                                    return m.request(kOther, 0x00E4, &value);
                                }},
                      Contender{"send",
                                [](ring::RingMaster& m, std::uint16_t) {
                                    const uint16_t words[] = {0x0090, 0x0001};
                                    return m.send(kOther, words);
                                }},
                      Contender{"cyclic_write",
                                [](ring::RingMaster&, std::uint16_t ring) {
                                    return static_cast<std::int16_t>(kring_io_output(ring, kOther, 1, 0x5A));
                                }}),
    [](const ::testing::TestParamInfo<Contender>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quvex::test
