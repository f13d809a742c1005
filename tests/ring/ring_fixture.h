// Test support of the ring: card 0 started, its ring slot opened, everything closed at the end.
#pragma once

#include "quvex/sim_ring.h"
#include "ring/ring_table.h"
#include "sim_fixture.h"

namespace quvex::test {

class RingTest : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        ring_no = quvex_open_kring(0);
        ASSERT_EQ(ring_no, 0);
    }
    void TearDown() override {
        kring_close();
        CardTest::TearDown();
    }
    ring::RingMaster& master() { return *ring::ring_slot(static_cast<unsigned>(ring_no)); }
    // Plugs I/O stations (type 0x81: present) and starts the ring.
    void start_with_io_slaves(std::initializer_list<int> slaves) {
        for (int s : slaves) ASSERT_EQ(quvex_sim_ring_add_io_slave(0, s, 0x81, 0), 0);
        ASSERT_EQ(kring_start_ring(ring_u()), 0);
    }
    std::uint16_t ring_u() const { return static_cast<std::uint16_t>(ring_no); }

    quvex_status ring_no = -1;
};

}  // namespace quvex::test
