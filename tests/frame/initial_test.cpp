// Card discovery, start-up programming and shut-down.
#include <cstring>
#include <utility>

#include "card_events.h"
#include "card/card_table.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {

struct DiscoveryCase {
    const char* name;
    std::vector<int> devices;
    std::vector<std::pair<int, unsigned>> faults;
    quvex_status status;
    int16_t count;                     // expected count, or the untouched sentinel when no card
    std::vector<int> device_of_card;   // device number behind each card number
};

class Discovery : public ::testing::TestWithParam<DiscoveryCase> {};

TEST_P(Discovery, FindsCardsInDeviceOrder) {
    const DiscoveryCase& c = GetParam();
    reset_installation();
    for (int d : c.devices) quvex_sim_add_card(d);
    for (auto [d, f] : c.faults) quvex_sim_set_driver_faults(d, f);
    const std::int16_t before_max = card_table().max_card;

    int16_t count = -7;
    EXPECT_EQ(quvex_initial(&count), c.status);
    EXPECT_EQ(count, c.count);
    if (c.status == QUVEX_OK) {
        EXPECT_EQ(card_table().max_card, c.count - 1);
    } else {
        EXPECT_EQ(card_table().max_card, before_max);
    }
    for (std::size_t card = 0; card < c.device_of_card.size(); ++card) {
        quvex_sim_card_info info{};
        ASSERT_EQ(quvex_sim_card_info_get(c.device_of_card[card], &info), 0);
        const CardRecord& rec = card_table().cards[card];
        EXPECT_EQ(rec.present, 1);
        EXPECT_EQ(rec.device_number, c.device_of_card[card]);
        EXPECT_EQ(rec.chip_base, info.chip_base);
        EXPECT_EQ(rec.bridge_base, info.bridge_base);
        EXPECT_EQ(rec.board_base, info.board_base);
        EXPECT_EQ(rec.irq, info.irq);
        EXPECT_EQ(rec.compare_area, info.compare_area);
        EXPECT_EQ(rec.ring_window, info.ring_window);
    }
    for (std::size_t card = c.device_of_card.size(); card < kMaxCards; ++card) {
        EXPECT_EQ(card_table().cards[card].present, 0) << "card " << card;
    }
    // Each card's compare-event thread waits on the E4 of its own device; one that found no
    // event would have left by now.
    quvex_sim_advance(0.001);
    EXPECT_EQ(quvex_sim_live_threads(), static_cast<int>(c.device_of_card.size()));
    quvex_close();
}

