// Exports of the group moves and of the group synchronisation.
#include "quvex/quvex.h"

#include <cmath>

#include "card/export_shells.h"
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

constexpr Curve kGroupCurveT = Curve::kTrapezoid;
constexpr Curve kGroupCurveS = Curve::kSCurve;

quvex_status group(Curve curve, Reference reference, int16_t n, const GroupArrays& arrays) {
    QUVEX_TRY(check_group_arrays(curve, n, arrays));
    return motion::set_group_moves(curve, reference, n, arrays);
}

}  // namespace

// The group exports of one curve differ only in their reference: a row names the export, its
// curve (T: four profile arrays, S: six) and its reference.
#define QUVEX_GROUP_PROFILE_T const double* str_vel, const double* max_vel, const double* Tacc, const double* Tdec
#define QUVEX_GROUP_PROFILE_S QUVEX_GROUP_PROFILE_T, const double* SVacc, const double* SVdec
#define QUVEX_GROUP_ARRAYS_T str_vel, max_vel, Tacc, Tdec, nullptr, nullptr
#define QUVEX_GROUP_ARRAYS_S str_vel, max_vel, Tacc, Tdec, SVacc, SVdec
#define QUVEX_GROUP_EXPORT(name, curve, reference)                                                       \
    QUVEX_API quvex_status QUVEX_CALL name(int16_t n, const int16_t* axes, const double* values,         \
                                           QUVEX_GROUP_PROFILE_##curve) {                                \
        return group(kGroupCurve##curve, Reference::reference, n,                                        \
                     GroupArrays{axes, values, QUVEX_GROUP_ARRAYS_##curve});                             \
    }

extern "C" {

QUVEX_GROUP_EXPORT(quvex_set_tr_move_all, T, kRelative)
QUVEX_GROUP_EXPORT(quvex_set_ta_move_all, T, kAbsolute)
QUVEX_GROUP_EXPORT(quvex_set_sr_move_all, S, kRelative)
QUVEX_GROUP_EXPORT(quvex_set_sa_move_all, S, kAbsolute)

// Start, stop and synchronisation of the axes a group move has set up.
QUVEX_CHECKED_CALL(quvex_start_move_all, check_axis, motion::start_all)
QUVEX_CHECKED_CALL(quvex_stop_move_all, check_axis, motion::stop_all)
QUVEX_CHECKED_CALL(quvex_set_sync_option, check_axis, motion::set_sync_option, int16_t, int16_t, int16_t, int16_t)
QUVEX_CHECKED_CALL(quvex_set_sync_stop_mode, check_axis, motion::set_sync_stop_mode, int16_t)

}  // extern "C"
