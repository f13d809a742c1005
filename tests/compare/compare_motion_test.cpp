// The virtual chip's comparators at work: software limits and comparator stops at the exact
// pulse, the trigger output at each table entry, latches and the general counter.
#include <cmath>
#include <vector>

#include "../../sim/card.h"
#include "../../sim/machine.h"
#include "compare_fixture.h"

namespace quvex::test {
namespace {

constexpr int16_t kMotionAxis = 0;

class CompareMotion : public CompareTest {
protected:
    static int32_t command() {
        int32_t c = 0;
        EXPECT_EQ(quvex_get_command(kMotionAxis, &c), 0);
        return c;
    }
};

TEST_F(CompareMotion, SoftLimitStopsTheMoveAtItsPosition) {
    ASSERT_EQ(quvex_set_soft_limit(kMotionAxis, 5000, -3000), 0);
    ASSERT_EQ(quvex_enable_soft_limit(kMotionAxis, 1), 0);
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, 10000, 100, 20000, 0.05, 0.05), 0);
    ASSERT_TRUE(run_until_stopped(kMotionAxis));
    EXPECT_EQ(command(), 5000);
    EXPECT_EQ(motion(kMotionAxis).stop_reason, QUVEX_SIM_STOP_SOFT_LIMIT_PLUS);
    uint16_t status = 0;
    ASSERT_EQ(quvex_check_compare_status(kMotionAxis, &status), 0);
    EXPECT_EQ(status, 0x1);

    // Further on is refused at once; the way back runs to the other limit.
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, 100, 100, 20000, 0, 0), 0);
    ASSERT_TRUE(run_until_stopped(kMotionAxis));
    EXPECT_EQ(command(), 5000);
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, -20000, 100, 20000, 0.05, 0.05), 0);
    ASSERT_TRUE(run_until_stopped(kMotionAxis));
    EXPECT_EQ(command(), -3000);
    EXPECT_EQ(motion(kMotionAxis).stop_reason, QUVEX_SIM_STOP_SOFT_LIMIT_MINUS);
}

// Where on the profile the general comparator's match falls.
struct ExactCase {
    const char* name;
    double accel;     // seconds of both ramps; 0 starts at the maximum speed
    int32_t data;     // command counter value of the match
};

class ExactStop : public CompareMotion, public ::testing::WithParamInterface<ExactCase> {};

TEST_P(ExactStop, ImmediateStopAtTheMatchingPulseOfAFastMove) {
    const ExactCase& c = GetParam();
    // Condition 1 (equal), action 1 (immediate stop) on the command counter.
    ASSERT_EQ(quvex_set_general_comparator(kMotionAxis, 0, 1, 1, c.data), 0);
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, 1000000, 1000, 5000000, c.accel, c.accel), 0);
    ASSERT_TRUE(run_until_stopped(kMotionAxis, 5.0, 0.003));
    EXPECT_EQ(command(), c.data);
    EXPECT_EQ(motion(kMotionAxis).stop_reason, QUVEX_SIM_STOP_COMPARATOR);
    EXPECT_EQ(compare(kMotionAxis).matches[3], 1u);
}

INSTANTIATE_TEST_SUITE_P(Profile, ExactStop,
                         ::testing::Values(ExactCase{"constant_speed", 0, 123457},
                                           ExactCase{"on_the_acceleration", 0.1, 20011},
                                           ExactCase{"at_full_speed", 0.1, 500003},
                                           ExactCase{"on_the_deceleration", 0.1, 999001}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(CompareMotion, StopTimeIsThePulseTimeAtConstantSpeed) {
    ASSERT_EQ(quvex_set_general_comparator(kMotionAxis, 0, 1, 1, 250000), 0);
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, 1000000, 1000, 5000000, 0, 0), 0);
    ASSERT_TRUE(run_until_stopped(kMotionAxis, 5.0, 0.007));
    const quvex_sim_motion_info m = motion(kMotionAxis);
    const double speed = m.peak_speed;
    EXPECT_NEAR(m.ended_at - m.started_at, 250000 / speed, 0.5 / speed);
}

