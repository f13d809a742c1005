#include "interp/arc_move.h"

#include <cmath>

#include "ports/primitives.h"
#include "chip/register_mirror.h"
#include "card/export_checks.h"
#include "card/card_table.h"
#include "interp/arc_geometry.h"
#include "interp/line_group.h"
#include "motion/speed_profile.h"

namespace quvex::interp {
namespace {

using motion::PlanStep;


quvex_status check_pair(const std::int16_t* pair) {
    return check(valid_line_axes(pair, kPairSize), QUVEX_ERR_AXIS_GROUP);
}

// env1 and env2 of both axes, then the circular mode on both, kept in the lead's mirror.
void write_arc_mode(const LineGroup& g, std::int16_t dir, bool manual_ramp_down) {
    for (int i = 0; i < kPairSize; ++i) {
        arc::mark_arc_env1(g.axis_no[i]);
        arc::place_helical_env2(g.axis_no[i], false);
    }
    std::uint32_t& mirror = axis_record(g.lead()).mirror[chip::kMirrorOperationMode];
    mirror = arc::arc_mode_word(mirror, arc::circular_kind(dir), manual_ramp_down);
    for (int i = 0; i < kPairSize; ++i) arc::write_buffered_mode(g.axis_no[i], mirror);
}

// Move amounts (the end), then auxiliary amounts (the centre), each over both axes.
void write_amounts(const LineGroup& g, const motion::MovePlan* plans, double cx, double cy) {
    for (int i = 0; i < kPairSize; ++i) arc::emit(g.axis_no[i], plans[i], PlanStep::kMoveAmount);
    arc::write_aux_amount(g.axis_no[0], cx);
    arc::write_aux_amount(g.axis_no[1], cy);
}

void emit_both(const LineGroup& g, const motion::MovePlan* plans, PlanStep step) {
    for (int i = 0; i < kPairSize; ++i) arc::emit(g.axis_no[i], plans[i], step);
}

void start_pair(const LineGroup& g, std::uint16_t code) {
    chip::write_axis_command(g.lead(), static_cast<std::uint16_t>(code | g.select_bits()));
}

// A constant-speed arc runs at max_vel from the lowest start speed of its range: no rates, no
// step count, no ramp-down point. The absolute form places its mode before it reads where the
// axes stand, measures centre and end from there, and takes the absolute end as the new targets.
quvex_status start_constant(Reference reference, int card, const std::int16_t* pair, const ArcGeometry& a,
                            double max_vel) {
    QUVEX_TRY(check_pair(pair));
    QUVEX_TRY(arc::check_values({0, max_vel, 0, 0}, {a.cx, a.cy, a.ex, a.ey}));
    QUVEX_TRY(check_card(card));
    const LineGroup g = make_line_group(card, pair, kPairSize);
    write_arc_mode(g, a.dir, false);
    double ref[] = {0.0, 0.0};
    if (reference == Reference::kAbsolute) {
        ref[0] = arc::absolute_reference(g.axis_no[0], g.lead());
        ref[1] = arc::absolute_reference(g.axis_no[1], g.lead());
        const double end[] = {a.ex, a.ey};
        for (int i = 0; i < kPairSize; ++i) {
            AxisRecord& rec = axis_record(g.axis_no[i]);
            rec.prev_target_pos = rec.target_pos;
            rec.target_pos = end[i];
        }
    } else {
        arc::advance_target(g.axis_no[0], a.ex);
        arc::advance_target(g.axis_no[1], a.ey);
    }
    const PathProfile profile{0, max_vel, 0, 0};
    const motion::MovePlan plans[] = {arc::plan_arc_axis(g.axis_no[0], motion::Curve::kTrapezoid, a.ex - ref[0], 0,
                                                         std::fabs(max_vel), profile, false, false),
                                      arc::plan_arc_axis(g.axis_no[1], motion::Curve::kTrapezoid, a.ey - ref[1], 0,
                                                         std::fabs(max_vel), profile, false, false)};
    write_amounts(g, plans, a.cx - ref[0], a.cy - ref[1]);
    emit_both(g, plans, PlanStep::kSpeeds);
    start_pair(g, chip::cmd::kStartAtMaxSpeed);
    return QUVEX_OK;
}

// T- and S-curve arcs: both axes take the path speed unscaled. An S-curve arc starts from the
// lowest start speed of its range; both place the ramp-down point by the T-curve rule.
quvex_status start_profiled_relative(ArcCurve curve, int card, const std::int16_t* pair, const ArcGeometry& a,
                                     const PathProfile& p) {
    QUVEX_TRY(check_pair(pair));
    QUVEX_TRY(arc::check_values(p, {a.cx, a.cy, a.ex, a.ey}));
    QUVEX_TRY(check_card(card));
    const LineGroup g = make_line_group(card, pair, kPairSize);
    const bool manual = motion::ramp_down_is_manual(g.lead(), p.tacc, p.tdec);
    write_arc_mode(g, a.dir, manual);
    arc::advance_target(g.axis_no[0], a.ex);
    arc::advance_target(g.axis_no[1], a.ey);

    const bool s_curve = curve == ArcCurve::kSCurve;
    const motion::Curve rates = s_curve ? motion::Curve::kSCurve : motion::Curve::kTrapezoid;
    const double str_vel = s_curve ? 0.0 : p.str_vel;
    const bool ramp_down = motion::ramp_down_point_wanted(manual, p.tdec);
    const motion::MovePlan plans[] = {
        arc::plan_arc_axis(g.axis_no[0], rates, a.ex, str_vel, std::fabs(p.max_vel), p, false, ramp_down),
        arc::plan_arc_axis(g.axis_no[1], rates, a.ey, str_vel, std::fabs(p.max_vel), p, false, ramp_down)};
    write_amounts(g, plans, a.cx, a.cy);
    emit_both(g, plans, PlanStep::kSpeeds);
    emit_both(g, plans, PlanStep::kTRates);
    if (s_curve) emit_both(g, plans, PlanStep::kSRates);
    arc::write_step_count(g.lead(), arc_step_count(a.cx, a.cy, a.ex, a.ey, a.dir));
    emit_both(g, plans, PlanStep::kRampDown);
    start_pair(g, motion::t_curve_start_command(p.tacc, p.tdec));
    return QUVEX_OK;
}

quvex_status start_profiled_absolute(ArcCurve curve, int card, const std::int16_t* pair, const ArcGeometry& a,
                                     const PathProfile& p) {
    QUVEX_TRY(check_pair(pair));
    QUVEX_TRY(check_card(card));
    const LineGroup g = make_line_group(card, pair, kPairSize);
    const double rx = arc::absolute_reference(g.axis_no[0], g.lead());
    const double ry = arc::absolute_reference(g.axis_no[1], g.lead());
    const ArcGeometry relative{a.cx - rx, a.cy - ry, a.ex - rx, a.ey - ry, a.dir};
    return start_profiled_relative(curve, card, pair, relative, p);
}

}  // namespace

quvex_status start_arc(ArcKind kind, int card, const std::int16_t* pair, const ArcGeometry& arc,
                       const PathProfile& profile) {
    const bool absolute = kind.reference == Reference::kAbsolute;
    if (kind.curve == ArcCurve::kConstant) return start_constant(kind.reference, card, pair, arc, profile.max_vel);
    return absolute ? start_profiled_absolute(kind.curve, card, pair, arc, profile)
                    : start_profiled_relative(kind.curve, card, pair, arc, profile);
}

}  // namespace quvex::interp
