// The four-axis module's reply latency against the library's handshake wait (up to 101 reads of
// window offset 256): a module that answers within the wait is served, one that answers later or
// never has its message given up with the end-of-transfer word.
#include <cmath>

#include "m4_station_fixture.h"

namespace quvex::test {
namespace {

class FourAxisLatency : public FourAxisStationTest {
protected:
    int handshake_reads() {
        int reads = 0;
        for (std::size_t i = 0; i < quvex_sim_access_count(); ++i) {
            quvex_sim_access a{};
            quvex_sim_access_get(i, &a);
            if (a.kind == QUVEX_SIM_ACCESS_WINDOW_READ && a.address == 256) ++reads;
        }
        return reads;
    }

    void start_counting() {
        quvex_sim_trace_enable(1);
        quvex_sim_trace_clear();
    }
};

struct LatencyCase {
    const char* name;
    int polls;
    double seconds;
    int reads;     // handshake reads of one transfer
    bool served;   // the module carried the message out
};

TEST_F(FourAxisLatency, WritesAreServedOnlyWithinTheHandshakeWait) {
    const LatencyCase cases[] = {
        {"instant", 0, 0, 1, true},
        {"one poll", 1, 0, 2, true},
        {"slow: 60 polls", 60, 0, 61, true},
        {"the last read of the wait", 100, 0, 101, true},
        {"one poll too slow", 101, 0, 101, false},
        {"never answers", -1, 0, 101, false},
        // The wait counts reads, not time: on the manual clock no virtual time passes in it.
        {"a time latency the wait does not cover", 0, 0.001, 101, false},
    };
    std::uint32_t value = 100;
    for (const LatencyCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(quvex_sim_m4_set_reply_latency(0, kSlave, 0, 0), 0);
        ASSERT_EQ(kring_m4_set_command(r(), kSlave, 0, 7), 0);
        ASSERT_EQ(quvex_sim_m4_set_reply_latency(0, kSlave, c.polls, c.seconds), 0);
        start_counting();
        ++value;
        EXPECT_EQ(kring_m4_set_command(r(), kSlave, 0, value), 0);  // the library does not judge the wait
        EXPECT_EQ(handshake_reads(), c.reads);
        quvex_sim_trace_enable(0);
        quvex_sim_advance(0.01);  // a late timer changes nothing any more
        EXPECT_EQ(chip(0).command_counter, c.served ? static_cast<std::int32_t>(value) : 7);
        int holder = 0;
        EXPECT_EQ(quvex_sim_ring_ready_line(0, &holder), 0);
        EXPECT_EQ(holder, -1);  // the end-of-transfer word let the line go
    }
}

// The library reads the reply after its wait whatever came of it: a module that answered late
// or never leaves no echo, and the register read leaves the caller's value alone.
TEST_F(FourAxisLatency, ReadsGetTheirReplyOnlyWhenServed) {
    ASSERT_EQ(kring_m4_set_command(r(), kSlave, 1, 4321), 0);
    struct Case {
        const char* name;
        int polls;
        bool served;
    };
    const Case cases[] = {{"slow", 100, true}, {"too slow", 101, false}, {"silent", -1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(quvex_sim_m4_set_reply_latency(0, kSlave, c.polls, 0), 0);
        std::uint16_t id = 0xBEEF;
        EXPECT_EQ(kring_m4_read_cpld(r(), kSlave, 0, &id), 0);
        EXPECT_EQ(id, c.served ? kIdNumber : 0xBEEF);
        std::uint32_t cmd = 0xDEADBEEF;
        EXPECT_EQ(kring_m4_get_command(r(), kSlave, 1, &cmd), 0);
        EXPECT_EQ(cmd == 4321u, c.served);
    }
}

TEST_F(FourAxisLatency, LatencyArgumentsAreChecked) {
    EXPECT_EQ(quvex_sim_m4_set_reply_latency(0, kSlave, 0, -1), -1);
    EXPECT_EQ(quvex_sim_m4_set_reply_latency(0, kSlave, 0, 2e6), -1);
    EXPECT_EQ(quvex_sim_m4_set_reply_latency(0, kSlave, 0, std::nan("")), -1);
    EXPECT_EQ(quvex_sim_m4_set_reply_latency(0, 6, 0, 0), -1);  // no module there
    EXPECT_EQ(quvex_sim_m4_set_reply_latency(0, 64, 0, 0), -1);
    EXPECT_EQ(quvex_sim_m4_set_reply_latency(0, kSlave, 3, 0.5), 0);
}

}  // namespace
}  // namespace quvex::test
