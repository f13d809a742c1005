// The pieces every arc start shares (two-axis arcs, helices and continuous arcs): the arc bits of
// env1/env2, the arc operation-mode word, the per-axis profile plan and its registers, and the
// step-count register.
#pragma once

#include <cstdint>

#include "chip/registers.h"
#include "interp/line_move.h"
#include "motion/move_plan.h"
#include "quvex/quvex_base.h"

namespace quvex::interp {

// An arc relative to its start point: centre, end and direction.
struct ArcGeometry {
    double cx = 0;
    double cy = 0;
    double ex = 0;
    double ey = 0;
    std::int16_t dir = 0;
};

namespace arc {

// Start-command selection of all four axes of a card.
constexpr std::uint16_t kAllAxesSelect = chip::cmd::select_axis(0) | chip::cmd::select_axis(1) |
                                         chip::cmd::select_axis(2) | chip::cmd::select_axis(3);

// Value checks of an arc start after its pair check: a zero maximum speed, then profile values
// that are not finite numbers, then coordinates that are not.
quvex_status check_values(const PathProfile& p, std::initializer_list<double> coordinates);

// env1 bit 28 set (the chip steps an arc) and env2 bit 28 (helical) placed, each written whole.
void mark_arc_env1(std::int16_t axis);
void place_helical_env2(std::int16_t axis, bool helical);

// The circular-interpolation mode word on top of `current`: configuration bits kept, the kind and
// the manual ramp-down bit placed, the single-axis start bit cleared and bit 27 set.
std::uint32_t arc_mode_word(std::uint32_t current, std::uint32_t kind, bool manual_ramp_down);
// Writes a mode word to the buffered operation-mode register (the mirror is the caller's).
void write_buffered_mode(std::int16_t axis, std::uint32_t mode);

// Mode kinds of the arc starts by direction.
std::uint32_t circular_kind(std::int16_t dir);
std::uint32_t helical_kind(std::int16_t dir);

// The ramp-down choice of the helical and continuous starts: 2 x Tacc <= Tdec, or a pinned range
// on the lead axis (a zero Tdec alone does not make it manual here).
bool arc_ramp_down_is_manual(std::int16_t lead, double tacc, double tdec);

// One axis's registers for an arc: speeds from (str_vel, max_vel) as given, the curve's rates,
// FH limited for a short move only when `limit_peak`, and the ramp-down point always by the
// T-curve rule over the rates in place (an S-curve arc places it from its S-curve DR).
motion::MovePlan plan_arc_axis(std::int16_t axis, motion::Curve curve, double amount, double str_vel, double max_vel,
                               const PathProfile& p, bool limit_peak, bool ramp_down_point);

// Writes one step of a plan to an axis's buffered bank.
void emit(std::int16_t axis, const motion::MovePlan& plan, motion::PlanStep step);
// Auxiliary amount (register 8): the value truncated into 32 bits.
void write_aux_amount(std::int16_t axis, double value);
// The arc's step count plus two, into the lead axis's step-count register.
void write_step_count(std::int16_t lead, double steps);

// prev_target_pos takes target_pos; target_pos moves by `distance`.
void advance_target(std::int16_t axis, double distance);

// Where an absolute arc coordinate of `axis` is measured from, with the continuous mode of `lead`.
double absolute_reference(std::int16_t axis, std::int16_t lead);

}  // namespace arc
}  // namespace quvex::interp
