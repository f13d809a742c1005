#include "motion/group_moves.h"

#include <cmath>

#include "chip/primitives.h"
#include "chip/registers.h"
#include "frame/card_table.h"
#include "interp/operation_mode.h"
#include "motion/speed_profile.h"
#include "quvex/quvex_axis.h"

namespace quvex::motion {
namespace {

constexpr std::uint16_t kModeBufferedCode = chip::operation_write_code(chip::kBufferedBank, chip::kOperationMode);

bool finite_at(const double* array, int i) { return array == nullptr || std::isfinite(array[i]); }

// Input-policy checks over the whole call, made before any axis is touched. The zero maximum
// speed is not among them: it is found in array order and stops the loop there.
quvex_status check_arrays(GroupCurve curve, int n, const GroupArrays& a) {
    if (n > kMaxGroupAxes) return QUVEX_ERR_AXIS_GROUP;
    const bool s_curve = curve == GroupCurve::kSCurve;
    if (a.axes == nullptr || a.value == nullptr || a.str_vel == nullptr || a.max_vel == nullptr ||
        a.tacc == nullptr || a.tdec == nullptr || (s_curve && (a.sv_acc == nullptr || a.sv_dec == nullptr))) {
        return QUVEX_ERR_AXIS_GROUP;
    }
    for (int i = 0; i < n; ++i) {
        if (!axis_usable(a.axes[i])) return QUVEX_ERR_CARD_NUMBER;
    }
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(a.value[i])) return QUVEX_ERR_PULSE_RANGE;
    }
    for (int i = 0; i < n; ++i) {
        const bool profile_finite = finite_at(a.str_vel, i) && finite_at(a.tacc, i) && finite_at(a.tdec, i) &&
                                    (!s_curve || (finite_at(a.sv_acc, i) && finite_at(a.sv_dec, i)));
        if (!profile_finite) return QUVEX_ERR_ZERO_MAX_SPEED;
    }
    return QUVEX_OK;
}

// The move amount of one axis; updates its targets.
double take_amount(std::int16_t axis, GroupTarget target, double value) {
    AxisRecord& r = axis_record(axis);
    double amount = value;
    if (target == GroupTarget::kAbsolute) {
        double reference = r.target_pos;
        if (r.continuous_mode != 1) quvex_get_position(axis, &reference);
        amount = value - reference;
    }
    r.prev_target_pos = r.target_pos;
    r.target_pos = target == GroupTarget::kAbsolute ? value : r.target_pos + value;
    return amount;
}

void program_axis(GroupCurve curve, GroupTarget target, const GroupArrays& a, int i) {
    const std::int16_t axis = a.axes[i];
    AxisRecord& r = axis_record(axis);
    const double tacc = a.tacc[i];
    const double tdec = a.tdec[i];
    const bool s_curve = curve == GroupCurve::kSCurve;
    r.last_decel_time = tdec;

    // Group moves always place the ramp-down point themselves.
    const std::uint32_t mode = r.mirror[chip::kMirrorOperationMode];
    chip::write_mirrored(axis, chip::kMirrorOperationMode, kModeBufferedCode,
                         interp::start_mode(mode, interp::kKindPositioning, s_curve, true) |
                             interp::kSingleAxisStart.mask);

    write_move_amount(axis, take_amount(axis, target, a.value[i]), kBuffered);
    compute_speed_registers(axis, std::fabs(a.str_vel[i]), std::fabs(a.max_vel[i]), kBuffered);
    const std::int16_t ramp_down = ramp_down_argument(true, tdec);
    if (s_curve) {
        compute_s_rates(axis, tacc, tdec, a.sv_acc[i], a.sv_dec[i], kBuffered);
        limit_s_peak(axis, kBuffered);
        compute_s_ramp_down(axis, kBuffered, ramp_down);
    } else {
        compute_t_rates(axis, tacc, tdec, kBuffered);
        limit_t_peak(axis, kBuffered);
        compute_t_ramp_down(axis, kBuffered, ramp_down);
    }
    chip::write_axis_command(axis, t_curve_start_command(tacc, tdec));
}

}  // namespace

quvex_status set_group_moves(GroupCurve curve, GroupTarget target, int n, const GroupArrays& arrays) {
    if (n <= 0) return QUVEX_OK;
    if (const quvex_status s = check_arrays(curve, n, arrays); s != QUVEX_OK) return s;
    for (int i = 0; i < n; ++i) {
        const double max_vel = arrays.max_vel[i];
        if (!std::isfinite(max_vel) || std::fabs(max_vel) == 0) return QUVEX_ERR_ZERO_MAX_SPEED;
        program_axis(curve, target, arrays, i);
    }
    return QUVEX_OK;
}

}  // namespace quvex::motion