TEST_F(CompareMotion, DeceleratingStopPassesTheMatchAndStops) {
    ASSERT_EQ(quvex_set_general_comparator(kMotionAxis, 0, 1, 2, 40000), 0);
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, 1000000, 1000, 500000, 0.1, 0.1), 0);
    ASSERT_TRUE(run_until_stopped(kMotionAxis));
    EXPECT_GT(command(), 40000);
    EXPECT_LT(command(), 1000000);
    EXPECT_EQ(motion(kMotionAxis).stop_reason, QUVEX_SIM_STOP_COMPARATOR);
}

TEST_F(CompareMotion, ActionZeroOnlyCounts) {
    ASSERT_EQ(quvex_set_general_comparator(kMotionAxis, 0, 2, 0, 300), 0);  // equal while counting up
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, 1000, 1000, 10000, 0, 0), 0);
    ASSERT_TRUE(run_until_stopped(kMotionAxis));
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, -1000, 1000, 10000, 0, 0), 0);  // passes 300 counting down
    ASSERT_TRUE(run_until_stopped(kMotionAxis));
    EXPECT_EQ(command(), 0);
    EXPECT_EQ(compare(kMotionAxis).matches[3], 1u);
}

// The event and stop-reason bits a comparator stop hands to the driver's interrupt side: taken by
// the driver when an enabled event interrupts, else still held by the chip.
struct ReasonCase {
    const char* name;
    void (*arm)();
    uint32_t int_factor;
    uint32_t events;
    uint32_t errors;
};

class DriverReasons : public CompareMotion, public ::testing::WithParamInterface<ReasonCase> {};

TEST_P(DriverReasons, StopRaisesItsBits) {
    const ReasonCase& c = GetParam();
    c.arm();
    {
        qsim::Machine& m = qsim::Machine::get();
        std::lock_guard<std::mutex> lk(m.mu);
        m.card_locked(0)->chip(kMotionAxis).int_factor = c.int_factor;
    }
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, 1000, 100, 10000, 0, 0), 0);
    ASSERT_TRUE(run_until_stopped(kMotionAxis));
    uint32_t driver_events = 0, driver_reasons = 0;
    ASSERT_EQ(quvex_get_int_status(kMotionAxis, &driver_events, &driver_reasons), 0);
    qsim::Machine& m = qsim::Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    const qsim::Chip& chip = m.card_locked(0)->chip(kMotionAxis);
    EXPECT_EQ(chip.event_status | driver_events, c.events);
    EXPECT_EQ(chip.error_status | driver_reasons, c.errors);
}

INSTANTIATE_TEST_SUITE_P(
    Stops, DriverReasons,
    ::testing::Values(
        ReasonCase{"soft_limit_plus",
                   [] { quvex_set_soft_limit(kMotionAxis, 500, -500); quvex_enable_soft_limit(kMotionAxis, 1); },
                   0, 0, 0x1},
        ReasonCase{"general_comparator_with_its_event", [] { quvex_set_general_comparator(kMotionAxis, 0, 1, 2, 500); },
                   0x800, 0x800, 0x8},
        ReasonCase{"trigger_event_without_stop", [] { quvex_set_trigger_comparator(kMotionAxis, 0, 1, 500); }, 0x1000,
                   0x1000, 0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(CompareMotion, LatchCapturesThePositionWhenTheInputFires) {
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, 100000, 1000, 50000, 0, 0), 0);
    quvex_sim_advance(0.5);
    double position = 0;
    ASSERT_EQ(quvex_get_position(kMotionAxis, &position), 0);
    ASSERT_EQ(quvex_sim_set_latch_input(0, kMotionAxis, 1), 0);
    quvex_sim_advance(0.3);
    ASSERT_EQ(quvex_sim_set_latch_input(0, kMotionAxis, 0), 0);
    double latched = 0;
    ASSERT_EQ(quvex_get_latch_data(kMotionAxis, 2, &latched), 0);
    EXPECT_GT(position, 0);
    EXPECT_EQ(latched, position);

    ASSERT_EQ(quvex_set_move_ratio(kMotionAxis, 4), 0);
    ASSERT_EQ(quvex_get_latch_data(kMotionAxis, 2, &latched), 0);
    EXPECT_EQ(latched, position / 4);  // latch 2 only is in user units
    double command_latch = 0;
    ASSERT_EQ(quvex_get_latch_data(kMotionAxis, 0, &command_latch), 0);
    EXPECT_EQ(command_latch, position);
}

TEST_F(CompareMotion, TriggerFiresAtEachTableEntry) {
    const double table[] = {1000, 2000, 3500, 5000};
    ASSERT_EQ(quvex_set_trigger_comparator(kMotionAxis, 0, 1, 0), 0);
    ASSERT_EQ(quvex_build_compare_table(kMotionAxis, table, 4), 0);
    ASSERT_EQ(quvex_set_auto_compare(kMotionAxis, 2), 0);
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, 6000, 1000, 20000, 0, 0), 0);
    ASSERT_TRUE(run_until_stopped(kMotionAxis));
    const double speed = motion(kMotionAxis).peak_speed;
    const double start = motion(kMotionAxis).started_at;
    std::vector<double> times(8);
    ASSERT_EQ(quvex_sim_trigger_times(0, kMotionAxis, times.data(), 8), 4);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(times[i] - start, table[i] / speed, 1e-9) << i;
    EXPECT_EQ(area<int32_t>(0, kMotionAxis, 0x04), 4);  // the driver's next-entry index
}

