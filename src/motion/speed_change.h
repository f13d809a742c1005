// Changing the maximum speed of a running move. The plan is pure: from the running move's
// profile (as the mirror holds it), the current and new speeds and the change time, it gives the
// registers to rewrite and, for a positioning move, the room the change needs. The apply step
// reads the chip where the change needs it and writes the plan.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "chip/register_sink.h"
#include "chip/registers.h"
#include "motion/move_plan.h"
#include "motion/speed_units.h"

namespace quvex::motion {

// The running move as the change sees it.
struct RunningMove {
    Curve curve = Curve::kTrapezoid;
    bool positioning = false;     // counts an amount (else runs until stopped)
    std::uint32_t range = 0;      // R
    std::uint32_t fl = 0;         // start speed register
    std::uint32_t s_accel = 0;    // US
    std::uint32_t s_decel = 0;    // DS
    double last_decel_time = 0;   // Tdec of the positioning start, s
};

enum class ChangeOutcome : std::uint8_t {
    kWrite,      // write the registers
    kSameSpeed,  // the new speed is the current or the start speed: nothing to do
};

struct SpeedChangePlan {
    ChangeOutcome outcome = ChangeOutcome::kWrite;
    std::uint32_t new_speed = 0;  // N, speed units
    // A positioning move needs this many pulses left: the ramp's shift plus the new ramp-down.
    double room_needed = 0;
    std::uint32_t ramp_down_point = 0;
    // The registers to rewrite, in order.
    std::array<std::pair<chip::OperationRegister, std::uint32_t>, 5> writes{};
    std::size_t write_count = 0;
};

// Speed units of a speed magnitude in pps (the new speed, or the current speed a prepared change
// is given): the plain floor, saturated only at the 32-bit register's ends. A new speed of 0 is 0
// units, a change like any other; no limit to the profile's 1..max_speed comes before the
// comparison with the current and the start speed.
std::uint32_t speed_change_units(const SpeedUnits& u, std::uint32_t range, double vel);

// The change of a move running at `current` units to `new_speed` units within `time` seconds.
// Rates are clamped to the ranges the profile operations use (a zero time gives the steepest).
SpeedChangePlan plan_speed_change(const SpeedUnits& u, const RunningMove& move, std::uint32_t current,
                                  std::uint32_t new_speed, double time);

void emit_speed_change(const SpeedChangePlan& plan, chip::RegisterSink& sink);

// ---- on a local axis (no check that it moves: a change of an idle axis only rewrites registers) ----

// The running move of the axis, from its mirror and record.
RunningMove running_move(std::int16_t axis);

// quvex_v_change: reads the current speed, and for a positioning move the remaining pulses.
// Returns QUVEX_OK, QUVEX_ERR_SPEED_CHANGE_SAME or QUVEX_ERR_SPEED_CHANGE_ROOM; writes nothing
// unless QUVEX_OK.
std::int16_t change_speed(std::int16_t axis, double new_vel, double time);

// quvex_cmp_v_change: the current speed and, on an S-curve positioning move, the remaining
// distance come from the caller.
std::int16_t prepare_speed_change(std::int16_t axis, double dist, double cur_vel, double new_vel, double time);

}  // namespace quvex::motion
