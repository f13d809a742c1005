// Discovery, cyclic bytes, messages and identification against the virtual ring.
#include <chrono>
#include <future>
#include <thread>

#include "card_events.h"
#include "ring_fixture.h"

namespace quvex::test {
namespace {

int window_reads_at(uint32_t offset) {
    int n = 0;
    for (std::size_t i = 0; i < quvex_sim_access_count(); ++i) {
        quvex_sim_access a{};
        quvex_sim_access_get(i, &a);
        if (a.kind == QUVEX_SIM_ACCESS_WINDOW_READ && a.address == offset) ++n;
    }
    return n;
}

// ---- discovery ----

struct Station {
    int slave;
    uint8_t type;
};

struct ScanCase {
    const char* name;
    std::vector<Station> stations;
    uint32_t table0, table1;
};

class Scan : public RingTest, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(Scan, ReportsPresentStationsAndRecordsEveryTypeByte) {
    const ScanCase& c = GetParam();
    for (const Station& st : c.stations) ASSERT_EQ(quvex_sim_ring_add_io_slave(0, st.slave, st.type, 0), 0);
    ASSERT_EQ(kring_start_ring(ring_u()), 0);
    const double before = quvex_sim_now();
    uint32_t table[2] = {0xDEAD, 0xBEEF};
    EXPECT_EQ(kring_get_ring_active_table(ring_u(), table), 0);
    EXPECT_NEAR(quvex_sim_now() - before, 0.3, 1e-9);
    EXPECT_EQ(table[0], c.table0);
    EXPECT_EQ(table[1], c.table1);
    for (int s = 0; s < 64; ++s) {
        uint8_t type = 0;
        for (const Station& st : c.stations) {
            if (st.slave == s) type = st.type;
        }
        const ring::SlaveRecord& rec = master().slave(s);
        EXPECT_EQ(kring_get_slave_info(ring_u(), static_cast<uint16_t>(s)), type) << "slave " << s;
        EXPECT_EQ(rec.address, s);
        EXPECT_EQ(rec.present, (type & 0x80) ? 1 : 0) << "slave " << s;
        EXPECT_EQ(rec.second_station_flag, (type & 0x08) ? 1 : 0) << "slave " << s;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ring, Scan,
    ::testing::Values(ScanCase{"none", {}, 0, 0}, ScanCase{"slave1_not_slave0", {{1, 0x81}}, 0x2, 0},
                      ScanCase{"edges", {{0, 0x80}, {31, 0x84}, {32, 0x88}, {63, 0xFF}}, 0x80000001u, 0x80000001u},
                      ScanCase{"type_without_present_bit", {{6, 0x08}, {7, 0x88}}, 0x80, 0}),
    [](const ::testing::TestParamInfo<ScanCase>& p) { return std::string(p.param.name); });

class ScanWhileStopped : public RingTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ScanWhileStopped, GivesAnEmptyTableWithoutScanning) {
    start_with_io_slaves({1, 40});
    const std::string how = GetParam();
    if (how == "stop") kring_stop_ring(ring_u());
    else kring_reset_ring(ring_u());
    start_trace();
    uint32_t table[2] = {0xFFFFFFFFu, 0xFFFFFFFFu};
    EXPECT_EQ(kring_get_ring_active_table(ring_u(), table), 0);
    EXPECT_EQ(table[0], 0u);
    EXPECT_EQ(table[1], 0u);
    EXPECT_EQ(quvex_sim_access_count(), 0u);
    EXPECT_EQ(master().scan_active_table(reinterpret_cast<uint32_t(&)[2]>(table)), -1);
}

INSTANTIATE_TEST_SUITE_P(Ring, ScanWhileStopped, ::testing::Values("stop", "reset"));

// ---- cyclic bytes ----

class CyclicPort : public RingTest, public ::testing::WithParamInterface<int> {};

TEST_P(CyclicPort, WriteChangesOnlyItsByteAndReadsItBack) {
    const int port = GetParam();
    start_with_io_slaves({5});
    const uint8_t before[4] = {0x11, 0x22, 0x33, 0x44};
    for (int p = 0; p < 4; ++p) quvex_sim_ring_io_set(0, 5, p, before[p]);

    start_trace();
    EXPECT_EQ(kring_io_output(ring_u(), 5, static_cast<uint8_t>(port), 0xAB), 0);
    for (int p = 0; p < 4; ++p) {
        const int expected = p == port ? 0xAB : before[p];
        EXPECT_EQ(quvex_sim_ring_io_get(0, 5, p), expected) << "port " << p;
        EXPECT_EQ(kring_io_input(ring_u(), 5, static_cast<uint8_t>(p)), expected) << "port " << p;
    }
    // One write of the whole word; the master is busy for one poll, then the word reads back.
    const int word = port / 2;
    const unsigned low = port % 2 == 0 ? 0xAB : before[2 * word];
    const unsigned high = port % 2 == 1 ? 0xAB : before[2 * word + 1];
    EXPECT_EQ(ring_events(), std::vector<CardEvent>{cyclic_write(5, word, static_cast<uint16_t>(high << 8 | low))});
    EXPECT_EQ(window_reads_at(0), 2);
    EXPECT_EQ(master().transfer_busy(), 0);
}

INSTANTIATE_TEST_SUITE_P(Ring, CyclicPort, ::testing::Values(0, 1, 2, 3));

using RingTransfer = RingTest;

TEST_F(RingTransfer, WordThatNeverReadsBackFailsAfterTheAttemptLimitAndReleasesTheLock) {
    start_with_io_slaves({5, 6});
    quvex_sim_ring_stuck_cyclic(0, 5, 1, 1);
    start_trace();
    EXPECT_EQ(kring_io_output(ring_u(), 5, 3, 0x7E), -1);
    EXPECT_EQ(window_reads_at(0), 19001);  // one status poll per attempt
    EXPECT_EQ(master().transfer_busy(), 0);
    quvex_sim_trace_enable(0);

    // Another thread gets the ring lock at once.
    auto other = std::async(std::launch::async, [this] { return kring_io_output(ring_u(), 6, 0, 0x01); });
    ASSERT_EQ(other.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "the ring lock was kept";
    EXPECT_EQ(other.get(), 0);
}

// ---- messages ----

TEST_F(RingTransfer, SendQueuesTheBufferWordsAndLeavesTheTransferMarked) {
    start_with_io_slaves({3});
    const uint16_t words[] = {0x0090, 0x1234, 0x0005};
    EXPECT_EQ(master().send(3, words), 0);
    EXPECT_EQ(master().message_buffer()[11], 0xFFFF);
    uint16_t got[12] = {};
    ASSERT_EQ(quvex_sim_ring_last_message(0, 3, got, 12), 3);
    EXPECT_EQ(got[0], 0x0090);
    EXPECT_EQ(got[1], 0x1234);
    EXPECT_EQ(got[2], 0x0005);
    EXPECT_EQ(master().transfer_busy(), 1);
}

struct SendRefusal {
    int slave, count;
    std::int16_t result;
};

class SendRefused : public RingTest, public ::testing::WithParamInterface<SendRefusal> {};

TEST_P(SendRefused, WritesNothing) {
    start_with_io_slaves({3});
    start_trace();
    const std::vector<uint16_t> words(static_cast<std::size_t>(GetParam().count), 0x0001);
    EXPECT_EQ(master().send(GetParam().slave, words), GetParam().result);
    EXPECT_EQ(quvex_sim_access_count(), 0u);
    EXPECT_EQ(master().transfer_busy(), 0);
}

INSTANTIATE_TEST_SUITE_P(Ring, SendRefused,
                         ::testing::Values(SendRefusal{64, 3, -5}, SendRefusal{3, 13, -12}, SendRefusal{64, 13, -5}));

TEST_F(RingTransfer, RequestReplyJoinsTheSecondAndThirdReplyWords) {
    start_with_io_slaves({9});
    const uint16_t reply[3] = {0x00E4, 0x5678, 0x1234};
    quvex_sim_ring_set_reply(0, 9, reply, 3);
    uint32_t value = 0;
    EXPECT_EQ(master().request(9, 0x00E4, &value), 0);
    EXPECT_EQ(value, 0x12345678u);
    uint16_t sent[4] = {};
    ASSERT_EQ(quvex_sim_ring_last_message(0, 9, sent, 4), 1);
    EXPECT_EQ(sent[0], 0x00E4);
    EXPECT_EQ(master().transfer_busy(), 0);
    EXPECT_EQ(master().request(64, 0x00E4, &value), -5);
}

struct SilentCase {
    const char* name;
    bool with_reply;
    int status_reads;
};

class SilentSlave : public RingTest, public ::testing::WithParamInterface<SilentCase> {};

// Neither a send nor a request reports the silence; each stops polling at its own limit.
TEST_P(SilentSlave, TransferGivesUpAfterItsPollLimitAndReportsSuccess) {
    const SilentCase& c = GetParam();
    start_with_io_slaves({9});
    quvex_sim_ring_slave_silent(0, 9, 1);
    start_trace();
    if (c.with_reply) {
        uint32_t value = 0xFFFFFFFFu;
        EXPECT_EQ(master().request(9, 0x00E4, &value), 0);
        EXPECT_EQ(value, 0u);  // whatever the empty message port holds
    } else {
        const uint16_t words[] = {0x00E4};
        EXPECT_EQ(master().send(9, words), 0);
    }
    EXPECT_EQ(window_reads_at(0), c.status_reads);
    EXPECT_EQ(station_events(9), std::vector<CardEvent>{unanswered_message(9, {0x00E4})});
}

INSTANTIATE_TEST_SUITE_P(Ring, SilentSlave,
                         ::testing::Values(SilentCase{"send", false, 5000}, SilentCase{"request", true, 50000}),
                         [](const ::testing::TestParamInfo<SilentCase>& p) { return std::string(p.param.name); });

// ---- identification ----

struct IdentCase {
    const char* name;
    bool watchdog;
    bool silent;
    uint32_t ident;
    std::int16_t result;
    uint8_t code;
};

class Identification : public RingTest, public ::testing::WithParamInterface<IdentCase> {};

TEST_P(Identification, ReportsTheCodeOfBit20OrA4AfterTwoHundredMilliseconds) {
    const IdentCase& c = GetParam();
    start_with_io_slaves({12});
    quvex_sim_ring_set_identification(0, 12, c.ident);
    quvex_sim_ring_slave_silent(0, 12, c.silent ? 1 : 0);
    if (c.watchdog) {
        void* ev = reinterpret_cast<void*>(plat::event_create(nullptr, true, false));
        ASSERT_EQ(kring_enable_soft_watchdog(ring_u(), &ev), 0);
    }
    const double before = quvex_sim_now();
    uint8_t code = 0;
    EXPECT_EQ(master().identify(12, &code), c.result);
    EXPECT_EQ(code, c.code);
    if (c.result == -11) EXPECT_NEAR(quvex_sim_now() - before, 0.2, 1e-9);
    else EXPECT_LT(quvex_sim_now() - before, 0.01);

    code = 0;
    EXPECT_EQ(kring_id_data_device(ring_u(), 12, &code), 0);  // the export hides the time-out
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(master().transfer_busy(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ring, Identification,
    ::testing::Values(IdentCase{"no_watchdog", false, false, 0, -11, 0xA4},
                      IdentCase{"bit20_clear", true, false, 0x0000ABCD, 0, 0xA3},
                      IdentCase{"bit20_set", true, false, 0x00100000, 0, 0xA4},
                      IdentCase{"silent_slave", true, true, 0, -11, 0xA4}),
    [](const ::testing::TestParamInfo<IdentCase>& p) { return std::string(p.param.name); });

TEST_F(RingTransfer, IdentificationWithoutTargetSendsNothing) {
    start_with_io_slaves({12});
    start_trace();
    EXPECT_EQ(kring_id_data_device(ring_u(), 12, nullptr), 0);
    EXPECT_EQ(quvex_sim_access_count(), 0u);
}

}  // namespace
}  // namespace quvex::test