INSTANTIATE_TEST_SUITE_P(
    Cards, Discovery,
    ::testing::Values(
        DiscoveryCase{"none", {}, {}, QUVEX_ERR_NO_CARD, -7, {}},
        DiscoveryCase{"one", {0}, {}, QUVEX_OK, 1, {0}},
        DiscoveryCase{"two", {0, 1}, {}, QUVEX_OK, 2, {0, 1}},
        DiscoveryCase{"twelve", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, {}, QUVEX_OK, 12,
                      {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        DiscoveryCase{"gaps", {2, 5, 11}, {}, QUVEX_OK, 3, {2, 5, 11}},
        DiscoveryCase{"open_fails", {0, 1}, {{0, QUVEX_SIM_FAIL_OPEN}}, QUVEX_OK, 1, {1}},
        DiscoveryCase{"first_query_fails", {0, 1, 2}, {{1, QUVEX_SIM_FAIL_QUERY1}}, QUVEX_OK, 2, {0, 2}},
        DiscoveryCase{"second_query_fails_last", {0, 1}, {{1, QUVEX_SIM_FAIL_QUERY2}}, QUVEX_OK, 1, {0}},
        DiscoveryCase{"every_device_fails", {0, 1}, {{0, QUVEX_SIM_FAIL_QUERY1}, {1, QUVEX_SIM_FAIL_QUERY2}},
                      QUVEX_ERR_NO_CARD, -7, {}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Initial, NullCountIsNotWritten) {
    install_cards({0});
    EXPECT_EQ(quvex_initial(nullptr), QUVEX_OK);
    quvex_close();
}

TEST(Initial, ThreadThatCannotBeCreatedStopsDiscoveryWith41) {
    install_cards({0, 1, 2});
    const std::int16_t before_max = card_table().max_card;
    quvex_sim_fail_thread_creations(1);
    int16_t count = -7;
    EXPECT_EQ(quvex_initial(&count), QUVEX_ERR_CARD_THREAD);
    EXPECT_EQ(count, -7);
    EXPECT_EQ(card_table().max_card, before_max);
    EXPECT_EQ(card_table().cards[0].present, 1) << "the card opened before the failure stays open";
    EXPECT_EQ(card_table().cards[1].present, 0) << "discovery stopped at the failure";
    quvex_close();
}

TEST(Initial, FailedDevicesAreClosedAgain) {
    install_cards({0, 1});
    quvex_sim_set_driver_faults(0, QUVEX_SIM_FAIL_QUERY2);
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    quvex_sim_card_info info{};
    quvex_sim_card_info_get(0, &info);
    EXPECT_EQ(info.open, 0);
    quvex_sim_card_info_get(1, &info);
    EXPECT_EQ(info.open, 1);
    quvex_close();
    quvex_sim_card_info_get(1, &info);
    EXPECT_EQ(info.open, 0);
}

// Every register start-up writes on an axis, in order, with its word: the environment words and
// the interrupt factors, then the operation mode and the other registers of the live bank.
constexpr std::pair<unsigned, std::uint32_t> kStartUpRegisters[] = {
    {reg::kEnv1, startup::kEnv1}, {reg::kEnv2, startup::kEnv2}, {reg::kEnv3, startup::kEnv3},
    {reg::kEnv4, 0}, {reg::kEnv5, 0}, {reg::kEnv6, 0}, {reg::kEnv7, 0}, {reg::kIntFactor, 0},
    {reg::live(reg::kOperationMode), startup::kOperationMode},
    {reg::live(reg::kMoveAmount), 0}, {reg::live(reg::kStartSpeed), 0}, {reg::live(reg::kMaxSpeed), 0},
    {reg::live(reg::kAccelRate), 0}, {reg::live(reg::kDecelRate), 0}, {reg::live(reg::kSpeedRange), 0},
    {reg::live(reg::kRampDownPoint), 0}, {reg::live(reg::kAuxAmount), 0}, {reg::live(reg::kSAccelSection), 0},
    {reg::live(reg::kSDecelSection), 0}, {reg::live(reg::kCorrectionSpeed), 0},
};

// The whole port sequence of one card's start-up, in order: the driver's two resource queries,
// the local-bus reset pulse, bit 11 into the bridge control word, the card-level ports, the
// bridge interrupt armed twice, then per axis the servo output on, the start-up registers and
// the servo output off.
TEST(Initial, StartUpSequenceOfOneCard) {
    install_cards({0});
    quvex_sim_trace_enable(1);
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    std::vector<CardEvent> expected = {
        driver_request(requests::kCardResources),
        driver_request(requests::kRingResources),
        bridge_write8(bridge::kControlTop, bridge::kLocalBusReset),
        bridge_write8(bridge::kControlTop, 0),
        bridge_read16(bridge::kControl, bridge::kControlAtPowerUp),
        bridge_write16(bridge::kControl, bridge::kControlAtPowerUp | bridge::kControlBit11),
        card_port_write(card_port::kCardControl, 0),
        card_port_write(card_port::kCompareLoad, 0),
        bridge_read8(bridge::kInterrupt, 0),
        bridge_write8(bridge::kInterrupt, bridge::kInterruptArm),
        bridge_read8(bridge::kInterrupt, 0),
        bridge_write8(bridge::kInterrupt, bridge::kInterruptArm),
    };
    for (const ChipAxis a : {X, Y, Z, U}) {
        expected.push_back(a.command(cmd::kOutputOn + cmd::kServoOutput));
        for (const auto& [code, word] : kStartUpRegisters) expected.push_back(a.write(code, word));
        expected.push_back(a.command(cmd::kOutputOff + cmd::kServoOutput));
    }
    EXPECT_EQ(card_events(), expected);
    EXPECT_EQ(quvex_sim_bridge_bit30_pulses(0), 1);
    quvex_close();
}

TEST(Initial, ClearsTheCompareArea) {
    install_cards({0});
    quvex_sim_card_info info{};
    quvex_sim_card_info_get(0, &info);
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    const auto* area = reinterpret_cast<const std::uint8_t*>(info.compare_area);
    auto zero = [&](std::size_t offset, std::size_t bytes) {
        for (std::size_t i = 0; i < bytes; ++i) {
            if (area[offset + i] != 0) return false;
        }
        return true;
    };
    EXPECT_TRUE(zero(0x4082, 2));
    for (std::size_t k = 0; k < 4; ++k) {
        const std::size_t b = k * 4128;
        EXPECT_TRUE(zero(b, 10)) << k;
        EXPECT_TRUE(zero(b + 12, 4 + 16 + 4096)) << k;
        EXPECT_EQ(area[b + 10], 0xA5) << "bytes 10-11 of a block are not part of the clear";
    }
    quvex_close();
}

}  // namespace
}  // namespace quvex::test
