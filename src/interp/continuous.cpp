#include "interp/continuous.h"

#include <cmath>

#include "axis/counters.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "common/bits.h"
#include "card/export_checks.h"
#include "card/card_table.h"
#include "interp/arc_geometry.h"
#include "interp/line_group.h"
#include "motion/speed_profile.h"

namespace quvex::interp {
namespace {

using motion::PlanStep;


// The pair and the card's two other axes, lowest index first.
struct ContinuousAxes {
    LineGroup pair;
    std::int16_t others[2];
};

ContinuousAxes make_axes(int card, const std::int16_t* pair) {
    ContinuousAxes c{make_line_group(card, pair, kPairSize), {}};
    int n = 0;
    for (std::int16_t index = 0; index < kAxesPerCard; ++index) {
        if (index != pair[0] && index != pair[1]) c.others[n++] = static_cast<std::int16_t>(card * kAxesPerCard + index);
    }
    return c;
}

// The high-half bits the pair's mode carries while the lead runs continuously: bit 27 alone, or
// with bits 18-23, by the chip's continuous-buffer state.
std::uint32_t continuous_arc_bits(std::uint32_t status) {
    const std::uint32_t state = field_value(status, chip::status32::kContinuousState);
    const std::uint32_t chain = (state == 1 || state == 2) ? chip::opmode::kSyncOptions.mask : 0;
    return chain | chip::opmode::kPathStart.mask;
}

std::uint32_t pair_mode(std::int16_t lead, std::int16_t dir, bool manual, std::uint32_t status) {
    const std::uint32_t mirror = axis_record(lead).mirror[chip::kMirrorOperationMode];
    std::uint32_t mode = chip::opmode::start_word(mirror, arc::circular_kind(dir), false, manual);
    mode &= ~(chip::opmode::kSyncLow.mask | chip::opmode::kSingleAxisStart.mask | chip::opmode::kPathStart.mask);
    if (axis_record(lead).continuous_mode == 1) mode |= continuous_arc_bits(status);
    return mode;
}

// The other two axes run positioning steps of nothing beside the arc, under the pair's high half.
void write_other_modes(const ContinuousAxes& c, std::uint32_t pair_mode_word) {
    std::uint32_t& mirror = axis_record(c.others[0]).mirror[chip::kMirrorOperationMode];
    const std::uint32_t low = (mirror & chip::opmode::kConfigOwnedLowBits) | chip::opmode::kKindPositioning;
    mirror = (pair_mode_word & ~chip::opmode::kLowHalf.mask) | low;
    for (const std::int16_t other : c.others) arc::write_buffered_mode(other, mirror);
}

void hold_others(const ContinuousAxes& c) {
    for (const std::int16_t other : c.others) {
        if (axis_record(other).continuous_mode != 1) continue;
        constexpr PathProfile zero{0, 0, 0, 0};
        const motion::MovePlan plan = arc::plan_arc_axis(other, motion::Curve::kTrapezoid, 0, 0, 0, zero, false, false);
        arc::emit(other, plan, PlanStep::kMoveAmount);
        arc::write_aux_amount(other, 0);
        arc::emit(other, plan, PlanStep::kSpeeds);
        arc::emit(other, plan, PlanStep::kTRates);
    }
}

// After the start the buffered mode is prepared for the next arc: bit 27 alone in the chain bits.
void rearm(const ContinuousAxes& c) {
    std::uint32_t& mirror = axis_record(c.pair.lead()).mirror[chip::kMirrorOperationMode];
    mirror = (mirror & ~(chip::opmode::kSyncOptions.mask | chip::opmode::kPathStart.mask)) | chip::opmode::kPathStart.mask;
    arc::write_buffered_mode(c.pair.axis_no[0], mirror);
    arc::write_buffered_mode(c.pair.axis_no[1], mirror);
    for (const std::int16_t other : c.others) arc::write_buffered_mode(other, mirror);
}

quvex_status start_relative(int card, const std::int16_t* pair, const ArcGeometry& a, const PathProfile& p) {
    QUVEX_TRY(check(valid_line_axes(pair, kPairSize), QUVEX_ERR_AXIS_GROUP));
    QUVEX_TRY(check_card(card));
    const ContinuousAxes c = make_axes(card, pair);
    const std::int16_t order[] = {c.pair.axis_no[0], c.pair.axis_no[1], c.others[0], c.others[1]};
    std::uint32_t status[4] = {};
    for (int i = 0; i < 4; ++i) chip::read_status_register32(order[i], &status[i]);
    QUVEX_TRY(arc::check_values(p, {a.cx, a.cy, a.ex, a.ey}));

    const std::int16_t lead = c.pair.lead();
    for (int i = 0; i < kPairSize; ++i) {
        arc::mark_arc_env1(c.pair.axis_no[i]);
        arc::place_helical_env2(c.pair.axis_no[i], false);
    }
    const bool manual = arc::arc_ramp_down_is_manual(lead, p.tacc, p.tdec);
    const std::uint32_t mode = pair_mode(lead, a.dir, manual, status[0]);
    axis_record(lead).mirror[chip::kMirrorOperationMode] = mode;
    arc::write_buffered_mode(c.pair.axis_no[0], mode);
    arc::write_buffered_mode(c.pair.axis_no[1], mode);
    write_other_modes(c, mode);

    arc::advance_target(c.pair.axis_no[0], a.ex);
    arc::advance_target(c.pair.axis_no[1], a.ey);
    const bool ramp_down = motion::ramp_down_point_wanted(manual, p.tdec);
    const motion::MovePlan plans[] = {arc::plan_arc_axis(c.pair.axis_no[0], motion::Curve::kTrapezoid, a.ex, p.str_vel,
                                                         std::fabs(p.max_vel), p, false, ramp_down),
                                      arc::plan_arc_axis(c.pair.axis_no[1], motion::Curve::kTrapezoid, a.ey, p.str_vel,
                                                         std::fabs(p.max_vel), p, false, ramp_down)};
    for (int i = 0; i < kPairSize; ++i) arc::emit(c.pair.axis_no[i], plans[i], PlanStep::kMoveAmount);
    arc::write_aux_amount(c.pair.axis_no[0], a.cx);
    arc::write_aux_amount(c.pair.axis_no[1], a.cy);
    for (int i = 0; i < kPairSize; ++i) arc::emit(c.pair.axis_no[i], plans[i], PlanStep::kSpeeds);
    for (int i = 0; i < kPairSize; ++i) arc::emit(c.pair.axis_no[i], plans[i], PlanStep::kTRates);
    hold_others(c);

    arc::write_step_count(lead, arc_step_count(a.cx, a.cy, a.ex, a.ey, a.dir));
    for (int i = 0; i < kPairSize; ++i) arc::emit(c.pair.axis_no[i], plans[i], PlanStep::kRampDown);

    const std::uint16_t start = motion::t_curve_start_command(p.tacc, p.tdec);
    chip::write_axis_command(lead, static_cast<std::uint16_t>(start | arc::kAllAxesSelect));
    rearm(c);
    return QUVEX_OK;
}

quvex_status start_absolute(int card, const std::int16_t* pair, const ArcGeometry& a, const PathProfile& p) {
    QUVEX_TRY(check(valid_line_axes(pair, kPairSize), QUVEX_ERR_AXIS_GROUP));
    QUVEX_TRY(check_card(card));
    const LineGroup g = make_line_group(card, pair, kPairSize);
    const double rx = arc::absolute_reference(g.axis_no[0], g.lead());
    const double ry = arc::absolute_reference(g.axis_no[1], g.lead());
    return start_relative(card, pair, {a.cx - rx, a.cy - ry, a.ex - rx, a.ey - ry, a.dir}, p);
}

}  // namespace

quvex_status start_continuous_arc(Reference reference, int card, const std::int16_t* pair, const ArcGeometry& arc,
                                  const PathProfile& profile) {
    return reference == Reference::kAbsolute ? start_absolute(card, pair, arc, profile)
                                             : start_relative(card, pair, arc, profile);
}

quvex_status set_continuous_move(int axis, std::int16_t enable) {
    QUVEX_TRY(check_axis(axis));
    AxisRecord& rec = axis_record(axis);
    if (enable != 0) rec.target_pos = quvex::axis::position(axis);
    rec.continuous_mode = enable;
    return QUVEX_OK;
}

std::int16_t continuous_buffer_queued(int axis) {
    if (check_axis(axis) != QUVEX_OK) return 0;
    std::uint16_t status = 0;
    chip::read_axis_status(axis, &status);
    return static_cast<std::int16_t>(field_value(status, chip::main_status::kMoveQueued));
}

quvex_status cancel_continuous_buffer(int axis) {
    QUVEX_TRY(check_axis(axis));
    chip::write_axis_command(axis, chip::cmd::kCancelQueuedStart);
    return QUVEX_OK;
}

}  // namespace quvex::interp
