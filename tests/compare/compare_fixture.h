// Fixture of the comparator tests: cards started by quvex_initial on a fresh installation, with
// helpers that read the chip, the compare area and the motion of the virtual axes.
#pragma once

#include <cstdint>
#include <cstring>

#include "card_events.h"
#include "card/card_table.h"
#include "quvex/sim.h"
#include "sim_fixture.h"

namespace quvex::test {

class CompareTest : public CardTest {
protected:
    explicit CompareTest(int cards = 1) : CardTest(cards) {}

public:
    static std::uint32_t reg(int device, int axis, unsigned code) {
        std::uint32_t v = 0;
        EXPECT_EQ(quvex_sim_chip_register(device, axis, code, &v), 0);
        return v;
    }
    static quvex_sim_motion_info motion(int axis) {
        quvex_sim_motion_info info{};
        EXPECT_EQ(quvex_sim_motion_info_get(0, axis, &info), 0);
        return info;
    }
    static quvex_sim_compare_info compare(int axis) {
        quvex_sim_compare_info info{};
        EXPECT_EQ(quvex_sim_compare_info_get(0, axis, &info), 0);
        return info;
    }
    // A field of axis `axis`'s block in the compare area of device `device`.
    template <typename T>
    static T area(int device, int axis, std::size_t offset) {
        quvex_sim_card_info info{};
        EXPECT_EQ(quvex_sim_card_info_get(device, &info), 0);
        T v{};
        std::memcpy(&v, reinterpret_cast<const void*>(info.compare_area + axis * 0x1020 + offset), sizeof v);
        return v;
    }
    // Advances the clock until the axis reports stopped (or the limit passes).
    static bool run_until_stopped(int axis, double limit_seconds = 60.0, double step = 0.01) {
        for (double t = 0; t < limit_seconds; t += step) {
            if (quvex_motion_done(static_cast<int16_t>(axis)) == 0) return true;
            quvex_sim_advance(step);
        }
        return quvex_motion_done(static_cast<int16_t>(axis)) == 0;
    }
};

}  // namespace quvex::test
