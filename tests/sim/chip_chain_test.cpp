// Queued starts that follow a running move: a plain queued start begins as its start code says
// (0x53 from FL, with its own ramps) after the running move slowed down for its end; a chained one
// (mode bits 18-23 all set) keeps the speed: the running move skips its deceleration and the next
// one begins where it ended.
#include <algorithm>

#include "chip_fixture.h"

namespace quvex::test {
namespace {

using namespace qsim::chipcode;

constexpr std::uint32_t kQueued = 1u << 27;
constexpr std::uint32_t kChained = 0x3Fu << 18;

class ChipChain : public ChipGroupTest {
protected:
    // Two moves of 5000 pulses, the second queued 0.5 s into the first; the lowest speed (units)
    // between pulse 4000 and pulse 6000, and where the axis ends.
    struct Transition {
        double lowest = 1e9;
        std::int32_t end = 0;
        double end_speed = 0;
    };
    Transition run_two(std::uint32_t second_mode, bool cancel = false) {
        make_group();
        write(0, kEnv1 + kEnv2Index, 1u << 29);  // mode bits 18-23 in force
        const Move move{.mode = 0x41, .amount = 5000, .fl = 100, .fh = 2000, .range = 299, .rate = 2000};
        program(0, move);
        command(0, kStartRamped);
        quvex_sim_advance(0.5);
        Move next = move;
        next.mode = second_mode;
        program(0, next);
        command(0, kStartRamped);
        if (cancel) command(0, kCancelQueuedStart);
        Transition r;
        for (int i = 0; i < 20000 && running(0); ++i) {
            const std::int32_t at = counter(0);
            const double v = speed_units(0);
            if (at >= 4000 && at <= 6000) r.lowest = std::min(r.lowest, v);
            r.end_speed = v;
            quvex_sim_advance(0.001);
        }
        r.end = counter(0);
        return r;
    }
};

TEST_F(ChipChain, QueuedStartsFollowTheirStartCodeOrCarryTheSpeed) {
    struct Case {
        const char* name;
        std::uint32_t mode;
        bool cancel;
        double lowest_min, lowest_max;
        std::int32_t end;
    };
    const Case cases[] = {
        {"queued: slows to FL, starts again from FL", 0x41 | kQueued, false, 100, 150, 10000},
        {"chained: keeps its speed through the join", 0x41 | kQueued | kChained, false, 1999, 2000, 10000},
        {"chained, then cancelled: the first move slows for its end again", 0x41 | kQueued | kChained, true, 100, 150,
         5000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Transition r = run_two(c.mode, c.cancel);
        EXPECT_GE(r.lowest, c.lowest_min);
        EXPECT_LE(r.lowest, c.lowest_max);
        EXPECT_EQ(r.end, c.end);
        EXPECT_LE(r.end_speed, 200.0) << "every chain ends slowing down";
    }
}

}  // namespace
}  // namespace quvex::test
