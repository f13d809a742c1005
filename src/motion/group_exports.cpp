// Exports of the group moves and of the group synchronisation.
#include "quvex/quvex.h"

#include "common/export_checks.h"
#include "motion/group_moves.h"
#include "motion/group_sync.h"

using namespace quvex;
using motion::Curve;
using motion::GroupArrays;
using motion::Reference;

namespace {

quvex_status group(Curve curve, Reference reference, int16_t n, const GroupArrays& arrays) {
    QUVEX_TRY(motion::check_group_arrays(curve, n, arrays));
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
