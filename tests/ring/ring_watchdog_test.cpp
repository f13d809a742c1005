// The ring watchdog: what one pass does with each status bit, the quality stop, the error map,
// and the thread itself running on the virtual clock. The watchdog's inputs are set the way an
// application sets them: the user event through kring_enable_soft_watchdog, the transfer mark by
// a message (which leaves it set) or a cyclic write (which clears it).
#include <string>

#include "ring_fixture.h"
#include "trace_match.h"

namespace quvex::test {
namespace {

const EventPattern kStopOfCard0{.kind = QUVEX_SIM_EV_RING_STOP, .device = 0};

// Marks a transfer in progress on `m`: a message leaves the mark set, so the watchdog polls.
void mark_transfer(ring::RingMaster& m, int slave) {
    const uint16_t words[] = {0x0004};
    ASSERT_EQ(m.send(slave, words), 0);
}

// The passes are run one at a time on the test's thread; the watchdog thread, started for its
// user event, only runs when virtual time moves, which none of these tests lets it do.
class Watchdog : public RingTest {
protected:
    void SetUp() override {
        RingTest::SetUp();
        start_with_io_slaves({3});
        void* ev = reinterpret_cast<void*>(plat::event_create(kUserEvent, true, false));
        ASSERT_EQ(kring_enable_soft_watchdog(ring_u(), &ev), 0);
        mark_transfer(master(), 3);
    }
    // One pass with `bits` shown by the status word for that pass only.
    bool pass_with(uint16_t bits) {
        quvex_sim_ring_status_fault(0, bits, bits != 0 ? 1 : 0);
        return master().watchdog_pass();
    }
    static constexpr const char* kUserEvent = "ring test user event";
};

struct BitCase {
    const char* name;
    uint16_t bits;
    bool erroneous;
    int slave_errors, lone_errors, paired_errors;
};

class PassBits : public Watchdog, public ::testing::WithParamInterface<BitCase> {};

TEST_P(PassBits, CountsEachConditionAndSignalsErroneousPasses) {
    const BitCase& c = GetParam();
    if ((c.bits & 0x08) != 0) quvex_sim_ring_flag_error(0, 3);  // bit 3 comes from the error map
    quvex_sim_ring_status_fault(0, c.bits & 0x70, 1);
    EXPECT_EQ(master().watchdog_pass(), c.erroneous);
    EXPECT_EQ(master().slave_error_count(), c.slave_errors);
    EXPECT_EQ(master().lone_error_count(), c.lone_errors);
    EXPECT_EQ(master().paired_error_count(), c.paired_errors);
    EXPECT_EQ(kring_get_com_status(ring_u()), c.erroneous ? 2 : 1);
    EXPECT_EQ(ring::consecutive_error_passes().load(), c.erroneous ? 1 : 0);
    EXPECT_EQ(quvex_sim_event_state(kUserEvent), c.erroneous ? 1 : 0);
    EXPECT_EQ(master().status_copy() & 0x78, c.bits);
}

INSTANTIATE_TEST_SUITE_P(Ring, PassBits,
                         ::testing::Values(BitCase{"clean", 0x00, false, 0, 0, 0},
                                           BitCase{"slave_error", 0x08, true, 1, 0, 0},
                                           BitCase{"bit4", 0x10, true, 0, 1, 0},
                                           BitCase{"bit5", 0x20, true, 0, 0, 1},
                                           BitCase{"bit6", 0x40, true, 0, 0, 1},
                                           BitCase{"bits5_and_6_count_once", 0x60, true, 0, 0, 1},
                                           BitCase{"all", 0x78, true, 1, 1, 1}),
                         [](const ::testing::TestParamInfo<BitCase>& p) { return std::string(p.param.name); });

TEST_F(Watchdog, PassIsIdleWithoutATransferOrOnAStoppedRing) {
    start_trace();
    ASSERT_EQ(kring_io_output(ring_u(), 3, 0, 0x55), 0);  // a cyclic write ends with the mark cleared
    EXPECT_FALSE(pass_with(0x10));
    mark_transfer(master(), 3);
    kring_stop_ring(ring_u());
    quvex_sim_trace_clear();
    EXPECT_FALSE(pass_with(0x10));
    EXPECT_EQ(quvex_sim_access_count(), 0u);
    EXPECT_EQ(master().lone_error_count(), 0);
}

struct QualityRun {
    const char* name;
    uint16_t limit;
    std::string passes;  // E erroneous, C clean
    int stopped_after;   // 1-based pass that stops the ring; 0 = never
};

class QualityStop : public Watchdog, public ::testing::WithParamInterface<QualityRun> {};

TEST_P(QualityStop, StopsAfterMoreConsecutiveErroneousPassesThanTheLimit) {
    const QualityRun& c = GetParam();
    kring_set_ring_quality_param(ring_u(), c.limit, 40);
    start_trace();
    int stopped_at = 0;
    for (std::size_t i = 0; i < c.passes.size() && stopped_at == 0; ++i) {
        pass_with(c.passes[i] == 'E' ? 0x10 : 0x00);
        if (kring_get_com_status(ring_u()) == 3) stopped_at = static_cast<int>(i) + 1;
    }
    EXPECT_EQ(stopped_at, c.stopped_after);
    EXPECT_EQ(events_matching(kStopOfCard0).size(), c.stopped_after != 0 ? 1u : 0u);
    if (c.stopped_after != 0) {
        EXPECT_EQ(ring::consecutive_error_passes().load(), 0);
        EXPECT_EQ(quvex_sim_ring_mode(0), 3);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ring, QualityStop,
    ::testing::Values(QualityRun{"eleven_stop", 10, std::string(11, 'E'), 11},
                      QualityRun{"ten_do_not", 10, std::string(10, 'E'), 0},
                      QualityRun{"clean_pass_restarts_count", 10, std::string(10, 'E') + "C" + std::string(10, 'E'), 0},
                      QualityRun{"count_restarts_from_clean", 10, "EEEEEC" + std::string(11, 'E'), 17},
                      QualityRun{"limit_fifty", 50, std::string(51, 'E'), 51},
                      QualityRun{"limit_below_range_is_ten", 3, std::string(11, 'E'), 11}),
    [](const ::testing::TestParamInfo<QualityRun>& p) { return std::string(p.param.name); });

TEST_F(Watchdog, ConsecutiveCountIsSharedByAllRings) {
    ASSERT_EQ(quvex_open_kring(0), 1);
    ring::RingMaster& second = *ring::ring_slot(1);
    ASSERT_EQ(kring_start_ring(1), 0);
    mark_transfer(second, 3);
    for (int i = 0; i < 6; ++i) pass_with(0x10);
    for (int i = 0; i < 5; ++i) {
        quvex_sim_ring_status_fault(0, 0x10, 1);
        second.watchdog_pass();
    }
    EXPECT_EQ(kring_get_com_status(1), 3);
    EXPECT_EQ(kring_get_com_status(ring_u()), 2);
}

TEST_F(Watchdog, ErrorMapMarksSlavesClearsTheMapAndHandsThemOutLowestFirst) {
    quvex_sim_ring_flag_error(0, 40);
    quvex_sim_ring_flag_error(0, 5);
    EXPECT_EQ(kring_get_error_device(ring_u()), -5);
    EXPECT_TRUE(pass_with(0));
    EXPECT_EQ(master().error_map_word(0), 1u << 5);
    EXPECT_EQ(master().error_map_word(2), 1u << 8);
    for (int w = 0; w < 4; ++w) EXPECT_EQ(quvex_sim_ring_error_map(0, w), 0) << "word " << w;
    EXPECT_FALSE(pass_with(0));  // the map was cleared, so is bit 3

    EXPECT_EQ(kring_get_error_device(ring_u()), 5);
    EXPECT_EQ(kring_get_error_device(ring_u()), 40);
    EXPECT_EQ(kring_get_error_device(ring_u()), -5);
}

// ---- the thread on the virtual clock ----

using WatchdogThread = RingTest;

TEST_F(WatchdogThread, StopsTheRingAfterElevenErroneousPollsAndWakesTheApplication) {
    start_with_io_slaves({3});
    constexpr const char* kName = "ring thread user event";
    void* ev = reinterpret_cast<void*>(plat::event_create(kName, true, false));
    ASSERT_EQ(kring_enable_soft_watchdog(ring_u(), &ev), 0);
    ASSERT_EQ(kring_enable_soft_watchdog(ring_u(), &ev), 0);  // a second call starts no thread
    EXPECT_EQ(quvex_sim_live_threads(), 2);

    const uint16_t words[] = {0x0004};
    master().send(3, words);  // leaves the transfer marked: the thread polls from now on
    quvex_sim_advance(0.005);
    EXPECT_EQ(quvex_sim_event_state(kName), 0);
    uint16_t status = 0;
    EXPECT_EQ(kring_get_ring_status(ring_u(), &status), 0);
    EXPECT_EQ(status, 0x0001);  // the copy polled by the thread

    start_trace();
    quvex_sim_ring_status_fault(0, 0x20, 11);
    quvex_sim_advance(0.05);
    EXPECT_EQ(kring_get_com_status(ring_u()), 3);
    EXPECT_EQ(events_matching(kStopOfCard0).size(), 1u);
    EXPECT_EQ(master().paired_error_count(), 11);
    EXPECT_EQ(quvex_sim_event_state(kName), 1);
    EXPECT_EQ(kring_get_ring_status(ring_u(), &status), 0);
    EXPECT_EQ(status, 0x0021);  // the last status the thread polled before the stop
}

TEST_F(WatchdogThread, SlavesInErrorAreHandedOutLowestFirst) {
    start_with_io_slaves({5, 17, 40});
    void* ev = reinterpret_cast<void*>(plat::event_create(nullptr, true, false));
    ASSERT_EQ(kring_enable_soft_watchdog(ring_u(), &ev), 0);
    mark_transfer(master(), 5);
    quvex_sim_ring_flag_error(0, 40);
    quvex_sim_ring_flag_error(0, 17);
    quvex_sim_ring_flag_error(0, 5);
    quvex_sim_advance(0.01);
    EXPECT_EQ(kring_get_error_device(ring_u()), 5);
    EXPECT_EQ(kring_get_error_device(ring_u()), 17);
    EXPECT_EQ(kring_get_error_device(ring_u()), 40);
    EXPECT_EQ(kring_get_error_device(ring_u()), -5);
    EXPECT_EQ(kring_get_com_status(ring_u()), 2);
}

}  // namespace
}  // namespace quvex::test
