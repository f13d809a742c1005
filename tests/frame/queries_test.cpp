// The card queries and the input policy of the frame's exports.
#include <functional>

#include "card_events.h"
#include "card/card_table.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {

class TwoCards : public CardTest {
protected:
    TwoCards() : CardTest(2) {}
};

TEST_F(TwoCards, QueriesAnswerFromTheDriverAndTheBoard) {
    quvex_sim_card_info info{};
    quvex_sim_card_info_get(1, &info);
    quvex_sim_set_card_status(1, 0xFFFD);
    uint16_t base = 0, irq = 0, status = 0;
    EXPECT_EQ(quvex_get_base_addr(1, &base), QUVEX_OK);
    EXPECT_EQ(quvex_get_irq_channel(1, &irq), QUVEX_OK);
    EXPECT_EQ(quvex_get_card_status(1, &status), QUVEX_OK);
    EXPECT_EQ(base, info.chip_base);
    EXPECT_EQ(irq, info.irq);
    EXPECT_EQ(status, 0x5) << "only the low three bits of the status port";
}

TEST_F(TwoCards, LedTakesOnlyZeroOrOne) {
    struct Case {
        int16_t value;
        int port_after;  // -1: nothing written
    };
    for (Case c : {Case{2, -1}, Case{-1, -1}, Case{1, 1}, Case{0, 0}}) {
        start_trace();
        EXPECT_EQ(quvex_set_card_led(0, c.value), QUVEX_OK);
        EXPECT_EQ(quvex_sim_card_led(0), c.port_after) << c.value;
        std::vector<CardEvent> expected;  // the LED word, nothing for a refused value
        if (c.port_after >= 0) expected.push_back(board_write(board::kCardStatus, static_cast<std::uint32_t>(c.port_after)));
        EXPECT_EQ(card_events(), expected) << c.value;
    }
}

// Every card-level export refuses card numbers outside the table or without a card, touching
// nothing: no port access and no out-pointer write.
TEST_F(TwoCards, CardNumbersOutsideTheInstallationGet30AndTouchNothing) {
    using Call = std::function<quvex_status(int16_t, uint16_t*)>;
    const std::vector<std::pair<const char*, Call>> exports = {
        {"get_base_addr", [](int16_t c, uint16_t* out) { return quvex_get_base_addr(c, out); }},
        {"get_irq_channel", [](int16_t c, uint16_t* out) { return quvex_get_irq_channel(c, out); }},
        {"get_card_status", [](int16_t c, uint16_t* out) { return quvex_get_card_status(c, out); }},
        {"set_card_led", [](int16_t c, uint16_t*) { return quvex_set_card_led(c, 1); }},
        {"int_control", [](int16_t c, uint16_t*) { return quvex_int_control(c, 1); }},
        {"int_disable", [](int16_t c, uint16_t*) { return quvex_int_disable(c); }},
    };
    for (const auto& [name, call] : exports) {
        for (int16_t card : {int16_t{2}, int16_t{11}, int16_t{12}, int16_t{-1}, int16_t{32767}, int16_t{-32768}}) {
            start_trace();
            uint16_t out = 0xBEEF;
            EXPECT_EQ(call(card, &out), QUVEX_ERR_CARD_NUMBER) << name << " card " << card;
            EXPECT_EQ(out, 0xBEEF) << name;
            EXPECT_EQ(card_events(), std::vector<CardEvent>{}) << name << " card " << card;
        }
    }
}

TEST_F(TwoCards, NullOutPointersAreNotWritten) {
    EXPECT_EQ(quvex_get_base_addr(0, nullptr), QUVEX_OK);
    EXPECT_EQ(quvex_get_irq_channel(0, nullptr), QUVEX_OK);
    EXPECT_EQ(quvex_get_card_status(0, nullptr), QUVEX_OK);
}

TEST(Queries, BeforeAnyCardIsOpenEveryCardIsRefused) {
    install_cards({});
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_ERR_NO_CARD);
    uint16_t out = 0;
    EXPECT_EQ(quvex_get_card_status(0, &out), QUVEX_ERR_CARD_NUMBER);
    EXPECT_EQ(quvex_set_card_led(0, 1), QUVEX_ERR_CARD_NUMBER);
    EXPECT_EQ(quvex_close(), QUVEX_OK);
}

TEST_F(TwoCards, InterruptDisableWithoutEnableGives37) {
    EXPECT_EQ(quvex_int_disable(0), QUVEX_ERR_INT_NOT_ENABLED);
}

}  // namespace
}  // namespace quvex::test
