// Ring exports: refusals in their check order, the card-level attach, the ring state as the
// application sees it.
#include <functional>

#include "card_events.h"
#include "card/card_table.h"
#include "ring_fixture.h"

namespace quvex::test {
namespace {

constexpr std::uint16_t kNeverOpened = 1;
constexpr std::uint16_t kBeyondTable = 7;

struct RefusalCase {
    const char* name;
    std::function<int()> call;
    int expected;
};

class Refusals : public RingTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, AnswerTheirCodeAndTouchNothing) {
    start_trace();
    EXPECT_EQ(GetParam().call(), GetParam().expected);
    EXPECT_EQ(quvex_sim_access_count(), 0u) << "a refused call reached the hardware";
}

uint32_t g_table[2];
uint16_t g_status;
uint8_t g_id;
void* g_event = nullptr;

INSTANTIATE_TEST_SUITE_P(
    Ring, Refusals,
    ::testing::Values(
        RefusalCase{"start_closed", [] { return kring_start_ring(kNeverOpened); }, -4},
        RefusalCase{"stop_closed", [] { return kring_stop_ring(kNeverOpened); }, -4},
        RefusalCase{"reset_closed", [] { return kring_reset_ring(kNeverOpened); }, -4},
        RefusalCase{"table_closed", [] { return kring_get_ring_active_table(kNeverOpened, g_table); }, -4},
        RefusalCase{"slave_info_closed", [] { return int{kring_get_slave_info(kNeverOpened, 0)}; }, 0xFFFC},
        RefusalCase{"ring_status_closed", [] { return kring_get_ring_status(kNeverOpened, &g_status); }, -4},
        RefusalCase{"com_status_closed", [] { return kring_get_com_status(kNeverOpened); }, -4},
        RefusalCase{"watchdog_closed", [] { return kring_enable_soft_watchdog(kNeverOpened, &g_event); }, -4},
        RefusalCase{"io_output_closed", [] { return kring_io_output(kNeverOpened, 0, 0, 1); }, -4},
        RefusalCase{"io_input_closed", [] { return int{kring_io_input(kNeverOpened, 0, 0)}; }, 0xFFFC},
        RefusalCase{"id_closed", [] { return kring_id_data_device(kNeverOpened, 0, &g_id); }, -4},
        // The port check comes before the open check.
        RefusalCase{"io_output_port4_closed", [] { return kring_io_output(kNeverOpened, 0, 4, 1); }, -6},
        RefusalCase{"io_input_port4_closed", [] { return int{kring_io_input(kNeverOpened, 0, 4)}; }, 0xFFFA},
        RefusalCase{"io_output_port4_open", [] { return kring_io_output(0, 0, 4, 1); }, -6},
        // The slave check of the identification comes before the open check.
        RefusalCase{"id_slave64_closed", [] { return kring_id_data_device(kNeverOpened, 64, &g_id); }, -5},
        RefusalCase{"io_output_slave64_closed", [] { return kring_io_output(kNeverOpened, 64, 0, 1); }, -4},
        // A SlaveNo above 63 on an open ring, also where no check is documented.
        RefusalCase{"slave_info_slave64", [] { return int{kring_get_slave_info(0, 64)}; }, 0xFFFB},
        RefusalCase{"io_output_slave64", [] { return kring_io_output(0, 64, 0, 1); }, -5},
        RefusalCase{"io_input_slave1000", [] { return int{kring_io_input(0, 1000, 3)}; }, 0xFFFB},
        RefusalCase{"id_slave64", [] { return kring_id_data_device(0, 64, &g_id); }, -5},
        // A RingNo above 3, also on the exports that check nothing.
        RefusalCase{"config_ring7", [] { return kring_set_ring_config(kBeyondTable, 0); }, -4},
        RefusalCase{"quality_ring7", [] { return kring_set_ring_quality_param(kBeyondTable, 20, 50); }, -4},
        RefusalCase{"error_device_ring7", [] { return kring_get_error_device(kBeyondTable); }, -4},
        RefusalCase{"start_ring7", [] { return kring_start_ring(kBeyondTable); }, -4},
        RefusalCase{"io_input_ring65535", [] { return int{kring_io_input(0xFFFF, 0, 0)}; }, 0xFFFC},
        // Unchecked exports on a slot that is merely not open answer as documented.
        RefusalCase{"config_closed", [] { return kring_set_ring_config(kNeverOpened, 5); }, 0},
        RefusalCase{"quality_closed", [] { return kring_set_ring_quality_param(kNeverOpened, 20, 50); }, 1},
        RefusalCase{"error_device_closed", [] { return kring_get_error_device(kNeverOpened); }, -5},
        RefusalCase{"watchdog_null", [] { return kring_enable_soft_watchdog(0, nullptr); }, -1},
        RefusalCase{"open_absent_card", [] { return quvex_open_kring(3); }, 30},
        RefusalCase{"open_card_12", [] { return quvex_open_kring(12); }, 30},
        RefusalCase{"addr_negative_card", [] { return quvex_get_kring_addr(-1, nullptr); }, 30},
        RefusalCase{"baud_absent_card", [] { return quvex_set_kring_baudrate(5, 1); }, 30}),
    [](const ::testing::TestParamInfo<RefusalCase>& p) { return std::string(p.param.name); });

using RingCard = RingTest;

// The port is read before the code is checked; a refused code writes nothing.
TEST_F(RingCard, BaudRateAboveThreeOnlyReadsThePort) {
    start_trace();
    EXPECT_EQ(quvex_set_kring_baudrate(0, 4), -1);
    EXPECT_EQ(card_events(), std::vector<CardEvent>{board_read(board::kRingBaudRate, 0)});
    EXPECT_EQ(quvex_sim_board_port(0, board::kRingBaudRate), -1);
    EXPECT_EQ(quvex_set_kring_baudrate(0, 3), 0);
    EXPECT_EQ(quvex_sim_board_port(0, board::kRingBaudRate), 3);
    EXPECT_EQ(master().baud_code(), 3);
}

TEST_F(RingCard, CardWithoutRingWindowGetsNoSlot) {
    card_record(0).ring_window = 0;
    EXPECT_EQ(quvex_open_kring(0), -1);
    EXPECT_EQ(ring::ring_slot(1)->is_open(), 0u);
    quvex_sim_card_info info{};
    quvex_sim_card_info_get(0, &info);
    card_record(0).ring_window = info.ring_window;
}

TEST_F(RingCard, SlotsAreHandedOutInOrderAndAFifthOpenIsRefused) {
    // Slot 0 is open (fixture). The same card may hold several slots on one window.
    EXPECT_EQ(quvex_open_kring(0), 1);
    EXPECT_EQ(quvex_open_kring(0), 2);
    EXPECT_EQ(quvex_open_kring(0), 3);
    EXPECT_EQ(quvex_open_kring(0), -1);
    EXPECT_EQ(master().attach(1234, 0), -3);
    EXPECT_EQ(ring::ring_slot(3)->is_open(), card_record(0).ring_window);
}

TEST_F(RingCard, WindowAddressIsTheCardsRingWindow) {
    quvex_sim_card_info info{};
    ASSERT_EQ(quvex_sim_card_info_get(0, &info), 0);
    uint32_t addr = 0;
    EXPECT_EQ(quvex_get_kring_addr(0, &addr), 0);
    EXPECT_EQ(addr, static_cast<uint32_t>(info.ring_window & 0xFFFFFFFFu));
    EXPECT_EQ(master().io_base(), info.board_base);
}

TEST_F(RingCard, CloseThenReopenWorksAgain) {
    start_with_io_slaves({2});
    void* ev = reinterpret_cast<void*>(plat::event_create(nullptr, true, false));
    ASSERT_EQ(kring_enable_soft_watchdog(ring_u(), &ev), 0);
    EXPECT_EQ(quvex_sim_live_threads(), 1 + 1);  // the card's compare thread and the watchdog

    EXPECT_EQ(kring_close(), 0);
    EXPECT_EQ(kring_get_com_status(0), -4);
    quvex_sim_advance(0.01);  // the terminated thread ends at its next sleep
    EXPECT_EQ(quvex_sim_live_threads(), 1);
    EXPECT_EQ(kring_close(), 0);  // closing twice is harmless

    ASSERT_EQ(quvex_open_kring(0), 0);
    EXPECT_EQ(kring_get_com_status(0), 0);
    EXPECT_EQ(kring_start_ring(0), 0);
    EXPECT_EQ(kring_io_output(0, 2, 1, 0x5A), 0);  // takes the re-created lock
    EXPECT_EQ(quvex_sim_ring_io_get(0, 2, 1), 0x5A);
    ASSERT_EQ(kring_enable_soft_watchdog(0, &ev), 0);
    EXPECT_TRUE(master().watchdog_running());
}

TEST_F(RingCard, ComStatusFollowsOpenStartResetAndStop) {
    EXPECT_EQ(kring_get_com_status(ring_u()), 0);
    EXPECT_EQ(kring_start_ring(ring_u()), 0);
    EXPECT_EQ(kring_get_com_status(ring_u()), 1);
    const double before = quvex_sim_now();
    EXPECT_EQ(kring_reset_ring(ring_u()), 0);
    EXPECT_NEAR(quvex_sim_now() - before, 0.1, 1e-9);
    EXPECT_EQ(kring_get_com_status(ring_u()), 3);
    EXPECT_EQ(quvex_sim_ring_mode(0), 0);
    EXPECT_EQ(kring_start_ring(ring_u()), 0);
    EXPECT_EQ(kring_stop_ring(ring_u()), 0);
    EXPECT_EQ(kring_get_com_status(ring_u()), 3);
    EXPECT_EQ(quvex_sim_ring_mode(0), 3);
}

TEST_F(RingCard, StartScansWaitsAndRuns) {
    start_trace();
    const double before = quvex_sim_now();
    EXPECT_EQ(kring_start_ring(ring_u()), 0);
    EXPECT_EQ(ring_events(), (std::vector<CardEvent>{ring_scan(), ring_run()}));
    ASSERT_EQ(quvex_sim_trace_count(), 2u);
    EXPECT_NEAR(quvex_sim_trace_time(1) - quvex_sim_trace_time(0), 0.1, 1e-9);
    EXPECT_NEAR(quvex_sim_now() - before, 0.1, 1e-9);
}

struct QualityCase {
    uint16_t limit, param2, stored_limit, stored_param2;
};

class Quality : public RingTest, public ::testing::WithParamInterface<QualityCase> {};

TEST_P(Quality, ClampsIntoRangeAndAnswersOne) {
    const QualityCase& c = GetParam();
    EXPECT_EQ(kring_set_ring_quality_param(ring_u(), c.limit, c.param2), 1);
    EXPECT_EQ(master().quality_limit(), c.stored_limit);
    EXPECT_EQ(master().quality_param2(), c.stored_param2);
}

INSTANTIATE_TEST_SUITE_P(Ring, Quality,
                         ::testing::Values(QualityCase{5, 100, 10, 60}, QualityCase{50, 60, 50, 60},
                                           QualityCase{0xFFFF, 0, 50, 40}, QualityCase{33, 45, 33, 45}));

TEST_F(RingCard, RingStatusIsReadNowWithoutWatchdog) {
    quvex_sim_ring_status_fault(0, 0x0010, 1);
    uint16_t status = 0;
    EXPECT_EQ(kring_get_ring_status(ring_u(), &status), 0);
    EXPECT_EQ(status, 0x0010);
    EXPECT_EQ(kring_get_ring_status(ring_u(), nullptr), 0);
}

}  // namespace
}  // namespace quvex::test
