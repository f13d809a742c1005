// Test support of the four-axis module exports: a station at slave 5 that answers the read
// forms from tables the test fills (module registers by address, axis registers by code) and
// nothing else, on a started ring of card 0. What the host sent is taken from the ring's message
// history; every transfer there is followed by its end-of-transfer word.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "../ring/ring_fixture.h"
#include "quvex/kring_m4.h"

namespace quvex::test {

using Words = std::vector<std::uint16_t>;
using AxisWrite = std::pair<std::uint16_t, std::uint32_t>;  // {code, value}

constexpr std::uint16_t kEndOfTransfer = 0x0400;
constexpr std::uint16_t axis_command_word(int a) { return static_cast<std::uint16_t>(0x0920 + 8 * a); }
constexpr std::uint16_t axis_data_write(int a) { return static_cast<std::uint16_t>(0x19A4 + 8 * a); }
constexpr std::uint16_t axis_data_read(int a) { return static_cast<std::uint16_t>(0x1AA4 + 8 * a); }

struct RegisterTableModule {
    std::map<std::uint16_t, std::uint16_t> module_regs;
    std::array<std::map<std::uint16_t, std::uint32_t>, 4> axis_regs;
    bool echo = true;  // false: the replies carry a wrong first word

    quvex_sim_station ops() {
        quvex_sim_station s{};
        s.type = 0x80;
        s.context = this;
        s.message = &on_message;
        return s;
    }

    static int QUVEX_CALL on_message(void* c, quvex_sim_station_link*, const uint16_t* w, int count, uint16_t* reply,
                                     int reply_max) {
        auto& self = *static_cast<RegisterTableModule*>(c);
        if (count == 1 && (w[0] & 0xFF00) == 0x0A00 && reply_max >= 2) {
            reply[0] = self.echo ? w[0] : static_cast<std::uint16_t>(w[0] ^ 1);
            reply[1] = self.module_regs[static_cast<std::uint16_t>(w[0] & 0xFF)];
            return 2;
        }
        // Axis reads: triples {command port, code, data-read word}, each answered by the echo,
        // the low and the high word.
        int n = 0;
        for (int i = 0; i + 2 < count && n + 3 <= reply_max; i += 3) {
            const int axis = (w[i] - 0x0920) / 8;
            if (axis < 0 || axis > 3 || w[i] != axis_command_word(axis) || w[i + 2] != axis_data_read(axis)) return 0;
            const std::uint32_t v = self.axis_regs[static_cast<std::size_t>(axis)][w[i + 1]];
            reply[n++] = self.echo ? w[i + 2] : 0;
            reply[n++] = static_cast<std::uint16_t>(v & 0xFFFF);
            reply[n++] = static_cast<std::uint16_t>(v >> 16);
        }
        return n;
    }
};

class FourAxisTest : public RingTest {
protected:
    static constexpr std::uint16_t kSlave = 5;

    void SetUp() override {
        RingTest::SetUp();
        const quvex_sim_station s = station.ops();
        ASSERT_EQ(quvex_sim_ring_plug_station(0, kSlave, &s), 0);
        ASSERT_EQ(kring_start_ring(ring_u()), 0);
        ASSERT_EQ(kring_m4_initial(r(), kSlave), 0);
        clear();
    }

    void clear() { quvex_sim_ring_history_clear(0); }
    std::uint16_t r() const { return ring_u(); }
    ring::SlaveRecord& record() { return master().slave(kSlave); }
    ring::ModuleAxisBlock& block(int axis) { return record().axes[static_cast<std::size_t>(axis)]; }

    // The transfers since the last clear, each checked to be followed by the end-of-transfer word.
    std::vector<Words> transfers() {
        std::vector<Words> out;
        const int n = quvex_sim_ring_history_count(0);
        for (int i = 0; i < n; ++i) {
            quvex_sim_ring_message m{};
            quvex_sim_ring_history_get(0, i, &m);
            EXPECT_EQ(m.slave, kSlave);
            Words words(m.words, m.words + m.word_count);
            if (i % 2 == 1) {
                EXPECT_EQ(words, Words{kEndOfTransfer}) << "message " << i;
            } else {
                out.push_back(std::move(words));
            }
        }
        EXPECT_EQ(n % 2, 0) << "a transfer without its end-of-transfer word";
        return out;
    }

    // The axis register writes only, as {code, value} of `axis`.
    std::vector<AxisWrite> axis_writes(int axis) {
        std::vector<AxisWrite> out;
        for (const Words& w : transfers()) {
            if (w.size() == 5 && w[0] == axis_data_write(axis) && w[3] == axis_command_word(axis)) {
                out.emplace_back(w[4], static_cast<std::uint32_t>(w[1]) | (std::uint32_t{w[2]} << 16));
            }
        }
        return out;
    }

    std::vector<std::uint16_t> codes(int axis) {
        std::vector<std::uint16_t> out;
        for (const AxisWrite& w : axis_writes(axis)) out.push_back(w.first);
        return out;
    }

    RegisterTableModule station;
};

}  // namespace quvex::test
