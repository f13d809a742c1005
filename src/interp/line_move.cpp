#include "interp/line_move.h"

#include <cmath>

#include "chip/primitives.h"
#include "chip/registers.h"
#include "common/bits.h"
#include "frame/card_table.h"
#include "interp/line_group.h"
#include "interp/operation_mode.h"
#include "interp/path_speed.h"
#include "motion/single_axis.h"
#include "motion/speed_profile.h"
#include "quvex/quvex_axis.h"

namespace quvex::interp {
namespace {

constexpr std::int16_t kBuffered = motion::kBuffered;
constexpr std::uint16_t kModeBufferedCode = chip::operation_write_code(chip::kBufferedBank, chip::kOperationMode);
constexpr std::uint16_t kEnv2Code = chip::kMirrorWriteCode[chip::kEnv2];

// Value checks of the call, after the group check: a zero maximum speed first, then the input
// policy's refusal of values that are not finite numbers.
quvex_status check_values(const double* values, int count, const PathProfile& p) {
    if (!std::isfinite(p.max_vel) || std::fabs(p.max_vel) == 0) return QUVEX_ERR_ZERO_MAX_SPEED;
    for (double v : {p.str_vel, p.tacc, p.tdec, p.sv_acc, p.sv_dec}) {
        if (!std::isfinite(v)) return QUVEX_ERR_ZERO_MAX_SPEED;
    }
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i])) return QUVEX_ERR_PULSE_RANGE;
    }
    return QUVEX_OK;
}

bool continuous_on(const LineGroup& g) { return axis_record(g.lead()).continuous_mode == 1; }

