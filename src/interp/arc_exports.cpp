// Exports of circular, helical and continuous interpolation. A row defines the relative and the
// absolute export of one family (its curve and its pair) and hands their values to the arc,
// helix or continuous start; the fixed-pair forms give the arc start the X-Y or Z-U pair.
#include "quvex/quvex.h"

#include "card/export_checks.h"
#include "interp/arc_geometry.h"
#include "interp/arc_move.h"
#include "interp/continuous.h"
#include "interp/helical_move.h"
#include "interp/path_export_rows.h"

using namespace quvex::interp;

namespace {

// Collinear points leave every output as it was; an out-of-range centre zeroes the centre only.
quvex_status arc_data_export(double x1, double y1, double x2, double y2, double x3, double y3, double* cx_out,
                             double* cy_out, int16_t* dir_out) {
    ArcData data;
    const quvex_status status = arc_data_from_3points(x1, y1, x2, y2, x3, y3, &data);
    if (status == QUVEX_ERR_COLLINEAR_POINTS) return status;
    quvex::put(cx_out, data.cx);
    quvex::put(cy_out, data.cy);
    if (status == QUVEX_OK) quvex::put(dir_out, data.dir);
    return status;
}

}  // namespace

// The arc's parameters: centre and end relative to the start (absolute forms: positions), and
// the direction. A helix's Z end stands between the arc's end and its direction.
#define QUVEX_ARC_PARAMS double cx, double cy, double ex, double ey, int16_t dir
#define QUVEX_HELIX_PARAMS double cx, double cy, double ex, double ey, double ez, int16_t dir
#define QUVEX_ARC_GEOMETRY {cx, cy, ex, ey, dir}
#define QUVEX_ARC_EXPORT_(name, curve, reference, axes)                                                    \
    QUVEX_API quvex_status QUVEX_CALL name(int16_t card, QUVEX_PATH_AXES_PARAM_##axes QUVEX_ARC_PARAMS,    \
                                           QUVEX_PATH_PROFILE_PARAMS_##curve) {                            \
        return start_arc({kArcCurve##curve, Reference::reference}, card, QUVEX_PATH_AXES_##axes,           \
                         QUVEX_ARC_GEOMETRY, QUVEX_PATH_PROFILE_##curve);                                  \
    }
#define QUVEX_ARC_EXPORTS(relative, absolute, curve, axes) \
    QUVEX_ARC_EXPORT_(relative, curve, kRelative, axes)    \
    QUVEX_ARC_EXPORT_(absolute, curve, kAbsolute, axes)
#define QUVEX_HELIX_EXPORT_(name, curve, reference)                                                        \
    QUVEX_API quvex_status QUVEX_CALL name(int16_t card, QUVEX_HELIX_PARAMS,                               \
                                           QUVEX_PATH_PROFILE_PARAMS_##curve) {                            \
        return start_helix({kArcCurve##curve, Reference::reference}, card, {QUVEX_ARC_GEOMETRY, ez},       \
                           QUVEX_PATH_PROFILE_##curve);                                                    \
    }
#define QUVEX_HELIX_EXPORTS(relative, absolute, curve) \
    QUVEX_HELIX_EXPORT_(relative, curve, kRelative)    \
    QUVEX_HELIX_EXPORT_(absolute, curve, kAbsolute)
// Continuous arcs are T-curve arcs only.
#define QUVEX_CONTINUOUS_ARC_EXPORT(name, reference, axes)                                                 \
    QUVEX_API quvex_status QUVEX_CALL name(int16_t card, QUVEX_PATH_AXES_PARAM_##axes QUVEX_ARC_PARAMS,    \
                                           QUVEX_PATH_PROFILE_PARAMS_T) {                                  \
        return start_continuous_arc(Reference::reference, card, QUVEX_PATH_AXES_##axes, QUVEX_ARC_GEOMETRY, \
                                    QUVEX_PATH_PROFILE_T);                                                 \
    }

extern "C" {

//                relative                 absolute                 curve axes
QUVEX_ARC_EXPORTS(quvex_start_r_arc2,      quvex_start_a_arc2,      C,    GIVEN)
QUVEX_ARC_EXPORTS(quvex_start_tr_arc2,     quvex_start_ta_arc2,     T,    GIVEN)
QUVEX_ARC_EXPORTS(quvex_start_sr_arc2,     quvex_start_sa_arc2,     S,    GIVEN)
QUVEX_ARC_EXPORTS(quvex_start_r_arc_xy,    quvex_start_a_arc_xy,    C,    XY)
QUVEX_ARC_EXPORTS(quvex_start_tr_arc_xy,   quvex_start_ta_arc_xy,   T,    XY)
QUVEX_ARC_EXPORTS(quvex_start_sr_arc_xy,   quvex_start_sa_arc_xy,   S,    XY)
QUVEX_ARC_EXPORTS(quvex_start_r_arc_zu,    quvex_start_a_arc_zu,    C,    ZU)
QUVEX_ARC_EXPORTS(quvex_start_tr_arc_zu,   quvex_start_ta_arc_zu,   T,    ZU)
QUVEX_ARC_EXPORTS(quvex_start_sr_arc_zu,   quvex_start_sa_arc_zu,   S,    ZU)

// Helices: an X-Y arc with Z and U beside it.
QUVEX_HELIX_EXPORTS(quvex_start_tr_arc_xyz, quvex_start_ta_arc_xyz, T)
QUVEX_HELIX_EXPORTS(quvex_start_sr_arc_xyz, quvex_start_sa_arc_xyz, S)

QUVEX_CONTINUOUS_ARC_EXPORT(quvex_start_tr_arc2_conti, kRelative, GIVEN)
QUVEX_CONTINUOUS_ARC_EXPORT(quvex_start_tr_arc_xy_conti, kRelative, XY)
QUVEX_CONTINUOUS_ARC_EXPORT(quvex_start_ta_arc_xy_conti, kAbsolute, XY)

QUVEX_API quvex_status QUVEX_CALL quvex_get_arc_data_from_3points(double x1, double y1, double x2, double y2,
                                                                  double x3, double y3, double* cx_out,
                                                                  double* cy_out, int16_t* dir_out) {
    return arc_data_export(x1, y1, x2, y2, x3, y3, cx_out, cy_out, dir_out);
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_continuous_move(int16_t axis, int16_t enable) {
    return set_continuous_move(axis, enable);
}

QUVEX_API int16_t QUVEX_CALL quvex_check_continuous_buffer(int16_t axis) {
    return continuous_buffer_queued(axis);
}

QUVEX_API quvex_status QUVEX_CALL quvex_cancel_continuous_buffer(int16_t axis) {
    return cancel_continuous_buffer(axis);
}

}  // extern "C"
