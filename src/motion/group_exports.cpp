// Exports of the group moves and of the group synchronisation.
#include "quvex/quvex.h"

#include "frame/card_table.h"
#include "motion/group_moves.h"
#include "motion/group_sync.h"

using namespace quvex;
using motion::GroupArrays;
using motion::GroupCurve;
using motion::GroupTarget;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_set_tr_move_all(int16_t n, const int16_t* axes, const double* dist,
                                                       const double* str_vel, const double* max_vel,
                                                       const double* Tacc, const double* Tdec) {
    return motion::set_group_moves(GroupCurve::kTrapezoid, GroupTarget::kRelative, n,
                                   GroupArrays{axes, dist, str_vel, max_vel, Tacc, Tdec, nullptr, nullptr});
}
QUVEX_API quvex_status QUVEX_CALL quvex_set_ta_move_all(int16_t n, const int16_t* axes, const double* pos,
                                                       const double* str_vel, const double* max_vel,
                                                       const double* Tacc, const double* Tdec) {
    return motion::set_group_moves(GroupCurve::kTrapezoid, GroupTarget::kAbsolute, n,
                                   GroupArrays{axes, pos, str_vel, max_vel, Tacc, Tdec, nullptr, nullptr});
}
QUVEX_API quvex_status QUVEX_CALL quvex_set_sr_move_all(int16_t n, const int16_t* axes, const double* dist,
                                                       const double* str_vel, const double* max_vel,
                                                       const double* Tacc, const double* Tdec, const double* SVacc,
                                                       const double* SVdec) {
    return motion::set_group_moves(GroupCurve::kSCurve, GroupTarget::kRelative, n,
                                   GroupArrays{axes, dist, str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_set_sa_move_all(int16_t n, const int16_t* axes, const double* pos,
                                                       const double* str_vel, const double* max_vel,
                                                       const double* Tacc, const double* Tdec, const double* SVacc,
                                                       const double* SVdec) {
    return motion::set_group_moves(GroupCurve::kSCurve, GroupTarget::kAbsolute, n,
                                   GroupArrays{axes, pos, str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_move_all(int16_t axis) {
    if (!axis_usable(axis)) return QUVEX_ERR_CARD_NUMBER;
    motion::start_all(axis);
    return QUVEX_OK;
}
QUVEX_API quvex_status QUVEX_CALL quvex_stop_move_all(int16_t axis) {
    if (!axis_usable(axis)) return QUVEX_ERR_CARD_NUMBER;
    motion::stop_all(axis);
    return QUVEX_OK;
}
QUVEX_API quvex_status QUVEX_CALL quvex_set_sync_option(int16_t axis, int16_t opt_bit24, int16_t opt_bit25,
                                                       int16_t opt_low, int16_t opt_high) {
    if (!axis_usable(axis)) return QUVEX_ERR_CARD_NUMBER;
    motion::set_sync_option(axis, opt_bit24, opt_bit25, opt_low, opt_high);
    return QUVEX_OK;
}
QUVEX_API quvex_status QUVEX_CALL quvex_set_sync_stop_mode(int16_t axis, int16_t mode) {
    if (!axis_usable(axis)) return QUVEX_ERR_CARD_NUMBER;
    motion::set_sync_stop_mode(axis, mode);
    return QUVEX_OK;
}

}  // extern "C"
