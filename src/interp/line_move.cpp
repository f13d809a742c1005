#include "interp/line_move.h"

#include <span>

#include "ports/local_chip_sink.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "chip/registers.h"
#include "common/bits.h"
#include "card/export_checks.h"
#include "card/card_table.h"
#include "interp/line_group.h"
#include "interp/line_mode.h"
#include "interp/path_speed.h"
#include "motion/axis_move.h"
#include "motion/speed_profile.h"

namespace quvex::interp {
namespace {

using motion::PlanStep;

constexpr chip::Bank kBuffered = chip::Bank::kBuffered;
constexpr std::uint16_t kModeBufferedCode = chip::operation_write_code(chip::Bank::kBuffered, chip::kOperationMode);
constexpr std::uint16_t kEnv2Code = chip::kMirrorWriteCode[chip::kEnv2];

// A line programs its axes step by step, each step on every axis before the next. An S-curve line
// writes the T-curve rates first and its move amounts only before the S-curve rates.
constexpr PlanStep kTrapezoidLineOrder[] = {PlanStep::kMoveAmount, PlanStep::kSpeeds, PlanStep::kTRates,
                                            PlanStep::kPeak, PlanStep::kRampDown};
constexpr PlanStep kSCurveLineOrder[] = {PlanStep::kSpeeds, PlanStep::kTRates, PlanStep::kMoveAmount,
                                         PlanStep::kSRates, PlanStep::kPeak, PlanStep::kRampDown};

// Value checks of the call, after the group check: a zero maximum speed first, then the input
// policy's refusal of values that are not finite numbers.
quvex_status check_values(const double* values, int count, const PathProfile& p) {
    QUVEX_TRY(check_nonzero_speed(p.max_vel));
    QUVEX_TRY(check_finite(QUVEX_ERR_ZERO_MAX_SPEED, {p.str_vel, p.tacc, p.tdec, p.sv_acc, p.sv_dec}));
    for (int i = 0; i < count; ++i) QUVEX_TRY(check_finite(QUVEX_ERR_PULSE_RANGE, {values[i]}));
    return QUVEX_OK;
}

bool continuous_on(const LineGroup& g) { return axis_record(g.lead()).continuous_mode == 1; }

// env2 of every axis: the helical bit cleared; a four-axis line also places the continuous bit.
void write_env2(const LineGroup& g) {
    const bool continuous = g.is_four_axis() && continuous_on(g);
    for (int i = 0; i < g.count; ++i) {
        std::uint32_t env2 = axis_record(g.axis_no[i]).mirror[chip::kEnv2];
        env2 = with_field(env2, chip::env2::kHelical, 0);
        if (g.is_four_axis()) env2 = with_field(env2, chip::env2::kContinuousInterp, continuous ? 1 : 0);
        chip::write_mirrored(g.axis_no[i], chip::kEnv2, kEnv2Code, env2);
    }
}

// One operation mode for the whole group, kept in the lead axis's mirror only.
void write_group_mode(const LineGroup& g, std::uint32_t mode) {
    axis_record(g.lead()).mirror[chip::kMirrorOperationMode] = mode;
    for (int i = 0; i < g.count; ++i) chip::write_register32(g.axis_no[i], kModeBufferedCode, mode);
}

void write_line_mode(const LineGroup& g, Curve curve, bool manual_mode, std::uint32_t status) {
    const std::uint32_t mirror = axis_record(g.lead()).mirror[chip::kMirrorOperationMode];
    std::uint32_t mode = chip::opmode::start_word(mirror, chip::opmode::kKindLinear, curve == Curve::kSCurve, manual_mode);
    if (!g.is_four_axis()) {
        mode &= ~chip::opmode::kSingleAxisStart.mask;
    } else {
        mode &= ~kFourAxisClearedHighBits;
        if (continuous_on(g)) mode |= continuous_line_bits(status);
    }
    write_group_mode(g, mode);
}

// After a four-axis start, the buffered mode is prepared for the next move while this one runs.
void rearm_four_axis_mode(const LineGroup& g) {
    std::uint32_t mode = axis_record(g.lead()).mirror[chip::kMirrorOperationMode];
    mode = (mode & ~kContinuousChainBits) | chip::opmode::kSingleAxisStart.mask;
    write_group_mode(g, mode);
}

void program_profiles(const LineGroup& g, Curve curve, const double* dist, const PathProfile& p,
                      bool ramp_down_point) {
    const PathShare share = path_share(dist, g.count);
    motion::MoveRequest request{.curve = curve,
                                .str_vel = dominant_axis_speed(share, p.str_vel),
                                .max_vel = dominant_axis_speed(share, p.max_vel),
                                .tacc = p.tacc,
                                .tdec = p.tdec,
                                .sv_acc = p.sv_acc,
                                .sv_dec = p.sv_dec,
                                .ramp_down_point = ramp_down_point};
    motion::MovePlan plans[kMaxLineAxes];
    for (int i = 0; i < g.count; ++i) {
        request.amount = dist[i];
        plans[i] = motion::plan_axis_move(g.axis_no[i], request);
    }
    const std::span<const PlanStep> order =
        curve == Curve::kTrapezoid ? std::span<const PlanStep>(kTrapezoidLineOrder) : kSCurveLineOrder;
    for (const PlanStep& step : order) {
        for (int i = 0; i < g.count; ++i) {
            chip::LocalChipSink sink(g.axis_no[i], chip::Bank::kBuffered);
            motion::program_axis_move(sink, plans[i], {&step, 1});
        }
    }

    // Every axis runs on the dominant axis's start and maximum speed registers.
    if (share.dominant != 0) {
        const std::int16_t dominant = g.axis_no[share.dominant];
        for (int i = 0; i < g.count; ++i) {
            if (i != share.dominant) motion::copy_speed_registers(dominant, g.axis_no[i], kBuffered);
        }
    }
}

quvex_status start_relative(Curve curve, int card, const std::int16_t* axis_array, int count, const double* dist,
                            const PathProfile& p) {
    QUVEX_TRY(check(valid_line_axes(axis_array, count), QUVEX_ERR_AXIS_GROUP));
    const bool four_axis = count == kMaxLineAxes;
    // The four-axis line reads X's status before its value checks, so its card comes first.
    if (four_axis) QUVEX_TRY(check_card(card));
    std::uint32_t status = 0;
    if (four_axis) chip::read_status_register32(card * kAxesPerCard, &status);
    QUVEX_TRY(check_values(dist, count, p));
    QUVEX_TRY(check_card(card));

    const LineGroup g = make_line_group(card, axis_array, count);
    axis_record(g.lead()).last_decel_time = p.tdec;
    write_env2(g);
    const bool manual_mode = motion::ramp_down_is_manual(g.lead(), p.tacc, p.tdec);
    write_line_mode(g, curve, manual_mode, status);
    for (int i = 0; i < g.count; ++i) motion::take_move_amount(g.axis_no[i], Reference::kRelative, dist[i],
                                                                    motion::CounterChoice::kByFeedbackSource);
    program_profiles(g, curve, dist, p, motion::ramp_down_point_wanted(manual_mode, p.tdec));

    const std::uint16_t start = motion::t_curve_start_command(p.tacc, p.tdec);
    chip::write_axis_command(g.lead(), static_cast<std::uint16_t>(start | g.select_bits()));
    if (four_axis) rearm_four_axis_mode(g);
    return QUVEX_OK;
}

quvex_status start_absolute(Curve curve, int card, const std::int16_t* axis_array, int count, const double* pos,
                            const PathProfile& p) {
    QUVEX_TRY(check(valid_line_axes(axis_array, count), QUVEX_ERR_AXIS_GROUP));
    QUVEX_TRY(check_card(card));
    const LineGroup g = make_line_group(card, axis_array, count);
    const bool continuous = continuous_on(g);
    double dist[kMaxLineAxes] = {};
    for (int i = 0; i < count; ++i) {
        dist[i] = pos[i] - motion::absolute_reference(g.axis_no[i], continuous, motion::CounterChoice::kByFeedbackSource);
    }
    return start_relative(curve, card, axis_array, count, dist, p);
}

}  // namespace

quvex_status start_line(LineKind kind, int card, const std::int16_t* axis_array, int count, const double* values,
                        const PathProfile& profile) {
    return kind.reference == Reference::kRelative ? start_relative(kind.curve, card, axis_array, count, values, profile)
                                                  : start_absolute(kind.curve, card, axis_array, count, values, profile);
}

}  // namespace quvex::interp
