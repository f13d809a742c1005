// Which queued starts the chain mark (mode bits 18-23) continues without stopping: an arc takes
// it as it stands; a line or a single axis only while env2 bit 29 of the axis the start command
// reaches puts those bits in force. Otherwise the start waits as a plain queued one and the axes
// slow to FL between the moves.
#include <algorithm>

#include "chip_fixture.h"

namespace quvex::test {
namespace {

using namespace qsim::chipcode;

constexpr std::uint32_t kQueuedLine = 1u << 26;
constexpr std::uint32_t kChainMark = 0x3Fu << 18;
constexpr std::uint32_t kModeBitsInForce = 1u << 29;  // env2
constexpr unsigned kEnv2Write = 0x9D;

class ChipChainEnable : public ChipGroupTest {
protected:
    // Two moves of `axes` (bits of X and Y), 5000 pulses on X, the second started 0.5 s into the
    // first; the lowest speed of X (units) between pulse 4000 and pulse 6000.
    double lowest_at_join(std::uint32_t kind, unsigned axes, std::uint32_t env2) {
        make_group();
        const Move move{.mode = kind | kQueuedLine | kChainMark, .amount = 5000, .fl = 100, .fh = 2000, .range = 299,
                        .rate = 2000};
        const auto start_both = [&] {
            for (int a = 0; a < 2; ++a) {
                if ((axes & (1u << a)) == 0) continue;
                Move m = move;
                m.amount = a == 0 ? 5000 : 2500;
                program(a, m);
            }
            command(0, static_cast<std::uint16_t>(kStartRamped | axes << kAxisSelectShift));
        };
        write(0, kEnv2Write, env2);
        start_both();
        quvex_sim_advance(0.5);
        start_both();
        double lowest = 1e9;
        for (int i = 0; i < 20000 && running(0); ++i) {
            const std::int32_t at = counter(0);
            if (at >= 4000 && at <= 6000) lowest = std::min(lowest, speed_units(0));
            quvex_sim_advance(0.001);
        }
        EXPECT_EQ(counter(0), 10000);
        return lowest;
    }
};

TEST_F(ChipChainEnable, Env2Bit29PutsTheChainMarkInForceForLinesAndSingleAxes) {
    const struct Case {
        const char* name;
        std::uint32_t kind;
        unsigned axes;
        std::uint32_t env2;
        bool keeps_speed;
    } cases[] = {
        {"single axis, bit 29 set", 0x41, 0x1, kModeBitsInForce, true},
        {"single axis, bit 29 clear", 0x41, 0x1, 0, false},
        {"line, bit 29 set", kKindLinearInterpolation, 0x3, kModeBitsInForce, true},
        {"line, bit 29 clear", kKindLinearInterpolation, 0x3, 0, false},
        {"line, only bit 28 set", kKindLinearInterpolation, 0x3, 1u << 28, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double lowest = lowest_at_join(c.kind, c.axes, c.env2);
        if (c.keeps_speed) {
            EXPECT_GE(lowest, 1900.0);
        } else {
            EXPECT_LE(lowest, 150.0);
        }
    }
}

}  // namespace
}  // namespace quvex::test
