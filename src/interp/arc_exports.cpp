// Exports of circular, helical and continuous interpolation: each names its family and its pair
// and hands its values to the arc, helix or continuous start; the fixed-pair forms give the
// arc start the X-Y or Z-U pair.
#include "quvex/quvex.h"

#include "common/export_checks.h"
#include "interp/arc_geometry.h"
#include "interp/arc_move.h"
#include "interp/continuous.h"
#include "interp/helical_move.h"

using namespace quvex::interp;

namespace {

constexpr ArcKind kR{ArcCurve::kConstant, Reference::kRelative};
constexpr ArcKind kA{ArcCurve::kConstant, Reference::kAbsolute};
constexpr ArcKind kTR{ArcCurve::kTrapezoid, Reference::kRelative};
constexpr ArcKind kTA{ArcCurve::kTrapezoid, Reference::kAbsolute};
constexpr ArcKind kSR{ArcCurve::kSCurve, Reference::kRelative};
constexpr ArcKind kSA{ArcCurve::kSCurve, Reference::kAbsolute};

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

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_start_r_arc2(int16_t card, const int16_t* axis_array, double cx,
                                                     double cy, double ex, double ey, int16_t dir,
                                                     double max_vel) {
    return start_arc(kR, card, axis_array, {cx, cy, ex, ey, dir}, {0, max_vel, 0, 0});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_a_arc2(int16_t card, const int16_t* axis_array, double cx,
                                                     double cy, double ex, double ey, int16_t dir,
                                                     double max_vel) {
    return start_arc(kA, card, axis_array, {cx, cy, ex, ey, dir}, {0, max_vel, 0, 0});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_arc2(int16_t card, const int16_t* axis_array, double cx,
                                                      double cy, double ex, double ey, int16_t dir,
                                                      double str_vel, double max_vel, double Tacc,
                                                      double Tdec) {
    return start_arc(kTR, card, axis_array, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_arc2(int16_t card, const int16_t* axis_array, double cx,
                                                      double cy, double ex, double ey, int16_t dir,
                                                      double str_vel, double max_vel, double Tacc,
                                                      double Tdec) {
    return start_arc(kTA, card, axis_array, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_arc2(int16_t card, const int16_t* axis_array, double cx,
                                                      double cy, double ex, double ey, int16_t dir,
                                                      double str_vel, double max_vel, double Tacc,
                                                      double Tdec, double SVacc, double SVdec) {
    return start_arc(kSR, card, axis_array, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_arc2(int16_t card, const int16_t* axis_array, double cx,
                                                      double cy, double ex, double ey, int16_t dir,
                                                      double str_vel, double max_vel, double Tacc,
                                                      double Tdec, double SVacc, double SVdec) {
    return start_arc(kSA, card, axis_array, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_r_arc_xy(int16_t card, double cx, double cy, double ex,
                                                       double ey, int16_t dir, double max_vel) {
    return start_arc(kR, card, kPairXY, {cx, cy, ex, ey, dir}, {0, max_vel, 0, 0});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_a_arc_xy(int16_t card, double cx, double cy, double ex,
                                                       double ey, int16_t dir, double max_vel) {
    return start_arc(kA, card, kPairXY, {cx, cy, ex, ey, dir}, {0, max_vel, 0, 0});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_arc_xy(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec) {
    return start_arc(kTR, card, kPairXY, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_arc_xy(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec) {
    return start_arc(kTA, card, kPairXY, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_arc_xy(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec,
                                                        double SVacc, double SVdec) {
    return start_arc(kSR, card, kPairXY, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_arc_xy(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec,
                                                        double SVacc, double SVdec) {
    return start_arc(kSA, card, kPairXY, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_r_arc_zu(int16_t card, double cx, double cy, double ex,
                                                       double ey, int16_t dir, double max_vel) {
    return start_arc(kR, card, kPairZU, {cx, cy, ex, ey, dir}, {0, max_vel, 0, 0});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_a_arc_zu(int16_t card, double cx, double cy, double ex,
                                                       double ey, int16_t dir, double max_vel) {
    return start_arc(kA, card, kPairZU, {cx, cy, ex, ey, dir}, {0, max_vel, 0, 0});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_arc_zu(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec) {
    return start_arc(kTR, card, kPairZU, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_arc_zu(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec) {
    return start_arc(kTA, card, kPairZU, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_arc_zu(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec,
                                                        double SVacc, double SVdec) {
    return start_arc(kSR, card, kPairZU, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_arc_zu(int16_t card, double cx, double cy, double ex,
                                                        double ey, int16_t dir, double str_vel,
                                                        double max_vel, double Tacc, double Tdec,
                                                        double SVacc, double SVdec) {
    return start_arc(kSA, card, kPairZU, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_arc_data_from_3points(double x1, double y1, double x2, double y2,
                                                                  double x3, double y3, double* cx_out,
                                                                  double* cy_out, int16_t* dir_out) {
    return arc_data_export(x1, y1, x2, y2, x3, y3, cx_out, cy_out, dir_out);
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_arc_xyz(int16_t card, double cx, double cy, double ex,
                                                         double ey, double ez, int16_t dir, double str_vel,
                                                         double max_vel, double Tacc, double Tdec) {
    return start_helix(kTR, card, {{cx, cy, ex, ey, dir}, ez}, {str_vel, max_vel, Tacc, Tdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_arc_xyz(int16_t card, double cx, double cy, double ex,
                                                         double ey, double ez, int16_t dir, double str_vel,
                                                         double max_vel, double Tacc, double Tdec) {
    return start_helix(kTA, card, {{cx, cy, ex, ey, dir}, ez}, {str_vel, max_vel, Tacc, Tdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_arc_xyz(int16_t card, double cx, double cy, double ex,
                                                         double ey, double ez, int16_t dir, double str_vel,
                                                         double max_vel, double Tacc, double Tdec,
                                                         double SVacc, double SVdec) {
    return start_helix(kSR, card, {{cx, cy, ex, ey, dir}, ez}, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_arc_xyz(int16_t card, double cx, double cy, double ex,
                                                         double ey, double ez, int16_t dir, double str_vel,
                                                         double max_vel, double Tacc, double Tdec,
                                                         double SVacc, double SVdec) {
    return start_helix(kSA, card, {{cx, cy, ex, ey, dir}, ez}, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_arc2_conti(int16_t card, const int16_t* axis_array,
                                                            double cx, double cy, double ex, double ey,
                                                            int16_t dir, double str_vel, double max_vel,
                                                            double Tacc, double Tdec) {
    return start_continuous_arc(Reference::kRelative, card, axis_array, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_arc_xy_conti(int16_t card, double cx, double cy, double ex,
                                                              double ey, int16_t dir, double str_vel,
                                                              double max_vel, double Tacc, double Tdec) {
    return start_continuous_arc(Reference::kRelative, card, kPairXY, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_arc_xy_conti(int16_t card, double cx, double cy, double ex,
                                                              double ey, int16_t dir, double str_vel,
                                                              double max_vel, double Tacc, double Tdec) {
    return start_continuous_arc(Reference::kAbsolute, card, kPairXY, {cx, cy, ex, ey, dir}, {str_vel, max_vel, Tacc, Tdec});
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