// env2 of every axis: the helical bit cleared; a four-axis line also places the continuous bit.
void write_env2(const LineGroup& g) {
    const bool continuous = g.is_four_axis() && continuous_on(g);
    for (int i = 0; i < g.count; ++i) {
        std::uint32_t env2 = axis_record(g.axis_no[i]).mirror[chip::kEnv2];
        env2 = with_field(env2, kEnv2Helical, 0);
        if (g.is_four_axis()) env2 = with_field(env2, kEnv2ContinuousInterp, continuous ? 1 : 0);
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
    std::uint32_t mode = start_mode(mirror, kKindLinear, curve == Curve::kSCurve, manual_mode);
    if (!g.is_four_axis()) {
        mode &= ~kSingleAxisStart.mask;
    } else {
        mode &= ~kFourAxisClearedHighBits;
        if (continuous_on(g)) mode |= continuous_line_bits(status);
    }
    write_group_mode(g, mode);
}

// After a four-axis start, the buffered mode is prepared for the next move while this one runs.
void rearm_four_axis_mode(const LineGroup& g) {
    std::uint32_t mode = axis_record(g.lead()).mirror[chip::kMirrorOperationMode];
    mode = (mode & ~kContinuousChainBits) | kSingleAxisStart.mask;
    write_group_mode(g, mode);
}

template <typename Op>
void each_axis(const LineGroup& g, Op op) {
    for (int i = 0; i < g.count; ++i) op(g.axis_no[i], i);
}

void program_profiles(const LineGroup& g, Curve curve, const double* dist, const PathProfile& p,
                      std::int16_t ramp_down) {
    const PathShare share = path_share(dist, g.count);
    const double str_vel = dominant_axis_speed(share, p.str_vel);
    const double max_vel = dominant_axis_speed(share, p.max_vel);
    const auto speeds = [&](std::int16_t axis, int) { motion::compute_speed_registers(axis, str_vel, max_vel, kBuffered); };
    const auto amounts = [&](std::int16_t axis, int i) { motion::write_move_amount(axis, dist[i], kBuffered); };
    const auto t_rates = [&](std::int16_t axis, int) { motion::compute_t_rates(axis, p.tacc, p.tdec, kBuffered); };

    if (curve == Curve::kTrapezoid) {
        each_axis(g, amounts);
        each_axis(g, speeds);
        each_axis(g, t_rates);
        each_axis(g, [](std::int16_t axis, int) { motion::limit_t_peak(axis, kBuffered); });
        each_axis(g, [&](std::int16_t axis, int) { motion::compute_t_ramp_down(axis, kBuffered, ramp_down); });
    } else {
        each_axis(g, speeds);
        each_axis(g, t_rates);
        each_axis(g, amounts);
        each_axis(g, [&](std::int16_t axis, int) {
            motion::compute_s_rates(axis, p.tacc, p.tdec, p.sv_acc, p.sv_dec, kBuffered);
        });
        each_axis(g, [](std::int16_t axis, int) { motion::limit_s_peak(axis, kBuffered); });
        each_axis(g, [&](std::int16_t axis, int) { motion::compute_s_ramp_down(axis, kBuffered, ramp_down); });
    }

    // Every axis runs on the dominant axis's start and maximum speed registers.
    if (share.dominant != 0) {
        const std::int16_t dominant = g.axis_no[share.dominant];
        each_axis(g, [&](std::int16_t axis, int i) {
            if (i != share.dominant) motion::copy_speed_registers(dominant, axis, kBuffered);
        });
    }
}

quvex_status start_relative(Curve curve, int card, const std::int16_t* axis_array, int count, const double* dist,
                            const PathProfile& p) {
    if (!valid_line_axes(axis_array, count)) return QUVEX_ERR_AXIS_GROUP;
    const bool four_axis = count == kMaxLineAxes;
    // The four-axis line reads X's status before its value checks, so its card comes first.
    if (four_axis && !card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    std::uint32_t status = 0;
    if (four_axis) chip::read_status_register32(card * kAxesPerCard, &status);
    if (const quvex_status s = check_values(dist, count, p); s != QUVEX_OK) return s;
    if (!card_usable(card)) return QUVEX_ERR_CARD_NUMBER;

    const LineGroup g = make_line_group(card, axis_array, count);
    AxisRecord& lead = axis_record(g.lead());
    lead.last_decel_time = p.tdec;
    write_env2(g);
    const bool manual_mode = motion::ramp_down_is_manual(g.lead(), p.tacc, p.tdec);
    write_line_mode(g, curve, manual_mode, status);
    each_axis(g, [&](std::int16_t axis, int i) {
        AxisRecord& r = axis_record(axis);
        r.prev_target_pos = r.target_pos;
        r.target_pos += dist[i];
    });
    program_profiles(g, curve, dist, p, motion::ramp_down_argument(manual_mode, p.tdec));

    const std::uint16_t start = motion::t_curve_start_command(p.tacc, p.tdec);
    chip::write_axis_command(g.lead(), static_cast<std::uint16_t>(start | g.select_bits()));
    if (four_axis) rearm_four_axis_mode(g);
    return QUVEX_OK;
}

quvex_status start_absolute(Curve curve, int card, const std::int16_t* axis_array, int count, const double* pos,
                            const PathProfile& p) {
    if (!valid_line_axes(axis_array, count)) return QUVEX_ERR_AXIS_GROUP;
    if (!card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    const LineGroup g = make_line_group(card, axis_array, count);
    const bool continuous = continuous_on(g);
    double dist[kMaxLineAxes] = {};
    for (int i = 0; i < count; ++i) dist[i] = pos[i] - motion::absolute_reference(g.axis_no[i], continuous);
    return start_relative(curve, card, axis_array, count, dist, p);
}

}  // namespace

quvex_status start_line(LineKind kind, int card, const std::int16_t* axis_array, int count, const double* values,
                        const PathProfile& profile) {
    return kind.target == Target::kRelative ? start_relative(kind.curve, card, axis_array, count, values, profile)
                                            : start_absolute(kind.curve, card, axis_array, count, values, profile);
}

}  // namespace quvex::interp
