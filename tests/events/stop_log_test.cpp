#include <string>

#include "events/error_log.h"
#include "events_fixture.h"
#include "quvex/sim_axis.h"

namespace quvex::test {
namespace {

constexpr std::int64_t kSunday6Dec2026At2314 = 1796598840;

struct LineCase {
    const char* name;
    int axis_no;
    std::uint32_t bits;
    std::string expected;
};

TEST(StopLogLine, HeadTimeAndMessagesInBitOrder) {
    const plat::LocalTime time{2026, 12, 6, 0, 9, 5, 0, 0};
    const LineCase cases[] = {
        {"soft_and_end_limit", 5, 0x21, "7,Sun Dec  6 09:05    Axis:5,+Soft Limit on and stop,+End Limit on and stop\r\r\n"},
        {"bits_without_text", 5, 0x804, "7,Sun Dec  6 09:05    Axis:5\r\r\n"},
        {"bits_above_17", 47, 0xFFFC0000u, "7,Sun Dec  6 09:05    Axis:47\r\r\n"},
        {"every_message", 0, 0x3FFFF,
         "7,Sun Dec  6 09:05    Axis:0,+Soft Limit on and stop,-Soft Limit on and stop,"
         "General Comparator on and Stop,+End Limit on and stop,-End Limit on and stop,ALM happen and stop,"
         "CSTP, Sync. Stop on and stop,CEMG, Emergency on and stop,SD on and slow down to stop,"
         "Interpolation Error and stop,Other Axis stop on Interpolation,Pulser input buffer overflow and stop,"
         "Interpolation counter overflow,Encoder input signal error,Pulser input signal error\r\r\n"},
    };
    for (const LineCase& c : cases) EXPECT_EQ(events::format_log_line(7, time, c.axis_no, c.bits), c.expected) << c.name;
}

TEST(StopLogLine, TimeFieldIsSixteenCharactersWithTwoDigitDay) {
    const plat::LocalTime time{2027, 2, 28, 6, 23, 59, 59, 999};
    EXPECT_EQ(events::format_log_line(12345, time, 9, 0x40), "12345,Sat Feb 28 23:59    Axis:9,-End Limit on and stop\r\r\n");
}

class StopLog : public EventsTest {
protected:
    void SetUp() override {
        EventsTest::SetUp();
        quvex_sim_set_epoch(kSunday6Dec2026At2314);
    }
};

TEST_F(StopLog, ZeroReasonsWriteNoLineAndTakeNoNumber) {
    const std::string path = scratch_file("events_zero.log");
    ASSERT_EQ(quvex_error_log(path.c_str()), QUVEX_OK);
    events::log_stop_reasons(2, 0);
    events::log_stop_reasons(2, 0x804);
    events::log_stop_reasons(3, 0x20);
    ASSERT_EQ(quvex_close(), QUVEX_OK);
    EXPECT_EQ(file_bytes(path), "0,Sun Dec  6 23:14    Axis:2\r\r\n"
                                "1,Sun Dec  6 23:14    Axis:3,+End Limit on and stop\r\r\n");
}

TEST_F(StopLog, SecondLogCallKeepsTheFirstFile) {
    const std::string first = scratch_file("events_first.log");
    const std::string second = scratch_file("events_second.log");
    ASSERT_EQ(quvex_error_log(first.c_str()), QUVEX_OK);
    ASSERT_EQ(quvex_error_log(second.c_str()), QUVEX_OK);
    events::log_stop_reasons(1, 0x1);
    ASSERT_EQ(quvex_close(), QUVEX_OK);
    EXPECT_EQ(file_bytes(first), "0,Sun Dec  6 23:14    Axis:1,+Soft Limit on and stop\r\r\n");
    EXPECT_FALSE(std::ifstream(second).good()) << "the second path is not even created";
}

TEST_F(StopLog, UnopenableLogIsNoLogAndStillSucceeds) {
    EXPECT_EQ(quvex_error_log("no_such_folder/events.log"), QUVEX_OK);
    EXPECT_EQ(quvex_error_log(nullptr), QUVEX_OK);
    EXPECT_FALSE(events::error_log_open());
    const std::string path = scratch_file("events_later.log");
    ASSERT_EQ(quvex_error_log(path.c_str()), QUVEX_OK);
    EXPECT_TRUE(events::error_log_open()) << "a later call may still open one";
}

// The whole road: a move runs into its end limit, the chip raises the stop interrupt, the
// driver signals the axis event, the callback runs and the log gets the stop reason.
TEST_F(StopLog, EndLimitStopReachesTheCallbackAndTheLog) {
    const std::string path = scratch_file("events_end_limit.log");
    ASSERT_EQ(quvex_int_enable(0, nullptr), QUVEX_OK);
    ASSERT_EQ(quvex_set_int_factor(1, 0x1), QUVEX_OK);
    ASSERT_EQ(quvex_link_interrupt(0, record_axis), QUVEX_OK);
    ASSERT_EQ(quvex_error_log(path.c_str()), QUVEX_OK);

    ASSERT_EQ(quvex_tv_move(1, 100, 2000, 0.1), QUVEX_OK);
    quvex_sim_advance(0.5);
    EXPECT_EQ(g_callback_calls.load(), 0) << "starting and ramping are not enabled";
    ASSERT_EQ(quvex_sim_set_axis_input(0, 1, QUVEX_SIM_INPUT_EL_PLUS, 1), 0);
    quvex_sim_advance(0.01);
    EXPECT_EQ(g_callback_calls.load(), 1);
    EXPECT_EQ(g_callback_axis.load(), 1);

    uint32_t events = 0, reasons = 0;
    ASSERT_EQ(quvex_get_int_status(1, &events, &reasons), QUVEX_OK);
    EXPECT_EQ(events, 0x1u);
    EXPECT_EQ(reasons, 0u) << "the callback thread's error status request took them";
    ASSERT_EQ(quvex_close(), QUVEX_OK);
    EXPECT_EQ(file_bytes(path), "0,Sun Dec  6 23:14    Axis:1,+End Limit on and stop\r\r\n");
}

// Without a log the stop reasons stay with the driver: the interrupt status shows them until
// an error status request takes them; the event bits go with the first interrupt status read.
TEST_F(StopLog, InterruptStatusReadClearsTheEventsAndLeavesTheStopReasons) {
    ASSERT_EQ(quvex_int_enable(0, nullptr), QUVEX_OK);
    ASSERT_EQ(quvex_set_int_factor(2, 0x21), QUVEX_OK);
    ASSERT_EQ(quvex_sim_set_axis_input(0, 2, QUVEX_SIM_INPUT_EL_MINUS, 1), 0);
    ASSERT_EQ(quvex_start_tr_move(2, -500, 100, 2000, 0.1, 0.1), QUVEX_OK);
    quvex_sim_advance(0.01);
    struct Read {
        std::uint32_t events, reasons;
    };
    const Read expected[] = {{0x21, 0x40}, {0, 0x40}};
    for (const Read& e : expected) {
        uint32_t events = 0, reasons = 0;
        ASSERT_EQ(quvex_get_int_status(2, &events, &reasons), QUVEX_OK);
        EXPECT_EQ(events, e.events);
        EXPECT_EQ(reasons, e.reasons);
    }
    EXPECT_EQ(quvex_sim_event_state("PCIQUVEXW0E2"), 1) << "nobody waited on the event";
    EXPECT_EQ(quvex_get_int_status(2, nullptr, nullptr), QUVEX_OK);
}

}  // namespace
}  // namespace quvex::test
