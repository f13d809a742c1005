// Test support of the virtual four-axis module: a module plugged at slave 5 of card 0's ring,
// the ring started and the module initialised, and helpers to run its axes on the virtual clock.
#pragma once

#include <cstdint>
#include <vector>

#include "../ring/ring_fixture.h"
#include "quvex/kring_m4.h"

namespace quvex::test {

using Words = std::vector<std::uint16_t>;

class FourAxisStationTest : public RingTest {
protected:
    static constexpr std::uint16_t kSlave = 5;
    static constexpr std::uint16_t kIdNumber = 0x4A17;

    void SetUp() override {
        RingTest::SetUp();
        ASSERT_EQ(quvex_sim_ring_add_m4_module(0, kSlave, kIdNumber), 0);
        ASSERT_EQ(kring_start_ring(r()), 0);
        ASSERT_EQ(kring_m4_initial(r(), kSlave), 0);
    }

    std::uint16_t r() const { return ring_u(); }

    quvex_sim_motion_info chip(int axis) {
        quvex_sim_motion_info info{};
        EXPECT_EQ(quvex_sim_module_motion_info(0, kSlave, axis, &info), 0);
        return info;
    }

    // The operation state as the library reads it (0 once the axis stopped).
    std::uint16_t done(int axis) {
        std::uint16_t d = 0xFFFF;
        EXPECT_EQ(kring_m4_motion_done(r(), kSlave, static_cast<std::uint16_t>(axis), &d), 0);
        return d;
    }

    // Advances the clock in steps of `step` seconds until every axis stops; false when one still
    // runs after `limit` seconds.
    bool run_until_stopped(double limit = 30.0, double step = 0.01) {
        const auto all_done = [this] {
            for (int a = 0; a < 4; ++a) {
                if (done(a) != 0) return false;
            }
            return true;
        };
        for (double t = 0; t < limit; t += step) {
            if (all_done()) return true;
            quvex_sim_advance(step);
        }
        return all_done();
    }

    std::int32_t position(int axis) {
        std::uint32_t v = 0;
        EXPECT_EQ(kring_m4_get_position(r(), kSlave, static_cast<std::uint16_t>(axis), &v), 0);
        return static_cast<std::int32_t>(v);
    }
    std::int32_t command(int axis) {
        std::uint32_t v = 0;
        EXPECT_EQ(kring_m4_get_command(r(), kSlave, static_cast<std::uint16_t>(axis), &v), 0);
        return static_cast<std::int32_t>(v);
    }

    std::vector<quvex_sim_motion_sample> samples(int axis) {
        const int n = quvex_sim_module_motion_samples(0, kSlave, axis, nullptr, 0);
        std::vector<quvex_sim_motion_sample> out(static_cast<std::size_t>(n > 0 ? n : 0));
        quvex_sim_module_motion_samples(0, kSlave, axis, out.data(), n);
        return out;
    }

    void input(int axis, int signal, bool active) {
        ASSERT_EQ(quvex_sim_module_set_input(0, kSlave, axis, signal, active ? 1 : 0), 0);
    }
};

}  // namespace quvex::test
