// The profile operations of a local axis that work from its register mirror: the speed
// registers of a move, the rates over the speeds the axis already holds (stops, velocity
// changes), and the copies of a speed pair between axes. Each plans with the card's units and
// writes through the local-chip sink, keeping the mirror up to date.
//
// Positioning starts do not use these one by one: they plan the whole move (motion/move_plan.h)
// and program it with program_axis_move (motion/axis_move.h).
#pragma once

#include <cstdint>
#include <optional>

#include "motion/move_plan.h"

namespace quvex::motion {

// The register bank the profile operations write (chip::Bank), by its short names here.
constexpr chip::Bank kBuffered = chip::Bank::kBuffered;
constexpr chip::Bank kLive = chip::Bank::kLive;

// A snapshot of the mirrored profile registers of one axis.
struct SpeedProfile {
    std::int32_t move_amount = 0;
    std::uint32_t start_speed_reg = 0;
    std::uint32_t max_speed_reg = 0;
    std::uint32_t accel_rate = 0;
    std::uint32_t decel_rate = 0;
    std::uint32_t speed_range = 0;
    std::uint32_t ramp_down_point = 0;
    std::uint32_t aux_amount = 0;
    std::uint32_t s_accel_section = 0;
    std::uint32_t s_decel_section = 0;
};
SpeedProfile speed_profile(std::int16_t axis);

// The speed range an axis keeps while pinned by quvex_fix_speed_range, else none.
std::optional<std::uint32_t> pinned_range(std::int16_t axis);
// Range, FH and FL as the axis's mirror holds them.
SpeedRegisters mirrored_speeds(std::int16_t axis);

// ---- profile operations (axis is an AxisNo of a present card) ----

// Chooses the speed range (or keeps a pinned one), then FH and FL; writes registers 5, 2, 1.
void compute_speed_registers(std::int16_t axis, double str_vel, double max_vel, chip::Bank bank);
// Pins the speed range the table gives max_vel (writing 5, 2, 1 for a start speed of 0); a range
// already pinned stays. Unpinning writes nothing.
void fix_speed_range(std::int16_t axis, double max_vel);
void unfix_speed_range(std::int16_t axis);
// Rates of a curve over the mirrored FH and FL: T writes 3, 4; S writes 9, 3, 10, 4.
void compute_rates(std::int16_t axis, Curve curve, double tacc, double tdec, double sv_acc, double sv_dec,
                   chip::Bank bank);
// to_axis's FH and FL mirrors take from_axis's; writes to_axis's registers 2, then 1.
void copy_speed_registers(std::int16_t from_axis, std::int16_t to_axis, chip::Bank bank);
// Takes the FH and FL of axis_a, or of axis_b when axis_b's FH is larger, and writes them to
// axis_b's registers 2, 1, then axis_a's 2, 1. The mirrors stay as they were.
void copy_faster_speed_registers(std::int16_t axis_a, std::int16_t axis_b, chip::Bank bank);

// ---- choices shared by the single-axis and interpolation starts ----

// Manual ramp-down point when 2*Tacc <= Tdec, or Tdec = 0, or the axis's speed range is pinned.
bool ramp_down_is_manual(std::int16_t axis, double tacc, double tdec);
// Whether the ramp-down point is computed: for a manual point with Tdec != 0.
bool ramp_down_point_wanted(bool manual_mode, double tdec);
// T-curve start command: 0x53 with Tacc != 0, else 0x52 with Tdec != 0, else 0x51.
std::uint16_t t_curve_start_command(double tacc, double tdec);

}  // namespace quvex::motion
