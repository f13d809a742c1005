// Stations of one's own on the virtual ring: messages and replies (also answered later), cyclic
// bytes both ways through the station, its timers, the message history, and the handshake line
// that the host polls at window offset 256 after a module message.
#include <cmath>

#include "card_events.h"
#include "ring_fixture.h"
#include "trace_match.h"

namespace quvex::test {
namespace {

constexpr int kStation = 7;
constexpr uint16_t kEndOfTransfer = 0x0400;
constexpr uint16_t kHandshakeWord = 256;
constexpr uint16_t kReadyBit = 0x0002;

// Timer tags of the test station.
enum Tag : int { kAnswer = 1, kRaiseReady, kCountInput };

// A station that answers every word plus one; optionally answers later, works on a message for
// a while behind the handshake line, or counts up its input word on a timer. Its second cyclic
// word reads as the complement of the first one's low byte (its terminals loop back).
struct TestStation {
    bool answer_later = false;
    double answer_delay = 0.002;
    double ready_delay = -1.0;  // >= 0: holds the handshake line low that long per message
    double count_period = 0.0;  // > 0: input word 1 counts up with this period after the first output
    std::vector<std::vector<uint16_t>> received;
    std::vector<std::pair<int, uint16_t>> written;
    std::vector<uint16_t> later_reply;
    int timers_fired = 0;
    uint16_t input_count = 0;
    bool loop_back = true;

    quvex_sim_station ops(uint8_t type = 0x82, uint32_t ident = 0x00200000) {
        quvex_sim_station s{};
        s.type = type;
        s.ident = ident;
        s.context = this;
        s.message = &on_message;
        s.cyclic_write = &on_cyclic_write;
        s.cyclic_read = &on_cyclic_read;
        s.timer = &on_timer;
        return s;
    }

    static TestStation& of(void* c) { return *static_cast<TestStation*>(c); }

    static int QUVEX_CALL on_message(void* c, quvex_sim_station_link* link, const uint16_t* words, int count,
                                     uint16_t* reply, int reply_max) {
        TestStation& st = of(c);
        st.received.emplace_back(words, words + count);
        std::vector<uint16_t> answer;
        for (int i = 0; i < count; ++i) answer.push_back(static_cast<uint16_t>(words[i] + 1));
        if (st.ready_delay >= 0.0) {
            if (count == 1 && words[0] == kEndOfTransfer) {
                quvex_sim_station_ready_line(link, -1);
            } else {
                quvex_sim_station_ready_line(link, 0);
                quvex_sim_station_schedule(link, st.ready_delay, kRaiseReady);
            }
        }
        if (st.answer_later) {
            st.later_reply = answer;
            quvex_sim_station_schedule(link, st.answer_delay, kAnswer);
            return -1;
        }
        const int n = std::min(count, reply_max);
        std::copy_n(answer.begin(), n, reply);
        return n;
    }

    static void QUVEX_CALL on_cyclic_write(void* c, quvex_sim_station_link* link, int word, uint16_t value) {
        TestStation& st = of(c);
        st.written.emplace_back(word, value);
        if (st.count_period > 0.0 && st.written.size() == 1) quvex_sim_station_schedule(link, st.count_period, kCountInput);
    }

    static uint16_t QUVEX_CALL on_cyclic_read(void* c, quvex_sim_station_link* link, int word, uint16_t stored) {
        TestStation& st = of(c);
        if (word != 1 || !st.loop_back) return stored;
        const int outputs = quvex_sim_station_cyclic(link, 0);
        return static_cast<uint16_t>((stored & 0xFF00) | (~outputs & 0xFF));
    }