TEST_F(CompareMotion, TriggerFollowsTheSeriesAndToggles) {
    ASSERT_EQ(quvex_set_trigger_type(kMotionAxis, 1), 0);
    ASSERT_EQ(quvex_set_trigger_comparator(kMotionAxis, 0, 1, 0), 0);
    ASSERT_EQ(quvex_build_compare_function(kMotionAxis, 100, 500, 100), 0);
    ASSERT_EQ(quvex_set_auto_compare(kMotionAxis, 1), 0);
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, 1000, 1000, 10000, 0, 0), 0);
    ASSERT_TRUE(run_until_stopped(kMotionAxis));
    const quvex_sim_compare_info info = compare(kMotionAxis);
    EXPECT_EQ(info.trigger_pulses, 5u);
    EXPECT_EQ(info.trigger_level, 1);
    EXPECT_EQ(reg(0, kMotionAxis, 0xEB), 500u);
}

TEST_F(CompareMotion, TriggerOffGivesNoPulse) {
    ASSERT_EQ(quvex_set_trigger_type(kMotionAxis, 2), 0);
    ASSERT_EQ(quvex_set_trigger_comparator(kMotionAxis, 0, 1, 50), 0);
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, 100, 1000, 10000, 0, 0), 0);
    ASSERT_TRUE(run_until_stopped(kMotionAxis));
    EXPECT_EQ(compare(kMotionAxis).matches[4], 1u);
    EXPECT_EQ(compare(kMotionAxis).trigger_pulses, 0u);
}

TEST_F(CompareMotion, GeneralCounterCountsOutputPulsesInUserUnitsOnSource1) {
    ASSERT_EQ(quvex_set_general_counter(kMotionAxis, 1, 0), 0);
    ASSERT_EQ(quvex_start_tr_move(kMotionAxis, 1500, 1000, 10000, 0, 0), 0);
    ASSERT_TRUE(run_until_stopped(kMotionAxis));
    ASSERT_EQ(quvex_set_move_ratio(kMotionAxis, 100), 0);
    double value = 0;
    ASSERT_EQ(quvex_get_general_counter(kMotionAxis, &value), 0);
    EXPECT_EQ(value, 15.0);
}

TEST_F(CompareMotion, ErrorCounterCheckShowsInTheStatus) {
    ASSERT_EQ(quvex_set_error_counter_check(kMotionAxis, 20, 1), 0);
    uint16_t status = 0xFFFF;
    ASSERT_EQ(quvex_check_compare_status(kMotionAxis, &status), 0);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(quvex_sim_set_counter(0, kMotionAxis, 0xE5, -21), 0);
    ASSERT_EQ(quvex_check_compare_status(kMotionAxis, &status), 0);
    EXPECT_EQ(status, 0x4);
}

}  // namespace
}  // namespace quvex::test
