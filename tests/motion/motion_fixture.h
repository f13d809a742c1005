// Fixture of the motion tests: one virtual card started by quvex_initial, with helpers that read
// the chip's registers and motion and run the virtual clock until an axis stops.
#pragma once

#include <cstdint>
#include <vector>

#include "card_events.h"
#include "card/card_table.h"
#include "quvex/sim_motion.h"
#include "sim_fixture.h"

namespace quvex::test {

// Register writes and commands of one axis, as chip_writes lists them.
using Writes = std::vector<CardEvent>;

// The operation-mode word of a start: the start-up word (bit 27 set) with the start's bits.
constexpr std::uint32_t kSingleAxisStart = 1u << 26;
constexpr std::uint32_t kManualRampDown = 1u << 13;
constexpr std::uint32_t kSCurve = 1u << 10;
constexpr std::uint32_t kKindPositioning = 0x41;
constexpr std::uint32_t kKindContinuousPlus = 0x00;
constexpr std::uint32_t kKindContinuousMinus = 0x08;
constexpr std::uint32_t kSingleAxisMode = startup::kOperationMode | kSingleAxisStart;

class MotionTest : public CardTest {
protected:
    explicit MotionTest(int cards = 1) : CardTest(cards) {}

public:
    // A chip register of device 0 by its write or read code.
    static std::uint32_t reg(int axis, unsigned code) {
        std::uint32_t v = 0;
        EXPECT_EQ(quvex_sim_chip_register(0, axis, code, &v), 0);
        return v;
    }
    static quvex_sim_motion_info motion(int axis) {
        quvex_sim_motion_info info{};
        EXPECT_EQ(quvex_sim_motion_info_get(0, axis, &info), 0);
        return info;
    }
    // Advances the clock in steps until the axis reports stopped (or the limit passes); returns
    // whether it stopped.
    static bool run_until_stopped(int axis, double limit_seconds = 600.0, double step = 0.05) {
        for (double t = 0; t < limit_seconds; t += step) {
            if (quvex_motion_done(static_cast<int16_t>(axis)) == 0) return true;
            quvex_sim_advance(step);
        }
        return quvex_motion_done(static_cast<int16_t>(axis)) == 0;
    }
};

}  // namespace quvex::test
