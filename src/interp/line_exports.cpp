// Exports of linear interpolation: each names its family (curve and reference), its axes and
// its values, and hands them to start_line. The fixed pairs are the two-axis lines on X-Y / Z-U.
#include "quvex/quvex.h"

#include "interp/line_move.h"

using namespace quvex::interp;

namespace {

constexpr LineKind kLineTR{Curve::kTrapezoid, Reference::kRelative};
constexpr LineKind kLineTA{Curve::kTrapezoid, Reference::kAbsolute};
constexpr LineKind kLineSR{Curve::kSCurve, Reference::kRelative};
constexpr LineKind kLineSA{Curve::kSCurve, Reference::kAbsolute};

quvex_status line2(LineKind kind, int16_t card, const int16_t* axes, double a, double b, const PathProfile& p) {
    const double values[] = {a, b};
    return start_line(kind, card, axes, 2, values, p);
}

quvex_status line3(LineKind kind, int16_t card, const int16_t* axes, double a, double b, double c,
                   const PathProfile& p) {
    const double values[] = {a, b, c};
    return start_line(kind, card, axes, 3, values, p);
}

quvex_status line4(LineKind kind, int16_t card, double a, double b, double c, double d, const PathProfile& p) {
    const double values[] = {a, b, c, d};
    return start_line(kind, card, kAllFourAxes, 4, values, p);
}

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_line2(int16_t card, const int16_t* axis_array, double dist_x,
                                                      double dist_y, double str_vel, double max_vel, double Tacc,
                                                      double Tdec) {
    return line2(kLineTR, card, axis_array, dist_x, dist_y, {str_vel, max_vel, Tacc, Tdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_line2(int16_t card, const int16_t* axis_array, double pos_x,
                                                      double pos_y, double str_vel, double max_vel, double Tacc,
                                                      double Tdec) {
    return line2(kLineTA, card, axis_array, pos_x, pos_y, {str_vel, max_vel, Tacc, Tdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_line2(int16_t card, const int16_t* axis_array, double dist_x,
                                                      double dist_y, double str_vel, double max_vel, double Tacc,
                                                      double Tdec, double SVacc, double SVdec) {
    return line2(kLineSR, card, axis_array, dist_x, dist_y, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_line2(int16_t card, const int16_t* axis_array, double pos_x,
                                                      double pos_y, double str_vel, double max_vel, double Tacc,
                                                      double Tdec, double SVacc, double SVdec) {
    return line2(kLineSA, card, axis_array, pos_x, pos_y, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_line3(int16_t card, const int16_t* axis_array, double dist_x,
                                                      double dist_y, double dist_z, double str_vel, double max_vel,
                                                      double Tacc, double Tdec) {
    return line3(kLineTR, card, axis_array, dist_x, dist_y, dist_z, {str_vel, max_vel, Tacc, Tdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_line3(int16_t card, const int16_t* axis_array, double pos_x,
                                                      double pos_y, double pos_z, double str_vel, double max_vel,
                                                      double Tacc, double Tdec) {
    return line3(kLineTA, card, axis_array, pos_x, pos_y, pos_z, {str_vel, max_vel, Tacc, Tdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_line3(int16_t card, const int16_t* axis_array, double dist_x,
                                                      double dist_y, double dist_z, double str_vel, double max_vel,
                                                      double Tacc, double Tdec, double SVacc, double SVdec) {
    return line3(kLineSR, card, axis_array, dist_x, dist_y, dist_z, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_line3(int16_t card, const int16_t* axis_array, double pos_x,
                                                      double pos_y, double pos_z, double str_vel, double max_vel,
                                                      double Tacc, double Tdec, double SVacc, double SVdec) {
    return line3(kLineSA, card, axis_array, pos_x, pos_y, pos_z, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_line4(int16_t card, double dist_x, double dist_y, double dist_z,
                                                      double dist_u, double str_vel, double max_vel, double Tacc,
                                                      double Tdec) {
    return line4(kLineTR, card, dist_x, dist_y, dist_z, dist_u, {str_vel, max_vel, Tacc, Tdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_line4(int16_t card, double pos_x, double pos_y, double pos_z,
                                                      double pos_u, double str_vel, double max_vel, double Tacc,
                                                      double Tdec) {
    return line4(kLineTA, card, pos_x, pos_y, pos_z, pos_u, {str_vel, max_vel, Tacc, Tdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_line4(int16_t card, double dist_x, double dist_y, double dist_z,
                                                      double dist_u, double str_vel, double max_vel, double Tacc,
                                                      double Tdec, double SVacc, double SVdec) {
    return line4(kLineSR, card, dist_x, dist_y, dist_z, dist_u, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_line4(int16_t card, double pos_x, double pos_y, double pos_z,
                                                      double pos_u, double str_vel, double max_vel, double Tacc,
                                                      double Tdec, double SVacc, double SVdec) {
    return line4(kLineSA, card, pos_x, pos_y, pos_z, pos_u, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_move_xy(int16_t card, double dist_x, double dist_y, double str_vel,
                                                        double max_vel, double Tacc, double Tdec) {
    return line2(kLineTR, card, kPairXY, dist_x, dist_y, {str_vel, max_vel, Tacc, Tdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_tr_move_zu(int16_t card, double dist_z, double dist_u, double str_vel,
                                                        double max_vel, double Tacc, double Tdec) {
    return line2(kLineTR, card, kPairZU, dist_z, dist_u, {str_vel, max_vel, Tacc, Tdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_move_xy(int16_t card, double pos_x, double pos_y, double str_vel,
                                                        double max_vel, double Tacc, double Tdec) {
    return line2(kLineTA, card, kPairXY, pos_x, pos_y, {str_vel, max_vel, Tacc, Tdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_ta_move_zu(int16_t card, double pos_z, double pos_u, double str_vel,
                                                        double max_vel, double Tacc, double Tdec) {
    return line2(kLineTA, card, kPairZU, pos_z, pos_u, {str_vel, max_vel, Tacc, Tdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_move_xy(int16_t card, double dist_x, double dist_y, double str_vel,
                                                        double max_vel, double Tacc, double Tdec, double SVacc,
                                                        double SVdec) {
    return line2(kLineSR, card, kPairXY, dist_x, dist_y, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_sr_move_zu(int16_t card, double dist_z, double dist_u, double str_vel,
                                                        double max_vel, double Tacc, double Tdec, double SVacc,
                                                        double SVdec) {
    return line2(kLineSR, card, kPairZU, dist_z, dist_u, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_move_xy(int16_t card, double pos_x, double pos_y, double str_vel,
                                                        double max_vel, double Tacc, double Tdec, double SVacc,
                                                        double SVdec) {
    return line2(kLineSA, card, kPairXY, pos_x, pos_y, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}
QUVEX_API quvex_status QUVEX_CALL quvex_start_sa_move_zu(int16_t card, double pos_z, double pos_u, double str_vel,
                                                        double max_vel, double Tacc, double Tdec, double SVacc,
                                                        double SVdec) {
    return line2(kLineSA, card, kPairZU, pos_z, pos_u, {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec});
}

}  // extern "C"
