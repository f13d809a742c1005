// An arc places its deceleration by the step count it was given (register 0x8C on the lead
// axis), not by its own count of the path: a count too small slows it early and it creeps to
// the end at the start speed, a count too large leaves no room to slow down.
#include "chip_fixture.h"

namespace quvex::test {
namespace {

using namespace qsim::chipcode;

// A counter-clockwise quarter circle of radius 2000 about (2000, 0) from the start: the step
// count of the octant rule is 2 * 2000 * 0.7071067811 = 2828.4, written as 2830.
constexpr std::int32_t kRadius = 2000;
constexpr std::uint32_t kGivenCount = 2830;

struct ArcRun {
    bool slowed = false;      // the deceleration to FL began
    double creep = 0;         // seconds at a constant FL
    double end_speed = 0;     // units, just before the end
    std::int32_t x = 0, y = 0;
};

class ArcStepCount : public ChipGroupTest {
protected:
    ArcRun run_arc(std::uint32_t count, bool manual_ramp_down = false, std::uint32_t ramp_down_point = 0) {
        make_group();
        const std::uint32_t mode = 0x65u | (manual_ramp_down ? kManualRampDownBit : 0u);
        // Rate 2000: about 0.77 s and 810 steps for each ramp between FL 100 and FH 2000.
        program(0, {.mode = mode, .amount = kRadius, .fl = 100, .fh = 2000, .range = 299, .rate = 2000});
        program(1, {.mode = mode, .amount = -kRadius, .fl = 100, .fh = 2000, .range = 299, .rate = 2000});
        write(0, buffered_write(kAuxAmount), static_cast<std::uint32_t>(kRadius));
        write(1, buffered_write(kAuxAmount), 0);
        write(0, buffered_write(kRampDownPoint), ramp_down_point);
        write(1, buffered_write(kRampDownPoint), ramp_down_point);
        write(0, kArcStepCount, count);
        command(0, static_cast<std::uint16_t>(0x0300 | kStartRamped));
        ArcRun r;
        constexpr double kStep = 0.001;
        for (double t = 0; t < 60 && running(0); t += kStep) {
            const unsigned state = look(0, [](qsim::Chip& c) { return c.operation_state(); });
            r.end_speed = speed_units(0);
            if (state == qsim::opstate::kDecelerating) r.slowed = true;
            if (state == qsim::opstate::kConstantSpeed && r.end_speed <= 100) r.creep += kStep;
            quvex_sim_advance(kStep);
        }
        r.x = counter(0);
        r.y = counter(1);
        return r;
    }
};

TEST_F(ArcStepCount, DecelerationIsPlacedByTheGivenCount) {
    struct Case {
        const char* name;
        std::uint32_t count;
        bool slowed;
        double creep_min, creep_max;  // seconds at FL before the end
        double end_speed_min, end_speed_max;
    };
    const Case cases[] = {
        // The count the library computes: the ramp ends on the end point, nothing to creep.
        {"given count", kGivenCount, true, 0, 0.05, 100, 200},
        // 1000 steps short: the ramp ends 1000 steps early and the arc creeps them at 100 pps.
        {"count too small", kGivenCount - 1000, true, 9, 11, 100, 100},
        // 1000 steps long: the ramp-down point lies beyond the end, the arc ends at full speed.
        {"count too large", kGivenCount + 1000, false, 0, 0, 1999, 2000},
        // No count at all (0): the arc never leaves FL.
        {"no count", 0, false, 25, 30, 100, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ArcRun r = run_arc(c.count);
        EXPECT_EQ(r.slowed, c.slowed);
        EXPECT_GE(r.creep, c.creep_min);
        EXPECT_LE(r.creep, c.creep_max);
        EXPECT_GE(r.end_speed, c.end_speed_min);
        EXPECT_LE(r.end_speed, c.end_speed_max);
        // Wherever it slows, the arc ends on its end point.
        EXPECT_EQ(r.x, kRadius);
        EXPECT_EQ(r.y, -kRadius);
    }
}

// With the manual ramp-down bit the ramp-down point is a count of steps left, counted on the
// given step count too.
TEST_F(ArcStepCount, ManualRampDownPointCountsOnTheGivenCount) {
    const ArcRun right = run_arc(kGivenCount, true, 830);
    EXPECT_TRUE(right.slowed);
    EXPECT_LE(right.creep, 0.3);
    const ArcRun early = run_arc(kGivenCount - 1000, true, 830);
    EXPECT_GE(early.creep, 9.0);
}

}  // namespace
}  // namespace quvex::test
