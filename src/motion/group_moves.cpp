#include "motion/group_moves.h"

#include <cmath>

#include "common/export_checks.h"
#include "frame/card_table.h"
#include "motion/axis_move.h"

namespace quvex::motion {
namespace {

bool finite_at(const double* array, int i) { return array == nullptr || std::isfinite(array[i]); }

// Group moves always place the ramp-down point themselves and measure absolute targets from the
// position counter.
constexpr StartRules kGroupRules{.clear_helical = false,
                                 .manual_mode = true,
                                 .counters = CounterChoice::kPosition,
                                 .s_curve_always_full = false};

void start_member(Curve curve, Reference reference, const GroupArrays& a, int i) {
    const bool s_curve = curve == Curve::kSCurve;
    const MoveRequest request{.curve = curve,
                              .str_vel = std::fabs(a.str_vel[i]),
                              .max_vel = std::fabs(a.max_vel[i]),
                              .tacc = a.tacc[i],
                              .tdec = a.tdec[i],
                              .sv_acc = s_curve ? a.sv_acc[i] : 0,
                              .sv_dec = s_curve ? a.sv_dec[i] : 0};
    start_axis_move(a.axes[i], reference, a.value[i], request, kGroupRules);
}

}  // namespace

quvex_status check_group_arrays(Curve curve, int n, const GroupArrays& a) {
    if (n <= 0) return QUVEX_OK;
    QUVEX_TRY(check(n <= kMaxGroupAxes, QUVEX_ERR_AXIS_GROUP));
    const bool s_curve = curve == Curve::kSCurve;
    const bool arrays_given = a.axes != nullptr && a.value != nullptr && a.str_vel != nullptr &&
                              a.max_vel != nullptr && a.tacc != nullptr && a.tdec != nullptr &&
                              (!s_curve || (a.sv_acc != nullptr && a.sv_dec != nullptr));
    QUVEX_TRY(check(arrays_given, QUVEX_ERR_AXIS_GROUP));
    for (int i = 0; i < n; ++i) QUVEX_TRY(check_axis(a.axes[i]));
    for (int i = 0; i < n; ++i) QUVEX_TRY(check_finite(QUVEX_ERR_PULSE_RANGE, {a.value[i]}));
    for (int i = 0; i < n; ++i) {
        const bool profile_finite = finite_at(a.str_vel, i) && finite_at(a.tacc, i) && finite_at(a.tdec, i) &&
                                    (!s_curve || (finite_at(a.sv_acc, i) && finite_at(a.sv_dec, i)));
        QUVEX_TRY(check(profile_finite, QUVEX_ERR_ZERO_MAX_SPEED));
    }
    return QUVEX_OK;
}

quvex_status set_group_moves(Curve curve, Reference reference, int n, const GroupArrays& arrays) {
    for (int i = 0; i < n; ++i) {
        QUVEX_TRY(check_nonzero_speed(arrays.max_vel[i]));
        start_member(curve, reference, arrays, i);
    }
    return QUVEX_OK;
}

}  // namespace quvex::motion
