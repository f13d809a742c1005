// Fixture of the motion tests: one virtual card started by quvex_initial, with helpers that read
// the chip's registers and motion and run the virtual clock until an axis stops.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "frame/card_table.h"
#include "quvex/sim_motion.h"
#include "sim_fixture.h"

namespace quvex::test {

// One register write as register_writes() lists it: "code <- value".
inline std::string w(unsigned code, std::uint32_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%02X <- %08X", code, value);
    return text;
}

using Writes = std::vector<std::string>;

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
    // Register writes of the trace, as "code <- value".
    static std::vector<std::string> register_writes(int axis) {
        static const char* letters = "XYZU";
        const std::string prefix = std::string("d0.") + letters[axis] + " ";
        std::vector<std::string> out;
        for (const std::string& line : trace_lines_starting(prefix)) {
            const std::string rest = line.substr(prefix.size());
            if (rest.rfind("reg ", 0) == 0) out.push_back(rest.substr(4));
            if (rest.rfind("cmd ", 0) == 0) out.push_back(rest);
        }
        return out;
    }
};

}  // namespace quvex::test
