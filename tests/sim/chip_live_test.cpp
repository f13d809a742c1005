// Live registers written while the axis runs act on the move: a new maximum speed re-ramps, a new
// move amount re-targets ahead of the axis or turns it back; the move still ends on its count.
#include <algorithm>

#include "chip_fixture.h"

namespace quvex::test {
namespace {

using namespace qsim::chipcode;

class LiveWrites : public ChipGroupTest {};

struct SpeedChange {
    const char* name;
    std::uint32_t s_curve;  // operation-mode bit 10
    std::uint32_t new_fh;
};

class LiveSpeed : public LiveWrites, public ::testing::WithParamInterface<SpeedChange> {};

TEST_P(LiveSpeed, NewMaximumSpeedReRampsAndTheMoveEndsOnCount) {
    const SpeedChange p = GetParam();
    make_group();
    program(0, {.mode = 0x41 | p.s_curve, .amount = 20000, .fl = 100, .fh = 2000, .rate = 200});
    command(0, kStartRamped);
    quvex_sim_advance(1.0);
    ASSERT_DOUBLE_EQ(speed_units(0), 2000.0) << "cruising";

    write(0, live_write(kMaxSpeed), p.new_fh);
    const bool up = p.new_fh > 2000;
    EXPECT_EQ(look(0, [](qsim::Chip& c) { return c.operation_state(); }),
              up ? qsim::opstate::kAccelerating : qsim::opstate::kDecelerating);
    // A linear ramp of |change| units at rate 200 lasts |change| * 201 / 4 915 200 s; an S one twice that.
    const double span = up ? p.new_fh - 2000.0 : 2000.0 - p.new_fh;
    quvex_sim_advance(span * 201.0 / 4915200.0 * (p.s_curve != 0 ? 2.0 : 1.0) + 1e-4);
    EXPECT_DOUBLE_EQ(speed_units(0), static_cast<double>(p.new_fh));
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(counter(0), 20000);
    EXPECT_DOUBLE_EQ(look(0, [](qsim::Chip& c) { return c.motion.peak_speed; }), std::max(2000.0, static_cast<double>(p.new_fh)));
}

INSTANTIATE_TEST_SUITE_P(Curves, LiveSpeed,
                         ::testing::Values(SpeedChange{"linear_up", 0, 5000}, SpeedChange{"linear_down", 0, 800},
                                           SpeedChange{"s_up", kSCurveBit, 5000}, SpeedChange{"s_down", kSCurveBit, 800}),
                         [](const ::testing::TestParamInfo<SpeedChange>& i) { return std::string(i.param.name); });

struct Retarget {
    const char* name;
    std::int32_t first, second;  // move amounts from the start of the move
    bool turns;                  // the new end lies behind the axis when written
};

class LiveAmount : public LiveWrites, public ::testing::WithParamInterface<Retarget> {};

TEST_P(LiveAmount, NewMoveAmountReTargetsFromTheStartOfTheMove) {
    const Retarget p = GetParam();
    make_group();
    program(1, {.amount = p.first, .fl = 100, .fh = 1000, .rate = 500});
    command(1, kStartRamped);
    quvex_sim_advance(1.0);
    const std::int32_t at_write = counter(1);
    ASSERT_GT(std::abs(at_write), 500);
    write(1, live_write(kMoveAmount), static_cast<std::uint32_t>(p.second));
    // Remaining pulses count to the new end, also while the axis slows down to turn.
    EXPECT_NEAR(look(1, [](qsim::Chip& c) { return static_cast<double>(c.remaining_pulses()); }),
                std::abs(p.second - at_write), 60.0);

    std::int32_t farthest = at_write;
    for (int i = 0; i < 20000 && running(1); ++i) {
        quvex_sim_advance(0.001);
        farthest = p.first > 0 ? std::max(farthest, counter(1)) : std::min(farthest, counter(1));
    }
    EXPECT_FALSE(running(1));
    EXPECT_EQ(counter(1), p.second);
    EXPECT_EQ(look(1, [](qsim::Chip& c) { return c.motion.stop_reason; }), 0u);
    if (p.turns) {
        EXPECT_NE(farthest, p.second) << "slowed down past the new end, then came back";
        EXPECT_GT(std::abs(farthest), std::abs(at_write));
    } else {
        EXPECT_EQ(farthest, p.second);
    }
}

INSTANTIATE_TEST_SUITE_P(Ends, LiveAmount,
                         ::testing::Values(Retarget{"farther", 3000, 6000, false},
                                           Retarget{"nearer_still_ahead", 5000, 1800, false},
                                           Retarget{"behind", 3000, 200, true},
                                           Retarget{"behind_the_start", 3000, -700, true},
                                           Retarget{"minus_direction_behind", -3000, -100, true}),
                         [](const ::testing::TestParamInfo<Retarget>& i) { return std::string(i.param.name); });

TEST_F(LiveWrites, LiveWritesToAStoppedAxisWaitForTheNextStart) {
    make_group();
    write(2, live_write(kMaxSpeed), 1234);
    EXPECT_FALSE(running(2));
    EXPECT_EQ(counter(2), 0);
}

}  // namespace
}  // namespace quvex::test
