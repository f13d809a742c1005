// Scheduled events: a chip's motion events happen at their virtual time with nobody looking at
// the chip, whether a test moves the clock or the clock runs with the wall clock.
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>
#include <thread>

#include "../../sim/chip/motion_engine.h"
#include "chip_fixture.h"

namespace quvex::test {
namespace {

using namespace qsim::chipcode;
using qsim::ChipEvent;

class ChipEvents : public ChipGroupTest {
protected:
    // A 0x53 move whose ramp and end times follow from its registers: 100 -> 2100 units at
    // 1 pps per unit, rate 2 (3 / 4 915 200 s per unit), then FL after the ramp down.
    void start_move() {
        program(0, {.amount = 8000, .fl = 100, .fh = 2100, .rate = 2});
        command(0, kStartRamped);
    }
    static constexpr double kRampSeconds = 2000.0 * 3.0 / 4915200.0;

    // The first event of a kind, or nothing.
    std::optional<RecordedEvent> first(ChipEvent e) {
        for (const RecordedEvent& r : events()) {
            if (r.event == e) return r;
        }
        return std::nullopt;
    }
    // Every event reported at the virtual time it happened (timers fire on whole nanoseconds).
    void expect_delivered_on_time() {
        for (const RecordedEvent& r : events()) {
            EXPECT_GE(r.delivered, r.at) << static_cast<int>(r.event);
            EXPECT_LE(r.delivered - r.at, 1) << static_cast<int>(r.event) << " at " << r.at;
        }
    }
    // Every event of the move at its time, checked against the ramp formulas.
    void expect_on_time() {
        expect_delivered_on_time();
        const auto ramp_end = first(ChipEvent::ramp_ended);
        const auto ended = first(ChipEvent::move_ended);
        ASSERT_TRUE(ramp_end && ended);
        EXPECT_EQ(ramp_end->at, static_cast<qsim::Ns>(std::llround(kRampSeconds * 1e9)));
        std::lock_guard<std::mutex> lk(machine().mu);
        const qsim::MotionState& s = group_->chip(0).motion;
        EXPECT_EQ(ended->at, static_cast<qsim::Ns>(std::llround(s.ended_at * 1e9)));
        EXPECT_EQ(group_->chip(0).command_counter, 8000);
        // The whole move: two ramps and a cruise of (8000 - ramp pulses) at 2100 pps.
        const double ramp_pulses = (2100.0 * 2100 - 100.0 * 100) * 3 / (32768.0 * 300);
        EXPECT_NEAR(s.ended_at, 2 * kRampSeconds + (8000 - 2 * ramp_pulses) / 2100.0, 2e-3);
    }
};

TEST_F(ChipEvents, EventsFireAtTheirVirtualTimeInManualClock) {
    make_group();
    start_move();
    const std::size_t reported_at_start = events().size();
    quvex_sim_advance(10.0);  // one step, no port access until it is over
    EXPECT_GT(events().size(), reported_at_start + 2);
    expect_on_time();
}

TEST_F(ChipEvents, EventsFireAtTheirVirtualTimeInRealTimeClock) {
    make_group();
    start_move();
    quvex_sim_clock_realtime(50.0);  // the 4 s move in about 80 ms of wall time
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!first(ChipEvent::move_ended) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    quvex_sim_clock_manual();
    expect_on_time();
}

// Short moves whose ramp-down point falls inside the acceleration, or whose end falls inside
// the deceleration: the cut is found ahead of time, so it too is taken at its own time.
TEST_F(ChipEvents, EventsInsideRampsAreDeliveredOnTime) {
    const Move moves[] = {
        {.amount = 300, .fl = 100, .fh = 5000, .rate = 2000},                  // triangular
        {.mode = 0x41 | kSCurveBit, .amount = 500, .fl = 100, .fh = 5000, .rate = 2000},
        {.mode = 0x41 | kSCurveBit, .amount = 20000, .fl = 10, .fh = 3000, .rate = 300, .section = 500},
    };
    for (const Move& m : moves) {
        make_group();
        events_.clear();
        program(0, m);
        command(0, kStartRamped);
        quvex_sim_advance(30.0);
        ASSERT_TRUE(first(ChipEvent::move_ended)) << m.amount;
        EXPECT_EQ(counter(0), m.amount);
        expect_delivered_on_time();
    }
}

TEST_F(ChipEvents, QueuedStartIsReportedAtTheEndOfTheMoveBeforeIt) {
    make_group();
    program(3, {.mode = 0x41 | (1u << 27), .amount = 500, .fh = 1000});
    command(3, kStartAtMaxSpeed);
    write(3, buffered_write(kMoveAmount), 250);
    command(3, kStartAtMaxSpeed);
    quvex_sim_advance(5.0);
    const auto queued = first(ChipEvent::queued_move_started);
    ASSERT_TRUE(queued.has_value());
    EXPECT_EQ(queued->at, 500'000'000);
    EXPECT_EQ(events().back().event, ChipEvent::move_ended);
    EXPECT_EQ(events().back().at, 750'000'000);
    expect_delivered_on_time();
}

TEST_F(ChipEvents, SimultaneousStartSchedulesEveryChipItStarts) {
    make_group();
    for (const int axis : {1, 2}) {
        program(axis, {.mode = 0x41 | kWaitForSyncStart, .amount = 300 * axis, .fh = 1000});
        command(axis, kStartAtMaxSpeed);
    }
    quvex_sim_advance(1.0);
    command(0, kSyncStart);  // written to an axis that has no move of its own
    quvex_sim_advance(5.0);
    std::vector<qsim::Ns> ends(4, -1);
    for (const RecordedEvent& r : events()) {
        if (r.event == ChipEvent::move_ended) ends[static_cast<std::size_t>(r.axis)] = r.at;
    }
    EXPECT_EQ(ends[1], 1'300'000'000);
    EXPECT_EQ(ends[2], 1'600'000'000);
    expect_delivered_on_time();
}

}  // namespace
}  // namespace quvex::test

namespace quvex::test {
namespace {

// Event times come from the profile in seconds; one past the clock's range (a slow move over a
// huge amount) must become "never" rather than an out-of-range conversion.
TEST(ChipEventTimes, SecondsBeyondTheClockNeverCome) {
    struct Case {
        double seconds;
        qsim::Ns ns;
    };
    const Case cases[] = {
        {0.0, 0},
        {1.0000000001, 1'000'000'001},
        {9.2e9, 9'200'000'000'000'000'000},
        {1.2148e10, qsim::kNever},
        {std::numeric_limits<double>::infinity(), qsim::kNever},
        {std::numeric_limits<double>::quiet_NaN(), qsim::kNever},
    };
    for (const Case& c : cases) EXPECT_EQ(qsim::seconds_to_ns_ceil(c.seconds), c.ns) << c.seconds;
}

}  // namespace
}  // namespace quvex::test
