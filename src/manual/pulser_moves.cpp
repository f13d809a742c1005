#include "manual/pulser_moves.h"

#include <cmath>

#include "ports/local_chip_sink.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "chip/registers.h"
#include "common/numeric.h"
#include "card/card_table.h"
#include "interp/line_group.h"
#include "motion/axis_move.h"
#include "motion/speed_profile.h"

namespace quvex::manual {
namespace {

using motion::PlanStep;

constexpr int kPair = 2;
constexpr std::uint16_t kModeBufferedCode = chip::operation_write_code(chip::Bank::kBuffered, chip::kOperationMode);
// The fixed ramps of a pulser line, seconds.
constexpr double kLineRampTime = 0.1;

// The pulser mode in the axis's mirror, written to its buffered mode register.
void write_single_mode(std::int16_t axis, std::uint32_t kind) {
    std::uint32_t& mirror = axis_record(axis).mirror[chip::kMirrorOperationMode];
    mirror = pulser_mode_word(mirror, kind, false);
    chip::write_register32(axis, kModeBufferedCode, mirror);
}

// One mode for the pair, kept in the lead axis's mirror and written to both axes.
void write_pair_mode(const interp::LineGroup& g, std::uint32_t kind, bool manual_ramp_down) {
    std::uint32_t& mirror = axis_record(g.lead()).mirror[chip::kMirrorOperationMode];
    mirror = pulser_mode_word(mirror, kind, manual_ramp_down);
    for (int i = 0; i < kPair; ++i) chip::write_register32(g.axis_no[i], kModeBufferedCode, mirror);
}

void advance_target(std::int16_t axis, double distance) {
    AxisRecord& rec = axis_record(axis);
    rec.prev_target_pos = rec.target_pos;
    rec.target_pos += distance;
}

// Each step over both axes before the next one.
void program_pair(const interp::LineGroup& g, const motion::MovePlan* plans, std::initializer_list<PlanStep> steps) {
    for (const PlanStep step : steps) {
        for (int i = 0; i < kPair; ++i) {
            chip::LocalChipSink sink(g.axis_no[i], chip::Bank::kBuffered);
            motion::emit_step(plans[i], step, sink);
        }
    }
}

void start_pair(const interp::LineGroup& g, std::uint16_t code) {
    chip::write_axis_command(g.lead(), static_cast<std::uint16_t>(code | g.select_bits()));
}

// A pulser line axis: speeds from |speed| both ways, T rates over 0.1 s, no peak limit, and the
// ramp-down point from the full speed.
motion::MovePlan line_axis_plan(std::int16_t axis, double amount, double speed) {
    motion::MovePlan plan = motion::plan_axis_move(
        axis, {.amount = amount, .str_vel = speed, .max_vel = speed, .tacc = kLineRampTime, .tdec = kLineRampTime});
    plan.peak = plan.speeds.fh;
    plan.ramp_down_point = motion::plan_ramp_down(motion::kLocalChipUnits, motion::Curve::kTrapezoid, true,
                                                  plan.peak, plan.speeds, plan.t_rates);
    return plan;
}

}  // namespace

std::uint32_t pulser_mode_word(std::uint32_t current, std::uint32_t kind, bool manual_ramp_down) {
    const std::uint32_t word = chip::opmode::start_word(current, kind, false, manual_ramp_down);
    return word & ~chip::opmode::kSingleAxisStart.mask;
}

bool valid_home_direction(std::int16_t dir) { return dir == 0 || dir == 1; }

void pulser_speed_move(std::int16_t axis, double speed) {
    write_single_mode(axis, chip::manual::kKindHandWheel);
    motion::compute_speed_registers(axis, speed, speed, motion::kBuffered);
    chip::write_axis_command(axis, chip::cmd::kStartAtStartSpeed);
}

void pulser_positioning(std::int16_t axis, double dist, double speed) {
    write_single_mode(axis, chip::manual::kKindPulserPositioning);
    const motion::MovePlan plan = motion::plan_axis_move(axis, {.amount = dist});
    {
        chip::LocalChipSink sink(axis, chip::Bank::kBuffered);
        motion::emit_step(plan, PlanStep::kMoveAmount, sink);
    }
    motion::compute_speed_registers(axis, speed, speed, motion::kBuffered);
    chip::write_axis_command(axis, chip::cmd::kStartAtStartSpeed);
}

void pulser_home_search(std::int16_t axis, std::int16_t dir, double speed) {
    write_single_mode(axis, dir == 0 ? chip::manual::kKindPulserHomePlus : chip::manual::kKindPulserHomeMinus);
    motion::compute_speed_registers(axis, speed, speed, motion::kBuffered);
    chip::write_axis_command(axis, chip::cmd::kStartAtStartSpeed);
}

void pulser_line(int card, const std::int16_t* pair, double dist_x, double dist_y, double speed) {
    const interp::LineGroup g = interp::make_line_group(card, pair, kPair);
    axis_record(g.lead()).last_decel_time = kLineRampTime;
    write_pair_mode(g, chip::manual::kKindPulserLine, true);
    advance_target(g.axis_no[0], dist_x);
    advance_target(g.axis_no[1], dist_y);
    const double magnitude = std::fabs(speed);
    const motion::MovePlan plans[] = {line_axis_plan(g.axis_no[0], dist_x, magnitude),
                                      line_axis_plan(g.axis_no[1], dist_y, magnitude)};
    program_pair(g, plans, {PlanStep::kMoveAmount, PlanStep::kSpeeds, PlanStep::kTRates, PlanStep::kRampDown});
    start_pair(g, chip::cmd::kStartRamped);
}

void pulser_arc(int card, const std::int16_t* pair, double cx, double cy, double ex, double ey, std::int16_t dir,
                double speed) {
    const interp::LineGroup g = interp::make_line_group(card, pair, kPair);
    write_pair_mode(g, dir == 0 ? chip::manual::kKindPulserArcCw : chip::manual::kKindPulserArcCcw, false);
    advance_target(g.axis_no[0], ex);
    advance_target(g.axis_no[1], ey);
    const double magnitude = std::fabs(speed);
    const motion::MovePlan plans[] = {motion::plan_axis_move(g.axis_no[0], {.amount = ex, .max_vel = magnitude}),
                                      motion::plan_axis_move(g.axis_no[1], {.amount = ey, .max_vel = magnitude})};
    program_pair(g, plans, {PlanStep::kMoveAmount});
    const double centre[] = {cx, cy};
    for (int i = 0; i < kPair; ++i) {
        chip::LocalChipSink sink(g.axis_no[i], chip::Bank::kBuffered);
        sink.write(chip::kAuxAmount, static_cast<std::uint32_t>(truncate_to<std::int32_t>(centre[i])));
    }
    program_pair(g, plans, {PlanStep::kSpeeds});
    start_pair(g, chip::cmd::kStartAtMaxSpeed);
}

}  // namespace quvex::manual
