// Speed profile computation: turns a move described in pulses, pulses per second and seconds
// into the chip's integer operation registers (speed range, start and maximum speed, rates,
// S-curve sections, ramp-down point, move amount), writes them to one register bank of an axis
// and keeps every value in the axis's register mirror.
//
// The operations never start motion and never fail; callers check their own arguments, set the
// operation mode, call the operations in order and write the start command. Positioning starts
// call: write_move_amount, compute_speed_registers, then compute_t_rates, limit_t_peak,
// compute_t_ramp_down (T-curve) or compute_s_rates, limit_s_peak, compute_s_ramp_down (S-curve).
// The limits read the mirror, so they run after the values they use were written.
#pragma once

#include <cstdint>

#include "chip/register_mirror.h"

namespace quvex::motion {

// Register bank argument: kBuffered (1) = taken over by the next start command; any other
// value = the live bank, acting on the operation in progress.
constexpr std::int16_t kBuffered = 1;
constexpr std::int16_t kLive = 0;

// Chip constants.
constexpr double kRateClock = 4915200.0;      // rate clock counts per second
constexpr double kSpeedUnitBase = 300.0;      // one speed unit = 300 / (speed_range + 1) pps
constexpr std::uint32_t kMaxSpeedUnits = 65535;
constexpr std::uint32_t kMaxRate = 65535;
constexpr std::uint32_t kMaxSSection = 32767;
constexpr std::uint32_t kMaxRampDownPoint = 16777215;
constexpr std::uint32_t kMinSpeedRange = 2;
constexpr std::uint32_t kMaxSpeedRange = 2999;

// The operation-register part of the axis mirror, by name: each is the mirror slot holding the
// last value written to that register, whichever bank it went to.
namespace profile_slot {
constexpr chip::MirrorSlot move_amount = chip::kMirrorMoveAmount;          // register 0, signed
constexpr chip::MirrorSlot start_speed_reg = chip::kMirrorStartSpeed;      // register 1, FL
constexpr chip::MirrorSlot max_speed_reg = chip::kMirrorMaxSpeed;          // register 2, FH
constexpr chip::MirrorSlot accel_rate = chip::kMirrorAccelRate;            // register 3, UR
constexpr chip::MirrorSlot decel_rate = chip::kMirrorDecelRate;            // register 4, DR
constexpr chip::MirrorSlot speed_range = chip::kMirrorSpeedRange;          // register 5, R
constexpr chip::MirrorSlot ramp_down_point = chip::kMirrorRampDownPoint;   // register 6, RDP
constexpr chip::MirrorSlot aux_amount = chip::kMirrorAuxAmount;            // register 8
constexpr chip::MirrorSlot s_accel_section = chip::kMirrorSAccelSection;   // register 9, US
constexpr chip::MirrorSlot s_decel_section = chip::kMirrorSDecelSection;   // register 10, DS
}  // namespace profile_slot

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

// ---- profile operations (axis is an AxisNo of a present card) ----

// move_amount = pulses truncated toward zero; writes register 0.
void write_move_amount(std::int16_t axis, double pulses, std::int16_t bank);
// aux_amount = value truncated; writes register 8.
void write_aux_amount(std::int16_t axis, double value, std::int16_t bank);
// Chooses the speed range (or keeps a pinned one), then FH and FL; writes registers 5, 2, 1.
void compute_speed_registers(std::int16_t axis, double str_vel, double max_vel, std::int16_t bank);
// T-curve acceleration and deceleration rates from the mirrored FH and FL; writes 3, 4.
void compute_t_rates(std::int16_t axis, double tacc, double tdec, std::int16_t bank);
// Lowers FH when the move is too short for the full T-curve; writes 2 in every case.
void limit_t_peak(std::int16_t axis, std::int16_t bank);
// T-curve ramp-down point (manual = 1) or 0; writes 6.
void compute_t_ramp_down(std::int16_t axis, std::int16_t bank, std::int16_t manual);
// S-curve sections and rates; writes 9, 3, 10, 4.
void compute_s_rates(std::int16_t axis, double tacc, double tdec, double sv_acc, double sv_dec,
                     std::int16_t bank);
// Lowers FH when the move is too short for the full S-curve; writes 2 in every case.
void limit_s_peak(std::int16_t axis, std::int16_t bank);
// S-curve ramp-down point (manual != 0) or 0; writes 6.
void compute_s_ramp_down(std::int16_t axis, std::int16_t bank, std::int16_t manual);
// to_axis's FH and FL mirrors take from_axis's; writes to_axis's registers 2, then 1.
void copy_speed_registers(std::int16_t from_axis, std::int16_t to_axis, std::int16_t bank);
// Takes the FH and FL of axis_a, or of axis_b when axis_b's FH is larger, and writes them to
// axis_b's registers 2, 1, then axis_a's 2, 1. The mirrors stay as they were.
void copy_faster_speed_registers(std::int16_t axis_a, std::int16_t axis_b, std::int16_t bank);

// ---- choices shared by the single-axis and interpolation starts ----

// Manual ramp-down point when 2*Tacc <= Tdec, or Tdec = 0, or the axis's speed range is pinned.
bool ramp_down_is_manual(std::int16_t axis, double tacc, double tdec);
// The `manual` argument of the ramp-down operations: 1 for a manual point with Tdec != 0.
std::int16_t ramp_down_argument(bool manual_mode, double tdec);
// T-curve start command: 0x53 with Tacc != 0, else 0x52 with Tdec != 0, else 0x51.
std::uint16_t t_curve_start_command(double tacc, double tdec);

// ---- pure arithmetic (no axis) ----

// The speed range the table gives for a maximum speed (max_vel <= 0 or NaN gives 2999).
std::uint32_t speed_range_for(double max_vel);

}  // namespace quvex::motion
