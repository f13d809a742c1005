// What each machine signal does to each kind of move, seen from the application: where and how
// the axes stop (on the sampled speed), their motion-done state, the interrupt the driver
// reports, the callback and the stop-reason log.
#include <cctype>
#include <vector>

#include "signals_fixture.h"

namespace quvex::test {
namespace {

enum class MoveKind { single, positioning, line, arc, home, jog };
enum class Signal { alarm, emergency, slow_down, end_limit_plus };
enum class How {
    at_once,         // speed 0 at the first sample after the signal, no pulse after it
    decelerating,    // slower but still moving at the first sample, then stopped
    slows_and_runs,  // down to the start speed and running on
    runs_on,         // nothing happens
    refused,         // the signal was there before the start: no pulse at all
};

struct SignalRow {
    const char* name;
    MoveKind kind;
    Signal signal;
    int signal_axis;
    int alarm_mode = 0;                   // quvex_set_alm's mode
    int sd_enable = 0, sd_mode = 0;       // quvex_set_sd's enable and mode
    int el_mode = 0;                      // quvex_set_el's mode
    bool before_start = false;
    How how = How::at_once;
    std::vector<std::string> log;         // sorted, without number and time
    unsigned callback_axes = 0;
};

constexpr double kStartSpeed = 100, kMaxSpeed = 2000, kRampTime = 0.1;
constexpr double kSignalAt = 0.5;
const int16_t kXY[2] = {0, 1};

std::vector<int> axes_of(MoveKind kind, int signal_axis) {
    switch (kind) {
        case MoveKind::line:
        case MoveKind::arc: return {0, 1};
        case MoveKind::jog: return {signal_axis};
        default: return {0};
    }
}

void start_move(MoveKind kind, int axis) {
    switch (kind) {
        case MoveKind::single: ASSERT_EQ(quvex_tv_move(0, kStartSpeed, kMaxSpeed, kRampTime), QUVEX_OK); break;
        case MoveKind::positioning:  // starts at FH, decelerates at its end
            ASSERT_EQ(quvex_start_tr_move(0, 100000, kStartSpeed, kMaxSpeed, 0, 5 * kRampTime), QUVEX_OK);
            break;
        case MoveKind::line:
            ASSERT_EQ(quvex_start_tr_line2(0, kXY, 100000, 50000, kStartSpeed, kMaxSpeed, kRampTime, kRampTime), QUVEX_OK);
            break;
        case MoveKind::arc:
            ASSERT_EQ(quvex_start_tr_arc_xy(0, -20000, 0, -40000, 0, 1, kStartSpeed, kMaxSpeed, kRampTime, kRampTime),
                      QUVEX_OK);
            break;
        case MoveKind::home: ASSERT_EQ(quvex_home_move(0, kStartSpeed, kMaxSpeed, kRampTime), QUVEX_OK); break;
        case MoveKind::jog:
            ASSERT_EQ(quvex_set_mof_config(0, 2), QUVEX_OK);
            ASSERT_EQ(quvex_set_mof_jog_velocity(static_cast<int16_t>(axis), kStartSpeed, kMaxSpeed, kRampTime, kRampTime, 100),
                      QUVEX_OK);
            ASSERT_EQ(quvex_sim_jog_switch(0, axis, 1, 1), 1);
            break;
    }
}

void apply(Signal signal, int axis) {
    switch (signal) {
        case Signal::alarm: ASSERT_EQ(quvex_sim_set_axis_input(0, axis, QUVEX_SIM_INPUT_ALARM, 1), 0); break;
        case Signal::emergency: ASSERT_EQ(quvex_sim_set_emergency(0, 1), 0); break;
        case Signal::slow_down: ASSERT_EQ(quvex_sim_set_axis_input(0, axis, QUVEX_SIM_INPUT_SLOW_DOWN, 1), 0); break;
        case Signal::end_limit_plus: ASSERT_EQ(quvex_sim_set_axis_input(0, axis, QUVEX_SIM_INPUT_EL_PLUS, 1), 0); break;
    }
}

const SignalRow kRows[] = {
    {"single alarm at once", MoveKind::single, Signal::alarm, 0, 0, 0, 0, 0, false, How::at_once,
     {"Axis:0,ALM happen and stop"}, 0x1},
    {"single alarm decelerating", MoveKind::single, Signal::alarm, 0, 1, 0, 0, 0, false, How::decelerating,
     {"Axis:0,ALM happen and stop"}, 0x1},
    {"positioning start under alarm", MoveKind::positioning, Signal::alarm, 0, 1, 0, 0, 0, true, How::refused,
     {"Axis:0,ALM happen and stop"}, 0x1},
    {"positioning alarm decelerating", MoveKind::positioning, Signal::alarm, 0, 1, 0, 0, 0, false, How::decelerating,
     {"Axis:0,ALM happen and stop"}, 0x1},
    {"single emergency", MoveKind::single, Signal::emergency, 0, 1, 0, 0, 0, false, How::at_once,
     {"Axis:0,CEMG, Emergency on and stop"}, 0x1},
    {"single start under emergency", MoveKind::single, Signal::emergency, 0, 0, 0, 0, 0, true, How::refused,
     {"Axis:0,CEMG, Emergency on and stop"}, 0x1},
    {"single slow-down stopping", MoveKind::single, Signal::slow_down, 0, 0, 1, 1, 0, false, How::decelerating,
     {"Axis:0,SD on and slow down to stop"}, 0x1},
    {"single slow-down slowing", MoveKind::single, Signal::slow_down, 0, 0, 1, 0, 0, false, How::slows_and_runs, {}, 0},
    {"single slow-down not enabled", MoveKind::single, Signal::slow_down, 0, 0, 0, 1, 0, false, How::runs_on, {}, 0},
    {"line alarm on the follower", MoveKind::line, Signal::alarm, 1, 0, 0, 0, 0, false, How::at_once,
     {"Axis:0,Other Axis stop on Interpolation", "Axis:1,ALM happen and stop"}, 0x3},
    {"line end limit on the follower", MoveKind::line, Signal::end_limit_plus, 1, 0, 0, 0, 0, false, How::at_once,
     {"Axis:0,Other Axis stop on Interpolation", "Axis:1,+End Limit on and stop"}, 0x3},
    {"line end limit decelerating", MoveKind::line, Signal::end_limit_plus, 1, 0, 0, 0, 1, false, How::decelerating,
     {"Axis:0,Other Axis stop on Interpolation", "Axis:1,+End Limit on and stop"}, 0x3},
    {"line emergency", MoveKind::line, Signal::emergency, 0, 0, 0, 0, 0, false, How::at_once,
     {"Axis:0,CEMG, Emergency on and stop", "Axis:1,CEMG, Emergency on and stop"}, 0x3},
    {"arc alarm at once", MoveKind::arc, Signal::alarm, 1, 0, 0, 0, 0, false, How::at_once,
     {"Axis:0,Other Axis stop on Interpolation", "Axis:1,ALM happen and stop"}, 0x3},
    {"arc alarm decelerating", MoveKind::arc, Signal::alarm, 1, 1, 0, 0, 0, false, How::decelerating,
     {"Axis:0,Other Axis stop on Interpolation", "Axis:1,ALM happen and stop"}, 0x3},
    {"arc emergency", MoveKind::arc, Signal::emergency, 1, 0, 0, 0, 0, false, How::at_once,
     {"Axis:0,CEMG, Emergency on and stop", "Axis:1,CEMG, Emergency on and stop"}, 0x3},
    {"home alarm", MoveKind::home, Signal::alarm, 0, 0, 0, 0, 0, false, How::at_once,
     {"Axis:0,ALM happen and stop"}, 0x1},
    {"home slow-down stopping", MoveKind::home, Signal::slow_down, 0, 0, 1, 1, 0, false, How::decelerating,
     {"Axis:0,SD on and slow down to stop"}, 0x1},
    {"jog alarm", MoveKind::jog, Signal::alarm, 2, 0, 0, 0, 0, false, How::at_once,
     {"Axis:2,ALM happen and stop"}, 0x4},
    {"jog emergency", MoveKind::jog, Signal::emergency, 2, 0, 0, 0, 0, false, How::at_once,
     {"Axis:2,CEMG, Emergency on and stop"}, 0x4},
    {"jog slow-down slowing", MoveKind::jog, Signal::slow_down, 3, 0, 1, 0, 0, false, How::slows_and_runs, {}, 0},
};

void PrintTo(const SignalRow& row, std::ostream* os) { *os << row.name; }

class SignalStopTable : public SignalsTest, public ::testing::WithParamInterface<SignalRow> {};

TEST_P(SignalStopTable, StopsAsTheSignalAndItsModeSay) {
    const SignalRow& row = GetParam();
    const int axis = row.signal_axis;
    watch_stops("signal_table.log");
    for (int16_t a = 0; a < 4; ++a) {
        ASSERT_EQ(quvex_set_alm(a, 1, static_cast<int16_t>(row.alarm_mode)), QUVEX_OK);
        ASSERT_EQ(quvex_set_el(a, static_cast<int16_t>(row.el_mode)), QUVEX_OK);
    }
    ASSERT_EQ(quvex_set_sd(static_cast<int16_t>(axis), static_cast<int16_t>(row.sd_enable), 1, 0,
                           static_cast<int16_t>(row.sd_mode)),
              QUVEX_OK);
    const std::vector<int> axes = axes_of(row.kind, axis);
    for (const int a : axes) ASSERT_EQ(quvex_sim_sample_motion(0, a, 0.001), 0);
    if (row.before_start) apply(row.signal, axis);
    start_move(row.kind, axis);
    quvex_sim_advance(kSignalAt);
    const double speed_before = motion(axis).speed;
    const int32_t counter_before = motion(axis).command_counter;
    if (!row.before_start) apply(row.signal, axis);
    const int32_t counter_at_signal = motion(axis).command_counter;
    quvex_sim_advance(2.0);

    std::vector<quvex_sim_motion_sample> samples(4000);
    const int n = quvex_sim_motion_samples(0, axis, samples.data(), static_cast<int>(samples.size()));
    ASSERT_GT(n, 0);
    samples.resize(static_cast<std::size_t>(n));
    const quvex_sim_motion_sample* after = nullptr;
    for (const auto& s : samples) {
        if (s.time > kSignalAt + 1e-9) {
            after = &s;
            break;
        }
    }
    ASSERT_NE(after, nullptr);
    const double last_speed = samples.back().speed;
    const int32_t end_counter = motion(axis).command_counter;
    switch (row.how) {
        case How::at_once:
            EXPECT_GT(speed_before, kStartSpeed) << row.name;
            EXPECT_EQ(after->speed, 0.0) << row.name;
            EXPECT_EQ(end_counter, counter_at_signal) << row.name << ": no pulse after the signal";
            break;
        case How::decelerating:
            EXPECT_GT(after->speed, 0.0) << row.name;
            EXPECT_LT(after->speed, speed_before) << row.name;
            EXPECT_EQ(last_speed, 0.0) << row.name;
            EXPECT_NE(end_counter, counter_at_signal) << row.name << ": it ran on while slowing";
            break;
        case How::slows_and_runs:
            EXPECT_NEAR(last_speed, kStartSpeed, 1.0) << row.name;
            break;
        case How::runs_on:
            EXPECT_NEAR(last_speed, speed_before, 1.0) << row.name;
            break;
        case How::refused:
            EXPECT_EQ(counter_before, 0) << row.name;
            EXPECT_EQ(end_counter, 0) << row.name;
            break;
    }
    const bool stopped = row.how != How::slows_and_runs && row.how != How::runs_on;
    for (const int a : axes) {
        EXPECT_EQ(quvex_motion_done(static_cast<int16_t>(a)) == 0, stopped) << row.name << " axis " << a;
        uint32_t events = 0, reasons = 0;
        ASSERT_EQ(quvex_get_int_status(static_cast<int16_t>(a), &events, &reasons), QUVEX_OK);
        EXPECT_EQ(events, stopped ? 0x21u : 0u) << row.name << " axis " << a;
    }
    EXPECT_EQ(g_signal_callback_axes.load(), row.callback_axes) << row.name;
    EXPECT_EQ(log_lines(), row.log) << row.name;
}

INSTANTIATE_TEST_SUITE_P(Rows, SignalStopTable, ::testing::ValuesIn(kRows), [](const ::testing::TestParamInfo<SignalRow>& row) {
    std::string name = row.param.name;
    for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return name;
});

}  // namespace
}  // namespace quvex::test
