// Motion state of one virtual chip axis: the profile it took over at its start, where it is on
// that profile, a start waiting for the running move to end, and the trajectory samples
// recorded for it.
//
// The state is integrated lazily: Chip::update(now) moves it from `time` to now one event at a
// time (a speed-unit step of a ramp, the ramp-down point, the end of the move), and between two
// events the speed is constant, so the counters advance by whole pulses from the elapsed time.
//
// Operation state (low four bits of the status registers):
//   0 stopped, 1 waiting for the simultaneous start, 2 running at constant speed,
//   3 accelerating, 4 decelerating.
//
// Register banks: a start takes over into the live bank only the buffered registers written
// since the previous start; the others keep their live values (so a move programmed live, like
// a jog, runs from the live bank). Live registers written while the axis runs act on the move at
// once (see motion_live.cpp).
//
// Queued starts: a start command whose operation mode (the one it would take over) has register
// bit 26 or 27 set, written while one of its axes is still moving, waits: it keeps the buffered
// registers written so far, main status bit 14 ("buffered move pending") is set, and it starts
// at the instant the running move ends on its count. A stop or command 0x26 drops it.
//
// Multi-axis starts: a start command with axis-select bits (bits 8-11) starts every selected
// axis of the group. When the operation kind of the axis that receives the command is a path
// kind (a line, an arc, a helix), the selected axes move on one path (motion_path.h,
// arc_path.h): one axis drives it (the largest of a line, the lead of an arc) and the others
// follow.
//
// Synchronisation options (operation-mode register bits 24 and 25, set by the library's
// synchronisation option call):
//   bit 24: a start command loads the move, and the axis waits (state 1) until command 0x06
//           (simultaneous start) is written to any axis of the card;
//   bit 25: command 0x07 (simultaneous stop) written to any axis of the card stops this axis;
//           it stops decelerating when env1 bit 27 (synchronous stop mode) is set, else at once.
//   Bits 18-23 all set on a queued start chain it to the running move (below): an arc's start
//   as it stands, any other while env2 bit 29 puts the bits in force; otherwise they are kept in
//   the register and have no effect on the virtual chip.
//
// Chained starts: a queued start whose mode has all of bits 18-23 set (the mark a continuous
// arc or, with env2 bit 29, a continuous four-axis line gets while a move runs or waits) continues the running move without stopping: the
// running move skips its deceleration and ends on its count at speed, and a ramped (0x53)
// start then begins at that speed (within its FL..FH) and ramps to its own FH. Any other queued
// start begins as its start code says (0x53 from FL with its own ramps).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "../machine.h"
#include "manual_state.h"
#include "motion_path.h"
#include "motion_ramp.h"

namespace qsim {

// Why the last motion ended early (bits; 0 after a move that ran to its end).
namespace stop_reason {
constexpr std::uint32_t kEndLimitPlus = 1u << 0;
constexpr std::uint32_t kEndLimitMinus = 1u << 1;
constexpr std::uint32_t kDeceleratingStop = 1u << 2;
constexpr std::uint32_t kImmediateStop = 1u << 3;
constexpr std::uint32_t kSimultaneousStop = 1u << 4;
constexpr std::uint32_t kAlarm = 1u << 5;
constexpr std::uint32_t kEmergency = 1u << 6;
constexpr std::uint32_t kSlowDown = 1u << 7;
constexpr std::uint32_t kOtherAxis = 1u << 8;  // another axis of the path stopped it
// The causes the driver's error status reports (the stop commands are the library's own).
constexpr std::uint32_t kReportedCauses =
    kEndLimitPlus | kEndLimitMinus | kSimultaneousStop | kAlarm | kEmergency | kSlowDown | kOtherAxis;
}  // namespace stop_reason

namespace opstate {
constexpr unsigned kStopped = 0;
constexpr unsigned kWaitingForStart = 1;
constexpr unsigned kConstantSpeed = 2;
constexpr unsigned kAccelerating = 3;
constexpr unsigned kDecelerating = 4;
constexpr unsigned kInPositionWait = 5;  // the pulses are out; the move waits for in-position
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
    double unit_pps = 1;            // pulses per second of one speed unit
    double start_speed = 1;         // FL, units
    double max_speed = 1;           // FH, units
    bool s_curve = false;
    bool decelerates = true;        // false for the constant-speed starts 0x50 and 0x51
    bool manual_ramp_down = false;
    std::uint32_t ramp_down_point = 0;
    // The ramp-down is measured against a count of its own on an arc: the step count the arc was
    // given (register 0x8C), not the path's own length. This is that count minus `target` (0 on
    // every other move), so a count too small slows the arc early and one too large late.
    std::int64_t ramp_down_extra = 0;
    std::uint32_t arc_step_count = 0;  // register 0x8C as the last start took it over
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

    // Interpolation: the driving axis holds the path; the others name the driving axis.
    int leader = -1;                // for a following axis: the driving axis
    std::unique_ptr<MotionPath> path;

    // A reversal asked for by a live move amount behind the axis: once the deceleration to FL
    // ends, the axis turns and runs `reverse_amount` pulses back.
    bool reversing = false;
    std::int64_t reverse_amount = 0;
    std::int64_t origin_offset = 0;  // signed pulses of the move made before the last reversal

    // A point of the move (a value of `done`) where the origin logic is told the axis got there
    // (home_operation.h); -1 when none.
    std::int64_t watch = -1;

    // Slow-down input: the move runs at FL while it is active (sd_slowed), and a latched
    // slow-down keeps it there once seen (sd_seen).
    bool sd_slowed = false;
    bool sd_seen = false;
    // The pulses are out and the move waits for the in-position signal to end.
    bool settling = false;

    // A start waiting for the running move to end (main status bit 14).
    struct QueuedStart {
        bool waiting = false;
        unsigned code = 0;
        unsigned select = 0;
        int receiver = -1;                       // the axis the command was written to
        std::array<std::uint32_t, 13> bank{};    // the buffered registers as they were
        std::uint16_t written = 0;               // which of them were written since the last start
        bool chained = false;                    // continues the running move without stopping
    };
    QueuedStart queued;

    ManualState manual;  // manual sources and pulser pacing (manual_state.h)

    std::uint32_t stop_reason = 0;
    double started_at = 0;          // virtual time the last motion began to run, seconds
    double ended_at = 0;            // virtual time it ended, seconds
    double ended_pps = 0;           // the speed it ended at, pulses per second
    bool ramp_down_held = false;    // a chained start waits: the move runs to its end at speed

    // Trajectory sampling.
    Ns sample_period = 0;
    std::uint64_t sample_token = 0;  // names the sampling timer chain that is current
    std::vector<TrajectorySample> samples;
};

}  // namespace qsim
