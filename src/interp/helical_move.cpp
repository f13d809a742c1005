#include "interp/helical_move.h"

#include <cmath>

#include "axis/counters.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "card/export_checks.h"
#include "common/numeric.h"
#include "card/card_table.h"
#include "interp/arc_geometry.h"
#include "motion/speed_profile.h"

namespace quvex::interp {
namespace {

using motion::PlanStep;

enum HelixAxis { kX, kY, kZ, kU, kHelixAxes };

// Z and U run as a linear pair: the mode of a line, without the single-axis start bit.
std::uint32_t line_pair_mode(std::uint32_t current, bool manual_ramp_down) {
    const std::uint32_t mode = chip::opmode::start_word(current, chip::opmode::kKindLinear, false, manual_ramp_down);
    return mode & ~chip::opmode::kSingleAxisStart.mask;
}

void write_helix_modes(const std::int16_t* axis, std::int16_t dir, bool manual) {
    std::uint32_t& xy = axis_record(axis[kX]).mirror[chip::kMirrorOperationMode];
    xy = arc::arc_mode_word(xy, arc::helical_kind(dir), manual);
    arc::write_buffered_mode(axis[kX], xy);
    arc::write_buffered_mode(axis[kY], xy);
    std::uint32_t& zu = axis_record(axis[kU]).mirror[chip::kMirrorOperationMode];
    zu = line_pair_mode(zu, manual);
    arc::write_buffered_mode(axis[kU], zu);
    arc::write_buffered_mode(axis[kZ], zu);
}

quvex_status start_relative(motion::Curve curve, int card, const Helix& h, const PathProfile& p) {
    const ArcGeometry& a = h.arc;
    QUVEX_TRY(arc::check_values(p, {a.cx, a.cy, a.ex, a.ey, h.ez}));
    QUVEX_TRY(check_card(card));
    std::int16_t axis[kHelixAxes];
    for (int i = 0; i < kHelixAxes; ++i) axis[i] = static_cast<std::int16_t>(card * kAxesPerCard + i);

    for (const std::int16_t ax : axis) arc::mark_arc_env1(ax);
    arc::place_helical_env2(axis[kU], true);
    const bool manual = arc::arc_ramp_down_is_manual(axis[kX], p.tacc, p.tdec);
    write_helix_modes(axis, a.dir, manual);

    const double steps = arc_step_count(a.cx, a.cy, a.ex, a.ey, a.dir);
    // U outputs one pulse per arc step, plus the two the chip adds around an arc.
    const double u_amount = std::trunc(steps + 2.0);
    arc::advance_target(axis[kX], a.ex);
    arc::advance_target(axis[kY], a.ey);
    axis_record(axis[kZ]).target_pos += h.ez;
    axis_record(axis[kU]).target_pos += u_amount;

    const bool ramp_down = motion::ramp_down_point_wanted(manual, p.tdec);
    const double amount[kHelixAxes] = {a.ex, a.ey, h.ez, u_amount};
    motion::MovePlan plan[kHelixAxes];
    for (int i = 0; i < kHelixAxes; ++i) {
        // Only the linear pair is short-move limited; the arc keeps its full speed.
        const bool line_axis = i == kZ || i == kU;
        plan[i] = arc::plan_arc_axis(axis[i], curve, amount[i], p.str_vel, std::fabs(p.max_vel), p, line_axis,
                                     ramp_down);
    }

    arc::emit(axis[kX], plan[kX], PlanStep::kMoveAmount);
    arc::emit(axis[kY], plan[kY], PlanStep::kMoveAmount);
    arc::write_aux_amount(axis[kX], a.cx);
    arc::write_aux_amount(axis[kY], a.cy);
    arc::emit(axis[kZ], plan[kZ], PlanStep::kMoveAmount);
    arc::emit(axis[kU], plan[kU], PlanStep::kMoveAmount);
    for (int i = 0; i < kHelixAxes; ++i) arc::emit(axis[i], plan[i], PlanStep::kSpeeds);
    for (int i = 0; i < kHelixAxes; ++i) arc::emit(axis[i], plan[i], PlanStep::kTRates);
    if (curve == motion::Curve::kSCurve) {
        for (int i = 0; i < kHelixAxes; ++i) arc::emit(axis[i], plan[i], PlanStep::kSRates);
    }
    arc::emit(axis[kZ], plan[kZ], PlanStep::kPeak);
    arc::emit(axis[kU], plan[kU], PlanStep::kPeak);
    for (int i = 0; i < kHelixAxes; ++i) arc::emit(axis[i], plan[i], PlanStep::kRampDown);
    // Z and U run on the faster of their two speed pairs.
    motion::copy_faster_speed_registers(axis[kZ], axis[kU], motion::kBuffered);

    const std::uint16_t start = motion::t_curve_start_command(p.tacc, p.tdec);
    chip::write_axis_command(axis[kX], static_cast<std::uint16_t>(start | arc::kAllAxesSelect));
    return QUVEX_OK;
}

// Absolute helices measure X, Y and Z from their targets in continuous mode, else from the
// position counters (never the command counter).
quvex_status start_absolute(motion::Curve curve, int card, const Helix& h, const PathProfile& p) {
    QUVEX_TRY(check_card(card));
    const std::int16_t x = static_cast<std::int16_t>(card * kAxesPerCard);
    const bool continuous = axis_record(x).continuous_mode == 1;
    double ref[3];
    for (int i = 0; i < 3; ++i) {
        const std::int16_t ax = static_cast<std::int16_t>(x + i);
        ref[i] = continuous ? axis_record(ax).target_pos : quvex::axis::position(ax);
    }
    const Helix relative{{h.arc.cx - ref[kX], h.arc.cy - ref[kY], h.arc.ex - ref[kX], h.arc.ey - ref[kY], h.arc.dir},
                         h.ez - ref[kZ]};
    return start_relative(curve, card, relative, p);
}

}  // namespace

quvex_status start_helix(ArcKind kind, int card, const Helix& helix, const PathProfile& profile) {
    const motion::Curve curve = kind.curve == ArcCurve::kSCurve ? motion::Curve::kSCurve : motion::Curve::kTrapezoid;
    return kind.reference == Reference::kAbsolute ? start_absolute(curve, card, helix, profile)
                                                  : start_relative(curve, card, helix, profile);
}

}  // namespace quvex::interp
