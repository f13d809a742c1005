// Exports of the origin operations: the checks in their order, then one call.
#include "card/export_checks.h"
#include "motion/home_moves.h"
#include "quvex/quvex.h"

using namespace quvex;
using namespace quvex::motion;

namespace {

// A zero maximum speed gives no direction and no speed range: refused first, as for the moves.
quvex_status home(int16_t axis, const HomeRequest& request) {
    QUVEX_TRY(check_nonzero_speed(request.max_vel));
    QUVEX_TRY(check_axis(axis));
    QUVEX_TRY(check_finite(QUVEX_ERR_ZERO_MAX_SPEED, {request.str_vel, request.tacc}));
    QUVEX_TRY(check_finite(QUVEX_ERR_PULSE_RANGE, {request.offset}));
    start_home(axis, request);
    return QUVEX_OK;
}

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_home_move(int16_t axis, double str_vel, double max_vel, double Tacc) {
    return home(axis, {HomeOperation::kReturn, str_vel, max_vel, Tacc, 0});
}

QUVEX_API quvex_status QUVEX_CALL quvex_escape_home(int16_t axis, double str_vel, double max_vel, double Tacc) {
    return home(axis, {HomeOperation::kEscape, str_vel, max_vel, Tacc, 0});
}

QUVEX_API quvex_status QUVEX_CALL quvex_home_search(int16_t axis, double str_vel, double max_vel, double Tacc,
                                                   double offset) {
    return home(axis, {HomeOperation::kSearch, str_vel, max_vel, Tacc, offset});
}

}  // extern "C"
