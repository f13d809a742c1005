// Exports of the group moves and of the group synchronisation.
#include "quvex/quvex.h"

#include <cmath>

#include "common/export_checks.h"
#include "motion/group_moves.h"
#include "motion/group_sync.h"

using namespace quvex;
using motion::Curve;
using motion::GroupArrays;
using motion::Reference;

namespace {

bool finite_at(const double* array, int i) { return array == nullptr || std::isfinite(array[i]); }

// Input-policy checks over the whole call, made before any axis is touched: the count, the
// arrays, every axis, every value, then the profile values. A zero maximum speed is not among
// them: set_group_moves finds it in array order and stops there.
quvex_status check_group_arrays(Curve curve, int n, const GroupArrays& a) {
    if (n <= 0) return QUVEX_OK;
    QUVEX_TRY(check(n <= motion::kMaxGroupAxes, QUVEX_ERR_AXIS_GROUP));
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

quvex_status group(Curve curve, Reference reference, int16_t n, const GroupArrays& arrays) {
    QUVEX_TRY(check_group_arrays(curve, n, arrays));
    return motion::set_group_moves(curve, reference, n, arrays);
}

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_set_tr_move_all(int16_t n, const int16_t* axes, const double* dist,
                                                       const double* str_vel, const double* max_vel,
                                                       const double* Tacc, const double* Tdec) {
    return group(Curve::kTrapezoid, Reference::kRelative, n,
                 GroupArrays{axes, dist, str_vel, max_vel, Tacc, Tdec, nullptr, nullptr});
}
QUVEX_API quvex_status QUVEX_CALL quvex_set_ta_move_all(int16_t n, const int16_t* axes, const double* pos,
                                                       const double* str_vel, const double* max_vel,
                                                       const double* Tacc, const double* Tdec) {
    return group(Curve::kTrapezoid, Reference::kAbsolute, n,
                 GroupArrays{axes, pos, str_vel, max_vel, Tacc, Tdec, nullptr, nullptr});
}
QUVEX_API quvex_status QUVEX_CALL quvex_set_sr_move_all(int16_t n, const int16_t* axes, const double* dist,
                                                       const double* str_vel, const double* max_vel,
                                                       const double* Tacc, const double* Tdec, const double* SVacc,
                                                       const double* SVdec) {
    return group(Curve::kSCurve, Reference::kRelative, n,
                 GroupArrays{axes, dist, str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_set_sa_move_all(int16_t n, const int16_t* axes, const double* pos,
                                                       const double* str_vel, const double* max_vel,
                                                       const double* Tacc, const double* Tdec, const double* SVacc,
                                                       const double* SVdec) {
    return group(Curve::kSCurve, Reference::kAbsolute, n,
                 GroupArrays{axes, pos, str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_move_all(int16_t axis) {
    QUVEX_TRY(check_axis(axis));
    motion::start_all(axis);
    return QUVEX_OK;
}
QUVEX_API quvex_status QUVEX_CALL quvex_stop_move_all(int16_t axis) {
    QUVEX_TRY(check_axis(axis));
    motion::stop_all(axis);
    return QUVEX_OK;
}
QUVEX_API quvex_status QUVEX_CALL quvex_set_sync_option(int16_t axis, int16_t opt_bit24, int16_t opt_bit25,
                                                       int16_t opt_low, int16_t opt_high) {
    QUVEX_TRY(check_axis(axis));
    motion::set_sync_option(axis, opt_bit24, opt_bit25, opt_low, opt_high);
    return QUVEX_OK;
}
QUVEX_API quvex_status QUVEX_CALL quvex_set_sync_stop_mode(int16_t axis, int16_t mode) {
    QUVEX_TRY(check_axis(axis));
    motion::set_sync_stop_mode(axis, mode);
    return QUVEX_OK;
}

}  // extern "C"
