// Test support of the virtual one-axis module: a module plugged at slave 5 of card 0's ring,
// the ring started and the module initialised, and helpers to run it on the virtual clock.
#pragma once

#include <cstdint>

#include "../ring/ring_fixture.h"
#include "quvex/kring_m1.h"

namespace quvex::test {

class ModuleStationTest : public RingTest {
protected:
    static constexpr std::uint16_t kSlave = 5;

    void SetUp() override {
        RingTest::SetUp();
        ASSERT_EQ(quvex_sim_ring_add_m1_module(0, kSlave), 0);
        ASSERT_EQ(kring_start_ring(r()), 0);
        ASSERT_EQ(kring_m1_initial(r(), kSlave), 0);
    }

    std::uint16_t r() const { return ring_u(); }

    quvex_sim_motion_info chip() {
        quvex_sim_motion_info info{};
        EXPECT_EQ(quvex_sim_module_motion_info(0, kSlave, 0, &info), 0);
        return info;
    }

    // The operation state as the library reads it (0 once the axis stopped).
    std::uint16_t done() {
        std::uint16_t d = 0xFFFF;
        EXPECT_EQ(kring_m1_motion_done(r(), kSlave, &d), 0);
        return d;
    }

    // Advances the clock in steps of `step` seconds until the axis stops; false when it still
    // runs after `limit` seconds.
    bool run_until_stopped(double limit = 60.0, double step = 0.01) {
        for (double t = 0; t < limit; t += step) {
            if (done() == 0) return true;
            quvex_sim_advance(step);
        }
        return done() == 0;
    }

    std::uint32_t io_status() {
        std::uint32_t io = 0;
        EXPECT_EQ(kring_m1_get_io_status(r(), kSlave, &io), 0);
        return io;
    }

    void input(int signal, bool active) { ASSERT_EQ(quvex_sim_module_set_input(0, kSlave, 0, signal, active ? 1 : 0), 0); }
};

}  // namespace quvex::test
