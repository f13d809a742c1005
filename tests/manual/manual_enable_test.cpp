// The manual sources move an axis only while the library leaves them enabled, and the hand
// wheel's pulses are limited by the profile the library wrote: the board's enable (manual-control
// bit 7) for the wheel and for the jog and step switches, the pulser input mode, FH.
#include <cmath>
#include <functional>

#include "manual_support.h"

namespace quvex::test {
namespace {

class ManualEnable : public CardTest {
protected:
    static int32_t position(int axis) { return axis_motion(axis).command_counter; }
    static void settle(double seconds = 2.0) { quvex_sim_advance(seconds); }
};

struct SourceCase {
    const char* name;
    std::function<void()> setup;
    std::function<void()> operate;  // turns the wheel or presses a switch of axis 0
    bool moves;
};

void wheel_one_axis() {
    ASSERT_EQ(quvex_set_pulser_ratio(0, 1, 1), QUVEX_OK);
    ASSERT_EQ(quvex_set_mpg_config(0, 1, 1, 0), QUVEX_OK);
}
void turn_wheel() {
    ASSERT_EQ(quvex_sim_turn_wheel(0, 50, 200), 0);
    finish_wheel_turns(0.5);
}
void press_jog() {
    quvex_sim_jog_switch(0, 0, 1, 1);
    quvex_sim_advance(0.3);
    quvex_sim_jog_switch(0, 0, 1, 0);
}
void press_step() { quvex_sim_step_press(0, 0, 1); }

TEST_F(ManualEnable, DisabledSourcesDoNotMoveTheAxis) {
    const SourceCase cases[] = {
        {"hand wheel enabled", wheel_one_axis, turn_wheel, true},
        {"hand wheel routed to another axis",
         [] {
             wheel_one_axis();  // axis 0 armed, then the board routes the wheel to axis 3
             ASSERT_EQ(quvex_set_mof_mode(0, 1), QUVEX_OK);
             ASSERT_EQ(quvex_manual_mpg(0, 3), QUVEX_OK);
         },
         turn_wheel, false},
        // quvex_enable_jog with a value other than 0 or 1 writes 0 to the control word and leaves
        // the chips armed: the board no longer passes the wheel on.
        {"hand wheel after the control word was cleared",
         [] { wheel_one_axis(); ASSERT_EQ(quvex_enable_jog(0, 7), QUVEX_OK); }, turn_wheel, false},
        {"hand wheel disabled", [] { wheel_one_axis(); ASSERT_EQ(quvex_set_mpg_config(0, 0, 0, 0), QUVEX_OK); },
         turn_wheel, false},
        {"jog enabled", [] { ASSERT_EQ(quvex_enable_jog(0, 1), QUVEX_OK); }, press_jog, true},
        {"jog after enable_jog(7)",
         [] { ASSERT_EQ(quvex_enable_jog(0, 1), QUVEX_OK); ASSERT_EQ(quvex_enable_jog(0, 7), QUVEX_OK); }, press_jog, false},
        {"jog disabled",
         [] { ASSERT_EQ(quvex_enable_jog(0, 1), QUVEX_OK); ASSERT_EQ(quvex_enable_jog(0, 0), QUVEX_OK); }, press_jog, false},
        {"step enabled", [] { ASSERT_EQ(quvex_enable_step(0, 1, 300), QUVEX_OK); }, press_step, true},
        {"step after enable_jog(7)",
         [] { ASSERT_EQ(quvex_enable_step(0, 1, 300), QUVEX_OK); ASSERT_EQ(quvex_enable_jog(0, 7), QUVEX_OK); }, press_step,
         false},
    };
    for (const SourceCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(quvex_set_position(0, 0), QUVEX_OK);
        ASSERT_EQ(quvex_set_command(0, 0), QUVEX_OK);
        c.setup();
        c.operate();
        settle();
        EXPECT_EQ(position(0) != 0, c.moves) << position(0);
        ASSERT_EQ(quvex_disable_mof(0), QUVEX_OK);
        settle(0.5);
    }
}

// A wheel turned faster than the profile's FH lets the axis run no faster than FH (reached after
// its 0.1 s ramp from FL, 55 pulses): the pulses still all come out, after the turn.
TEST_F(ManualEnable, WheelPulsesAreLimitedByTheProfilesMaximumSpeed) {
    wheel_one_axis();
    ASSERT_EQ(quvex_set_mpg_velocity(0, 100, 1000, 0.1, 0.1), QUVEX_OK);
    ASSERT_EQ(quvex_sim_turn_wheel(0, 2000, 4000), 0);  // half a second, 4000 pulses per second
    quvex_sim_advance(0.5);
    EXPECT_NEAR(position(0), 455, 2);
    EXPECT_NEAR(axis_motion(0).speed, 1000.0, 1.0);
    quvex_sim_advance(1.0);
    EXPECT_NEAR(position(0), 1455, 2);
    quvex_sim_advance(1.0);
    EXPECT_EQ(position(0), 2000);
    EXPECT_EQ(axis_motion(0).state, QUVEX_SIM_STATE_STOPPED);

    // Below FH the axis follows the wheel's own pace.
    ASSERT_EQ(quvex_sim_turn_wheel(0, -300, 600), 0);
    quvex_sim_advance(0.25);
    EXPECT_NEAR(axis_motion(0).speed, 600.0, 1.0);
    finish_wheel_turns(0.2);
    EXPECT_EQ(position(0), 1700);
}

// The pulser input mode counts one, two or four pulses per detent (A/B phase multiplied), or one
// for count pulses; the ratio divides what it counts.
TEST_F(ManualEnable, InputModeMultipliesTheCountedPulses) {
    const struct {
        int16_t mode;
        int32_t pulses;
    } cases[] = {{0, 10}, {1, 20}, {2, 40}, {3, 10}};
    wheel_one_axis();
    int32_t at = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        ASSERT_EQ(quvex_set_pulser_iptmode(0, c.mode, 0), QUVEX_OK);
        ASSERT_EQ(quvex_sim_turn_wheel(0, 10, 100), 0);
        finish_wheel_turns(0.5);
        at += c.pulses;
        EXPECT_EQ(position(0), at);
    }
}

}  // namespace
}  // namespace quvex::test
