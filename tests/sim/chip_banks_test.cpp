// Register banks: a start takes over only the buffered registers written since the last start,
// and a start written while its axis still moves (with a queueing mode) waits for the move to
// end, shown by main status bit 14.
#include "chip_fixture.h"

namespace quvex::test {
namespace {

using namespace qsim::chipcode;

constexpr std::uint16_t kPendingBit = 1u << 14;
constexpr std::uint32_t kQueueBit = 1u << 26;

class Banks : public ChipGroupTest {};

TEST_F(Banks, StartTakesOverOnlyTheBufferedRegistersWrittenSinceTheLastStart) {
    make_group();
    // A jog-like start: everything programmed live, nothing buffered.
    program(0, {.mode = 0x41, .amount = 3000, .fh = 3000}, 0x90);
    command(0, kStartAtMaxSpeed);
    EXPECT_DOUBLE_EQ(speed_units(0), 3000.0) << "runs from the live bank";
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(counter(0), 3000);

    // Only the amount buffered: the live speed stays.
    write(0, buffered_write(kMoveAmount), 500);
    command(0, kStartAtMaxSpeed);
    EXPECT_DOUBLE_EQ(speed_units(0), 3000.0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(counter(0), 3500);

    // A start with nothing newly buffered repeats the live move: the amount taken over last time.
    write(0, live_write(kMaxSpeed), 2000);
    command(0, kStartAtMaxSpeed);
    EXPECT_DOUBLE_EQ(speed_units(0), 2000.0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(counter(0), 4000);
}

TEST_F(Banks, QueuedStartWaitsForTheRunningMoveAndShowsPending) {
    make_group();
    program(1, {.mode = 0x41 | kQueueBit, .amount = 1000, .fh = 1000});
    command(1, kStartAtMaxSpeed);
    quvex_sim_advance(0.5);
    EXPECT_EQ(main_status(1) & kPendingBit, 0) << "nothing waits yet";

    write(1, buffered_write(kMoveAmount), static_cast<std::uint32_t>(-400));
    command(1, kStartAtMaxSpeed);
    EXPECT_NE(main_status(1) & kPendingBit, 0);
    EXPECT_EQ(counter(1), 500) << "the running move goes on untouched";

    quvex_sim_advance(0.6);  // the first move ends at 1.0 s, the queued one starts there
    EXPECT_EQ(main_status(1) & kPendingBit, 0);
    EXPECT_EQ(counter(1), 1000 - 100);
    ASSERT_TRUE(run_until_stopped(1));
    EXPECT_EQ(counter(1), 600);
}

TEST_F(Banks, QueuedStartIsDroppedByCancelAndByStops) {
    for (const std::uint16_t drop : {std::uint16_t{0x26}, std::uint16_t{kImmediateStop}}) {
        make_group();
        program(0, {.mode = 0x41 | kQueueBit, .amount = 1000, .fh = 1000});
        command(0, kStartAtMaxSpeed);
        quvex_sim_advance(0.2);
        write(0, buffered_write(kMoveAmount), 5000);
        command(0, kStartAtMaxSpeed);
        ASSERT_NE(main_status(0) & kPendingBit, 0);
        command(0, drop);
        EXPECT_EQ(main_status(0) & kPendingBit, 0) << "command " << drop;
        quvex_sim_advance(2.0);
        EXPECT_LE(counter(0), 1000) << "the dropped move never runs, command " << drop;
    }
}

TEST_F(Banks, StartWithoutQueueBitReplacesTheRunningMove) {
    make_group();
    program(2, {.amount = 100000, .fh = 1000});
    command(2, kStartAtMaxSpeed);
    quvex_sim_advance(0.3);
    write(2, buffered_write(kMoveAmount), 50);
    command(2, kStartAtMaxSpeed);
    EXPECT_EQ(main_status(2) & kPendingBit, 0);
    ASSERT_TRUE(run_until_stopped(2));
    EXPECT_EQ(counter(2), 300 + 50);
}

}  // namespace
}  // namespace quvex::test
