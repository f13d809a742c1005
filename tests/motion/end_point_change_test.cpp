// End-point changes: when a new end can still be reached, what the chip is told, and the
// virtual chip ending on the new target ahead and behind.
#include <cstdio>
#include <limits>

#include "ports/primitives.h"
#include "motion/end_point_change.h"
#include "motion_fixture.h"
#include "quvex/quvex.h"

namespace quvex::test {
namespace {

struct RoomCase {
    const char* name;
    std::uint32_t ramp_down_point;
    double new_end;  // the axis stands at 0
    int status;
};

class EndPointRoom : public MotionTest, public ::testing::WithParamInterface<RoomCase> {};

// The live ramp-down point is set directly; the axis is idle at 0 (nothing checks that it moves).
TEST_P(EndPointRoom, RampDownPointAgainstTheWayToTheNewEnd) {
    const RoomCase c = GetParam();
    chip::write_register32(0, 0x96, c.ramp_down_point);
    start_trace();
    EXPECT_EQ(quvex_p_change(0, c.new_end), c.status);
    const Writes writes = chip_writes(X);
    if (c.status == 0) {
        const auto amount = static_cast<std::uint32_t>(static_cast<std::int32_t>(c.new_end));
        EXPECT_EQ(writes, Writes{X.write(reg::live(reg::kMoveAmount), amount)});
        double target = 0;
        ASSERT_EQ(quvex_get_target_pos(0, &target), 0);
        EXPECT_EQ(target, c.new_end);
    } else {
        EXPECT_TRUE(writes.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(AheadAndBehind, EndPointRoom,
                         ::testing::Values(RoomCase{"AheadJustInside", 99, 100, 0},
                                           RoomCase{"AheadJustOutside", 100, 100, 28},
                                           RoomCase{"BehindJustInside", 99, -200, 0},
                                           RoomCase{"BehindNeedsTwiceTheRampDown", 100, -200, 28},
                                           RoomCase{"AtTheAxis", 0, 0, 28}),
                         [](const auto& tp) { return std::string(tp.param.name); });

TEST_F(MotionTest, EndPointRefusalsWriteNothing) {
    start_trace();
    EXPECT_EQ(quvex_p_change(99, 100), 30);
    EXPECT_EQ(quvex_p_change(0, std::numeric_limits<double>::quiet_NaN()), 13);
    EXPECT_TRUE(card_events().empty());
}

struct MoveCase {
    const char* name;
    double new_end;
};

class EndPointInFlight : public MotionTest, public ::testing::WithParamInterface<MoveCase> {};

// A second relative move of 50 000 pulses from 1 000 at 10 000 pps (manual ramp-down point, so
// the chip and the library agree on it); the change lands one second in.
TEST_P(EndPointInFlight, EndsExactlyOnTheNewTarget) {
    const MoveCase c = GetParam();
    ASSERT_EQ(quvex_fix_speed_range(0, 65535), 0);
    ASSERT_EQ(quvex_start_tr_move(0, 1000, 100, 10000, 0.1, 0.1), 0);
    ASSERT_TRUE(run_until_stopped(0));
    ASSERT_EQ(quvex_start_tr_move(0, 50000, 100, 10000, 0.1, 0.1), 0);
    quvex_sim_advance(1.0);
    ASSERT_EQ(quvex_p_change(0, c.new_end), 0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(motion(0).command_counter, static_cast<std::int32_t>(c.new_end));
    double target = 0;
    ASSERT_EQ(quvex_get_target_pos(0, &target), 0);
    EXPECT_EQ(target, c.new_end);
}

INSTANTIATE_TEST_SUITE_P(ForwardAndBack, EndPointInFlight,
                         ::testing::Values(MoveCase{"FurtherOn", 80000}, MoveCase{"ShortenedAhead", 20000},
                                           MoveCase{"BehindTheAxis", 2000}),
                         [](const auto& tp) { return std::string(tp.param.name); });

}  // namespace
}  // namespace quvex::test
