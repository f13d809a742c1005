// Test support of the one-axis module exports: a station at slave 3 that records nothing of its
// own (the ring's message history does) and answers register reads from a table the test fills,
// on a started ring of card 0.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "../ring/ring_fixture.h"
#include "quvex/kring_m1.h"

namespace quvex::test {

using Frame = std::vector<std::uint16_t>;

// Answers a one-word read request with {request, low half, high half} of its register table.
struct RegisterStation {
    std::map<std::uint16_t, std::uint32_t> registers;

    quvex_sim_station ops() {
        quvex_sim_station s{};
        s.type = 0x80;
        s.context = this;
        s.message = &on_message;
        return s;
    }

    static int QUVEX_CALL on_message(void* c, quvex_sim_station_link*, const uint16_t* words, int count,
                                     uint16_t* reply, int reply_max) {
        if (count != 1 || reply_max < 3) return 0;
        auto& regs = static_cast<RegisterStation*>(c)->registers;
        const auto it = regs.find(words[0]);
        const std::uint32_t v = it == regs.end() ? 0 : it->second;
        reply[0] = words[0];
        reply[1] = static_cast<std::uint16_t>(v & 0xFFFF);
        reply[2] = static_cast<std::uint16_t>(v >> 16);
        return 3;
    }
};

class ModuleTest : public RingTest {
protected:
    static constexpr std::uint16_t kSlave = 3;

    void SetUp() override {
        RingTest::SetUp();
        const quvex_sim_station s = station.ops();
        ASSERT_EQ(quvex_sim_ring_plug_station(0, kSlave, &s), 0);
        ASSERT_EQ(kring_start_ring(ring_u()), 0);
        ASSERT_EQ(kring_m1_initial(ring_u(), kSlave), 0);
        clear();
    }

    void clear() { quvex_sim_ring_history_clear(0); }

    // The words of every message since the last clear (reads are one word, the rest three).
    std::vector<Frame> sent() {
        std::vector<Frame> out;
        const int n = quvex_sim_ring_history_count(0);
        for (int i = 0; i < n; ++i) {
            quvex_sim_ring_message m{};
            quvex_sim_ring_history_get(0, i, &m);
            out.emplace_back(m.words, m.words + m.word_count);
        }
        return out;
    }

    // The writes only, as {code, 32-bit value}.
    std::vector<std::pair<std::uint16_t, std::uint32_t>> writes() {
        std::vector<std::pair<std::uint16_t, std::uint32_t>> out;
        for (const Frame& f : sent()) {
            if (f.size() == 3) out.emplace_back(f[0], static_cast<std::uint32_t>(f[1]) | (std::uint32_t{f[2]} << 16));
        }
        return out;
    }

    std::uint16_t r() const { return ring_u(); }

    RegisterStation station;
};

// A register write frame as the module receives it.
inline Frame frame(std::uint16_t code, std::uint32_t value = 0) {
    return {code, static_cast<std::uint16_t>(value & 0xFFFF), static_cast<std::uint16_t>(value >> 16)};
}

}  // namespace quvex::test