    static void QUVEX_CALL on_timer(void* c, quvex_sim_station_link* link, int tag) {
        TestStation& st = of(c);
        ++st.timers_fired;
        switch (tag) {
            case kAnswer:
                quvex_sim_station_answer(link, st.later_reply.data(), static_cast<int>(st.later_reply.size()));
                break;
            case kRaiseReady: quvex_sim_station_ready_line(link, 1); break;
            case kCountInput:
                ++st.input_count;
                quvex_sim_station_set_cyclic(link, 1, static_cast<uint16_t>(st.input_count << 8));
                quvex_sim_station_schedule(link, st.count_period, kCountInput);
                break;
            default: break;
        }
    }
};

class RingStations : public RingTest {
protected:
    void plug(TestStation& st, int slave = kStation) {
        const quvex_sim_station ops = st.ops();
        ASSERT_EQ(quvex_sim_ring_plug_station(0, slave, &ops), 0);
    }
    // A message as the module transport sends it: under the ring lock, polling for "done".
    void send(int slave, std::initializer_list<uint16_t> words) {
        const std::vector<uint16_t> message(words);
        ASSERT_EQ(master().send(slave, message), 0);
    }
    std::vector<uint16_t> read_reply(int count) {
        std::vector<uint16_t> out;
        for (int i = 0; i < count; ++i) out.push_back(master().read_word(6));
        return out;
    }
    // The host's wait after a module message: up to 101 reads of offset 256 until bit 1 shows.
    int wait_reads() {
        for (int n = 1; n <= 101; ++n) {
            if ((master().read_word(kHandshakeWord) & kReadyBit) != 0) return n;
        }
        return 101;
    }
    std::vector<quvex_sim_ring_message> history() {
        std::vector<quvex_sim_ring_message> out(static_cast<std::size_t>(quvex_sim_ring_history_count(0)));
        for (std::size_t i = 0; i < out.size(); ++i) quvex_sim_ring_history_get(0, static_cast<int>(i), &out[i]);
        return out;
    }
};

// ---- messages ----

TEST_F(RingStations, StationReceivesEachMessageAndItsReplyIsInTheMessagePort) {
    TestStation st;
    plug(st);
    ASSERT_EQ(kring_start_ring(ring_u()), 0);
    uint32_t table[2] = {};
    ASSERT_EQ(kring_get_ring_active_table(ring_u(), table), 0);
    EXPECT_EQ(table[0], 1u << kStation);
    EXPECT_EQ(kring_get_slave_info(ring_u(), kStation), 0x82);
    start_trace();
    send(kStation, {0x0910, 0x1234});
    EXPECT_EQ(read_reply(2), (std::vector<uint16_t>{0x0911, 0x1235}));
    uint32_t value = 0;
    EXPECT_EQ(master().request(kStation, 0x00E4, &value), 0);
    EXPECT_EQ(st.received, (std::vector<std::vector<uint16_t>>{{0x0910, 0x1234}, {0x00E4}}));
    EXPECT_EQ(quvex_sim_ring_messages(0), 2);
    // The reply of one word: the first read word is dropped, the next two hold nothing.
    EXPECT_EQ(value, 0u);
    // The test station answers each word plus one.
    EXPECT_EQ(card_events({.kind = QUVEX_SIM_EV_RING_MESSAGE, .station = kStation}),
              (std::vector<CardEvent>{ring_message(kStation, {0x0910, 0x1234}, {0x0910 + 1, 0x1234 + 1}),
                                      ring_message(kStation, {0x00E4}, {0x00E4 + 1})}));
}

TEST_F(RingStations, StationAnsweringLaterShowsDoneOnlyFromItsAnswerOn) {
    TestStation st;
    st.answer_later = true;
    plug(st);
    start_trace();
    master().write_word(6, 0x0A06);
    master().write_word(0, static_cast<uint16_t>(0x4000 + kStation));
    EXPECT_EQ(master().read_word(0) & 1u, 0u);
    quvex_sim_advance(0.001);
    EXPECT_EQ(master().read_word(0) & 1u, 0u);
    EXPECT_EQ(quvex_sim_ring_messages(0), 0);
    quvex_sim_advance(0.001);
    EXPECT_EQ(master().read_word(0) & 1u, 1u);
    EXPECT_EQ(read_reply(1), std::vector<uint16_t>{0x0A07});
    EXPECT_EQ(quvex_sim_ring_messages(0), 1);
    EXPECT_EQ(station_events(kStation),
              (std::vector<CardEvent>{unanswered_message(kStation, {0x0A06}), late_reply(kStation, {0x0A06 + 1})}));
    const std::vector<TraceEvent> replies = events_matching({.kind = QUVEX_SIM_EV_RING_REPLY, .station = kStation});
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_NEAR(replies[0].record.time, 0.002, 1e-12);
}

// The master carries one message at a time: an answer to a message the host has given up on
// (by sending the next one) is refused and changes nothing.
TEST_F(RingStations, LateAnswerToAnOverriddenMessageIsRefused) {
    TestStation late, quick;
    late.answer_later = true;
    plug(late);
    plug(quick, 8);
    master().write_word(6, 0x0001);
    master().write_word(0, static_cast<uint16_t>(0x4000 + kStation));
    send(8, {0x0010});
    EXPECT_EQ(read_reply(1), std::vector<uint16_t>{0x0011});
    quvex_sim_advance(0.01);
    EXPECT_EQ(late.timers_fired, 1);
    EXPECT_EQ(master().read_word(6), 0u) << "the late answer reached the message port";
    EXPECT_EQ(quvex_sim_ring_messages(0), 1);
}

// ---- message history ----

TEST_F(RingStations, HistoryKeepsEveryMessageInOrderWithItsReplyEvenWithTracingOff) {
    TestStation st;
    plug(st);
    quvex_sim_ring_add_io_slave(0, 9, 0x81, 0);
    quvex_sim_ring_slave_silent(0, 9, 1);
    send(kStation, {0x0001, 0x0002});
    quvex_sim_advance(0.5);
    send(9, {0x0003});
    send(40, {0x0004});  // nobody at 40
    st.answer_later = true;
    send(kStation, {0x0005});
    quvex_sim_advance(0.01);

    struct Expected {
        int slave;
        double sent, answered;
        std::vector<uint16_t> words, reply;
    };
    const std::vector<Expected> expected = {{kStation, 0.0, 0.0, {1, 2}, {2, 3}},
                                            {9, 0.5, -1.0, {3}, {}},
                                            {40, 0.5, -1.0, {4}, {}},
                                            {kStation, 0.5, 0.502, {5}, {6}}};
    const std::vector<quvex_sim_ring_message> h = history();
    ASSERT_EQ(h.size(), expected.size());
    for (std::size_t i = 0; i < h.size(); ++i) {
        const Expected& e = expected[i];
        EXPECT_EQ(h[i].slave, e.slave) << i;
        EXPECT_NEAR(h[i].sent, e.sent, 1e-12) << i;
        EXPECT_NEAR(h[i].answered, e.answered, 1e-12) << i;
        EXPECT_EQ(std::vector<uint16_t>(h[i].words, h[i].words + h[i].word_count), e.words) << i;
        EXPECT_EQ(std::vector<uint16_t>(h[i].reply, h[i].reply + h[i].reply_count), e.reply) << i;
    }
    uint16_t last[4] = {};
    EXPECT_EQ(quvex_sim_ring_last_message(0, kStation, last, 4), 1);
    EXPECT_EQ(last[0], 5);

    EXPECT_EQ(quvex_sim_ring_history_clear(0), 0);
    EXPECT_EQ(quvex_sim_ring_history_count(0), 0);
    quvex_sim_ring_message m{};
    EXPECT_EQ(quvex_sim_ring_history_get(0, 0, &m), -1);
}

// ---- cyclic bytes ----

TEST_F(RingStations, CyclicBytesFlowBothWaysThroughTheStation) {
    TestStation st;
    plug(st);
    ASSERT_EQ(kring_start_ring(ring_u()), 0);
    EXPECT_EQ(kring_io_output(ring_u(), kStation, 0, 0x5A), 0);
    EXPECT_EQ(st.written, (std::vector<std::pair<int, uint16_t>>{{0, 0x005A}}));
    // The station's terminals answer the read: port 2 is the complement of port 0.
    EXPECT_EQ(kring_io_input(ring_u(), kStation, 2), 0xA5);
    EXPECT_EQ(kring_io_output(ring_u(), kStation, 0, 0x0F), 0);
    EXPECT_EQ(kring_io_input(ring_u(), kStation, 2), 0xF0);
    // What the host wrote reads back through the station unchanged.
    EXPECT_EQ(kring_io_input(ring_u(), kStation, 0), 0x0F);
}

TEST_F(RingStations, StationTimersKeepItsInputsCurrentWithoutHostAccesses) {
    TestStation st;
    st.loop_back = false;
    st.count_period = 0.010;
    plug(st);
    ASSERT_EQ(kring_start_ring(ring_u()), 0);
    const double t0 = quvex_sim_now();
    ASSERT_EQ(kring_io_output(ring_u(), kStation, 0, 0x01), 0);
    EXPECT_EQ(kring_io_input(ring_u(), kStation, 3), 0);
    quvex_sim_advance(0.035);
    EXPECT_EQ(st.timers_fired, 3);
    EXPECT_EQ(quvex_sim_ring_io_get(0, kStation, 3), 3);
    EXPECT_EQ(kring_io_input(ring_u(), kStation, 3), 3);
    EXPECT_NEAR(quvex_sim_now() - t0, 0.035, 1e-12);
}

// An unplugged station's timers never run, neither into it nor into a station plugged at its
// number later.
TEST_F(RingStations, UnpluggingDropsTheStationsTimers) {
    TestStation old_one, new_one;
    old_one.answer_later = true;
    plug(old_one);
    send(kStation, {0x0001});
    ASSERT_EQ(quvex_sim_ring_remove_slave(0, kStation), 0);
    quvex_sim_advance(0.01);
    EXPECT_EQ(old_one.timers_fired, 0);

    send(kStation, {0x0002});  // nobody there now
    old_one.timers_fired = 0;
    plug(old_one);
    send(kStation, {0x0003});
    plug(new_one);
    quvex_sim_advance(0.01);
    EXPECT_EQ(old_one.timers_fired, 0);
    EXPECT_EQ(new_one.timers_fired, 0);
    EXPECT_EQ(master().read_word(0) & 1u, 0u);
}

// ---- the handshake line at offset 256 ----

struct HandshakeCase {
    const char* name;
    int slave0_port0;  // -1: nothing at slave 0; else an I/O station with this input byte
    int reads_while_working;
    int reads_when_done;
    int reads_after_release;
};

class Handshake : public RingStations, public ::testing::WithParamInterface<HandshakeCase> {};

TEST_P(Handshake, WaitSeesTheModuleWorkThenReadyAndSlaveZeroAgainAfterTheTransfer) {
    const HandshakeCase& c = GetParam();
    if (c.slave0_port0 >= 0) {
        ASSERT_EQ(quvex_sim_ring_add_io_slave(0, 0, 0x81, 0), 0);
        quvex_sim_ring_io_set(0, 0, 0, static_cast<uint8_t>(c.slave0_port0));
        quvex_sim_ring_io_set(0, 0, 1, 0xC3);
    }
    TestStation module;
    module.ready_delay = 0.001;
    plug(module);
    const uint16_t slave0_word = c.slave0_port0 < 0 ? 0 : static_cast<uint16_t>(0xC300 | c.slave0_port0);

    send(kStation, {0x0904, 0x00A1});
    int holder = -2;
    EXPECT_EQ(quvex_sim_ring_ready_line(0, &holder), 0);
    EXPECT_EQ(holder, kStation);
    EXPECT_EQ(wait_reads(), c.reads_while_working);
    // Only bit 1 is the module's: the other bits stay slave 0's.
    EXPECT_EQ(master().read_word(kHandshakeWord), slave0_word & ~kReadyBit);
    quvex_sim_advance(0.001);
    EXPECT_EQ(wait_reads(), c.reads_when_done);
    EXPECT_EQ(master().read_word(kHandshakeWord), slave0_word | kReadyBit);

    send(kStation, {kEndOfTransfer});
    EXPECT_EQ(quvex_sim_ring_ready_line(0, &holder), (slave0_word & kReadyBit) != 0 ? 1 : 0);
    EXPECT_EQ(holder, -1);
    EXPECT_EQ(wait_reads(), c.reads_after_release);
    EXPECT_EQ(master().read_word(kHandshakeWord), slave0_word);
}

INSTANTIATE_TEST_SUITE_P(Ring, Handshake,
                         ::testing::Values(HandshakeCase{"nothing_at_slave0", -1, 101, 1, 101},
                                           HandshakeCase{"io_input_bit1_clear", 0x01, 101, 1, 101},
                                           HandshakeCase{"io_input_bit1_set", 0x02, 101, 1, 1}),
                         [](const ::testing::TestParamInfo<HandshakeCase>& p) { return std::string(p.param.name); });

// ---- refusals ----

TEST_F(RingStations, RefusesBadArgumentsWithoutTouchingAnything) {
    TestStation st;
    const quvex_sim_station ops = st.ops();
    EXPECT_EQ(quvex_sim_ring_plug_station(0, 64, &ops), -1);
    EXPECT_EQ(quvex_sim_ring_plug_station(0, -1, &ops), -1);
    EXPECT_EQ(quvex_sim_ring_plug_station(0, 3, nullptr), -1);
    EXPECT_EQ(quvex_sim_ring_plug_station(5, 3, &ops), -1);  // no card
    EXPECT_EQ(quvex_sim_ring_history_count(5), -1);
    quvex_sim_ring_message m{};
    EXPECT_EQ(quvex_sim_ring_history_get(0, -1, &m), -1);
    EXPECT_EQ(quvex_sim_ring_history_get(0, 0, nullptr), -1);
    EXPECT_EQ(quvex_sim_ring_ready_line(5, nullptr), -1);
    EXPECT_EQ(quvex_sim_station_slave(nullptr), -1);
    EXPECT_EQ(quvex_sim_station_cyclic(nullptr, 0), -1);
    EXPECT_EQ(quvex_sim_station_schedule(nullptr, 0.1, 1), -1);
    EXPECT_EQ(quvex_sim_station_answer(nullptr, nullptr, 0), -1);
    EXPECT_EQ(quvex_sim_station_ready_line(nullptr, 1), -1);
}

// Inside a callback: out-of-range words, delays and levels are refused.
TEST_F(RingStations, LinkCallsRefuseOutOfRangeArguments) {
    struct Probe {
        std::vector<int> results;
        static int QUVEX_CALL message(void* c, quvex_sim_station_link* link, const uint16_t*, int, uint16_t*, int) {
            auto& r = static_cast<Probe*>(c)->results;
            r.push_back(quvex_sim_station_cyclic(link, 2));
            r.push_back(quvex_sim_station_set_cyclic(link, -1, 0));
            r.push_back(quvex_sim_station_schedule(link, -0.001, 1));
            r.push_back(quvex_sim_station_schedule(link, std::nan(""), 1));
            r.push_back(quvex_sim_station_schedule(link, 2e6, 1));
            r.push_back(quvex_sim_station_ready_line(link, 2));
            r.push_back(quvex_sim_station_answer(link, nullptr, 1));
            r.push_back(quvex_sim_station_answer(link, nullptr, 0));  // nothing of it is waiting
            r.push_back(quvex_sim_station_slave(link));
            return 0;
        }
    } probe;
    quvex_sim_station ops{};
    ops.type = 0x82;
    ops.context = &probe;
    ops.message = &Probe::message;
    ASSERT_EQ(quvex_sim_ring_plug_station(0, 12, &ops), 0);
    send(12, {0x0001});
    EXPECT_EQ(probe.results, (std::vector<int>{-1, -1, -1, -1, -1, -1, -1, -1, 12}));
    EXPECT_EQ(quvex_sim_ring_ready_line(0, nullptr), 0);
}

}  // namespace
}  // namespace quvex::test
