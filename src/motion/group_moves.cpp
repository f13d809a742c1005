#include "motion/group_moves.h"

#include <cmath>

#include "card/export_checks.h"
#include "motion/axis_move.h"

namespace quvex::motion {
namespace {

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

quvex_status set_group_moves(Curve curve, Reference reference, int n, const GroupArrays& arrays) {
    for (int i = 0; i < n; ++i) {
        QUVEX_TRY(check_nonzero_speed(arrays.max_vel[i]));
        start_member(curve, reference, arrays, i);
    }
    return QUVEX_OK;
}

}  // namespace quvex::motion
