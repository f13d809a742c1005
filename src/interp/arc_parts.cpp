#include "interp/arc_parts.h"

#include "ports/local_chip_sink.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "common/bits.h"
#include "card/export_checks.h"
#include "common/numeric.h"
#include "card/card_table.h"
#include "interp/arc_geometry.h"
#include "motion/axis_move.h"
#include "motion/speed_profile.h"
#include "motion/speed_units.h"

namespace quvex::interp::arc {
namespace {

constexpr std::uint16_t kModeBufferedCode = chip::operation_write_code(chip::Bank::kBuffered, chip::kOperationMode);

}  // namespace

quvex_status check_values(const PathProfile& p, std::initializer_list<double> coordinates) {
    QUVEX_TRY(check_nonzero_speed(p.max_vel));
    QUVEX_TRY(check_finite(QUVEX_ERR_ZERO_MAX_SPEED, {p.str_vel, p.tacc, p.tdec, p.sv_acc, p.sv_dec}));
    return check_finite(QUVEX_ERR_PULSE_RANGE, coordinates);
}

void mark_arc_env1(std::int16_t axis) {
    const std::uint32_t env1 = with_field(axis_record(axis).mirror[chip::kEnv1], chip::env1::kArcInterp, 1);
    chip::write_mirrored(axis, chip::kEnv1, chip::kMirrorWriteCode[chip::kEnv1], env1);
}

void place_helical_env2(std::int16_t axis, bool helical) {
    const std::uint32_t env2 = with_field(axis_record(axis).mirror[chip::kEnv2], chip::env2::kHelical, helical ? 1 : 0);
    chip::write_mirrored(axis, chip::kEnv2, chip::kMirrorWriteCode[chip::kEnv2], env2);
}

std::uint32_t arc_mode_word(std::uint32_t current, std::uint32_t kind, bool manual_ramp_down) {
    std::uint32_t mode = chip::opmode::start_word(current, kind, false, manual_ramp_down);
    mode &= ~chip::opmode::kSingleAxisStart.mask;
    return mode | chip::opmode::kPathStart.mask;
}

void write_buffered_mode(std::int16_t axis, std::uint32_t mode) { chip::write_register32(axis, kModeBufferedCode, mode); }

std::uint32_t circular_kind(std::int16_t dir) {
    return dir == kClockwise ? chip::opmode::kKindCircularCw : chip::opmode::kKindCircularCcw;
}

std::uint32_t helical_kind(std::int16_t dir) {
    return dir == kClockwise ? chip::opmode::kKindHelicalCw : chip::opmode::kKindHelicalCcw;
}

bool arc_ramp_down_is_manual(std::int16_t lead, double tacc, double tdec) {
    return 2.0 * tacc <= tdec || axis_record(lead).speed_range_fixed == 1;
}

motion::MovePlan plan_arc_axis(std::int16_t axis, motion::Curve curve, double amount, double str_vel, double max_vel,
                               const PathProfile& p, bool limit_peak, bool ramp_down_point) {
    motion::MovePlan plan = motion::plan_axis_move(axis, {.curve = curve,
                                                          .amount = amount,
                                                          .str_vel = str_vel,
                                                          .max_vel = max_vel,
                                                          .tacc = p.tacc,
                                                          .tdec = p.tdec,
                                                          .sv_acc = p.sv_acc,
                                                          .sv_dec = p.sv_dec});
    if (!limit_peak) plan.peak = plan.speeds.fh;
    plan.ramp_down_point = motion::plan_ramp_down(motion::kLocalChipUnits, motion::Curve::kTrapezoid, ramp_down_point,
                                                  plan.peak, plan.speeds, plan.rates());
    return plan;
}

void emit(std::int16_t axis, const motion::MovePlan& plan, motion::PlanStep step) {
    chip::LocalChipSink sink(axis, chip::Bank::kBuffered);
    motion::emit_step(plan, step, sink);
}

void write_aux_amount(std::int16_t axis, double value) {
    chip::LocalChipSink sink(axis, chip::Bank::kBuffered);
    sink.write(chip::kAuxAmount, static_cast<std::uint32_t>(truncate_to<std::int32_t>(value)));
}

void write_step_count(std::int16_t lead, double steps) {
    chip::write_register32(lead, chip::reg::kArcStepCount, arc_step_register(steps));
}

void advance_target(std::int16_t axis, double distance) {
    AxisRecord& rec = axis_record(axis);
    rec.prev_target_pos = rec.target_pos;
    rec.target_pos += distance;
}

double absolute_reference(std::int16_t axis, std::int16_t lead) {
    return motion::absolute_reference(axis, axis_record(lead).continuous_mode == 1,
                                      motion::CounterChoice::kByFeedbackSource);
}

}  // namespace quvex::interp::arc
