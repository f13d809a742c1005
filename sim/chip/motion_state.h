// Motion state of one virtual chip axis: the profile it took over from the buffered bank, where
// it is on that profile, and the trajectory samples recorded for it.
//
// The state is integrated lazily: Chip::update(now) moves it from `time` to now one event at a
// time (a speed-unit step of a ramp, the ramp-down point, the end of the move), and between two
// events the speed is constant, so the counters advance by whole pulses from the elapsed time.
//
// Operation state (low four bits of the status registers):
//   0 stopped, 1 waiting for the simultaneous start, 2 running at constant speed,
//   3 accelerating, 4 decelerating.
//
// Multi-axis starts: a start command with axis-select bits (bits 8-11) starts every selected
// axis of the card, each from its own buffered bank. When the operation kind (operation-mode
// bits 0-6) of the axis that receives the command is linear interpolation (0x61), the selected
// axes move as one line: the axis with the largest move amount (the first of equal ones) runs
// its profile and the others follow it, each at floor(|own amount| * done / |its amount|)
// pulses, so every point is within one pulse of the line and all arrive together.
//
// Synchronisation options (operation-mode register bits 24 and 25, set by the library's
// synchronisation option call):
//   bit 24: a start command loads the move, and the axis waits (state 1) until command 0x06
//           (simultaneous start) is written to any axis of the card;
//   bit 25: command 0x07 (simultaneous stop) written to any axis of the card stops this axis;
//           it stops decelerating when env1 bit 27 (synchronous stop mode) is set, else at once.
//   Bits 18-23 are kept in the register and have no effect on the virtual chip.
#pragma once

#include <cstdint>
#include <vector>

#include "../machine.h"
#include "motion_ramp.h"

namespace qsim {

// Why the last motion ended early (bits; 0 after a move that ran to its end).
namespace stop_reason {
constexpr std::uint32_t kEndLimitPlus = 1u << 0;
constexpr std::uint32_t kEndLimitMinus = 1u << 1;
constexpr std::uint32_t kDeceleratingStop = 1u << 2;
constexpr std::uint32_t kImmediateStop = 1u << 3;
constexpr std::uint32_t kSimultaneousStop = 1u << 4;
}  // namespace stop_reason

namespace opstate {
constexpr unsigned kStopped = 0;
constexpr unsigned kWaitingForStart = 1;
constexpr unsigned kConstantSpeed = 2;
constexpr unsigned kAccelerating = 3;
constexpr unsigned kDecelerating = 4;
}  // namespace opstate

struct TrajectorySample {
    Ns time;
    std::int32_t command_counter;
    double speed_pps;
};

struct MotionState {
    enum class Phase { idle, waiting, running, following };
    Phase phase = Phase::idle;

    // Profile taken over at the start (from the live bank).
    bool positioning = false;       // ends after `target` pulses; else runs until stopped
    std::int64_t target = 0;        // pulses to output (magnitude)
    int direction = 1;              // +1 or -1
    double multiplier = 1;          // speed_range + 1
    double start_speed = 1;         // FL, units
    double max_speed = 1;           // FH, units
    bool s_curve = false;
    bool decelerates = true;        // false for the constant-speed starts 0x50 and 0x51
    bool manual_ramp_down = false;
    std::uint32_t ramp_down_point = 0;
    unsigned start_code = 0;        // the start command, kept while waiting for the simultaneous start

    // Where the axis is on it.
    double time = 0;                // seconds up to which the state is integrated
    double speed = 0;               // current speed, units
    double peak_speed = 0;          // highest speed of the current or last motion, units
    bool ramping = false;
    Ramp ramp;
    bool ramp_down_begun = false;   // deceleration to FL begun (ramp-down point or stop)
    bool stop_at_start_speed = false;  // a decelerating stop: the move ends when FL is reached
    std::int64_t done = 0;          // pulses output
    double fraction = 0;            // part of the next pulse already covered

    // Linear interpolation: the driving axis lists the axes that follow it.
    int leader = -1;                // for a following axis: the driving axis
    struct Follower {
        int axis;
        std::int64_t target;
        int direction;
        std::int64_t done;
    };
    std::vector<Follower> followers;

    std::uint32_t stop_reason = 0;
    double started_at = 0;          // virtual time the last motion began to run, seconds
    double ended_at = 0;            // virtual time it ended, seconds

    // Trajectory sampling.
    Ns sample_period = 0;
    std::uint64_t sample_token = 0;  // names the sampling timer chain that is current
    std::vector<TrajectorySample> samples;
};

}  // namespace qsim
