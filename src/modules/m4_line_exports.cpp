// Four-axis module exports: lines over two, three or four axes from an array, and the fixed
// pairs xy (axes 0, 1) and zu (axes 2, 3), each with a T- or S-curve and relative or absolute
// values.
#include <array>

#include "modules/four_axis_codes.h"
#include "modules/four_axis_link.h"
#include "modules/module_checks.h"
#include "modules/four_axis_line.h"
#include "quvex/quvex.h"

// Defined inside the module's namespace (C linkage keeps the exported names), so its vocabulary
// needs no using-directive that would meet the one-axis module's in a unity build.
namespace quvex::modules::m4 {

namespace {

using motion::Curve;
using motion::Reference;

constexpr std::int16_t kPairXY[2] = {0, 1};
constexpr std::int16_t kPairZU[2] = {2, 3};

// The array members: the module checks, then the axis set, then the line.
template <std::size_t N>
quvex_status line(std::uint16_t ring, std::uint16_t slave, Curve curve, Reference reference, const std::int16_t* axes,
                  const std::array<double, N>& values, const SpeedArgs& path) {
    return with_module<OnRing>(ring, slave, [&](FourAxisLink& l) -> quvex_status {
        QUVEX_TRY(check_line_axes(axes, static_cast<int>(N)));
        return start_line(l, {.curve = curve, .reference = reference, .axes = {axes, N}, .values = values, .path = path});
    });
}

// The fixed pairs need no axis check.
quvex_status pair(std::uint16_t ring, std::uint16_t slave, Curve curve, Reference reference,
                  const std::int16_t (&axes)[2], double d0, double d1, const SpeedArgs& path) {
    return with_module<OnRing>(ring, slave, [&](FourAxisLink& l) -> quvex_status {
        const std::array<double, 2> values{d0, d1};
        return start_line(l, {.curve = curve, .reference = reference, .axes = axes, .values = values, .path = path});
    });
}

SpeedArgs t_path(double str_vel, double max_vel, double tacc, double tdec) {
    return {.str_vel = str_vel, .max_vel = max_vel, .tacc = tacc, .tdec = tdec};
}

SpeedArgs s_path(double str_vel, double max_vel, double tacc, double tdec, double sv_acc, double sv_dec) {
    return {.str_vel = str_vel, .max_vel = max_vel, .tacc = tacc, .tdec = tdec, .sv_acc = sv_acc, .sv_dec = sv_dec};
}

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_tr_line2(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double str_vel, double max_vel, double Tacc, double Tdec) {
    return line<2>(ring, slave, Curve::kTrapezoid, Reference::kRelative, axes, {d0, d1},
                   t_path(str_vel, max_vel, Tacc, Tdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_ta_line2(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double str_vel, double max_vel, double Tacc, double Tdec) {
    return line<2>(ring, slave, Curve::kTrapezoid, Reference::kAbsolute, axes, {d0, d1},
                   t_path(str_vel, max_vel, Tacc, Tdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_sr_line2(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double str_vel, double max_vel, double Tacc, double Tdec, double SVacc, double SVdec) {
    return line<2>(ring, slave, Curve::kSCurve, Reference::kRelative, axes, {d0, d1},
                   s_path(str_vel, max_vel, Tacc, Tdec, SVacc, SVdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_sa_line2(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double str_vel, double max_vel, double Tacc, double Tdec, double SVacc, double SVdec) {
    return line<2>(ring, slave, Curve::kSCurve, Reference::kAbsolute, axes, {d0, d1},
                   s_path(str_vel, max_vel, Tacc, Tdec, SVacc, SVdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_tr_line3(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double str_vel, double max_vel, double Tacc, double Tdec) {
    return line<3>(ring, slave, Curve::kTrapezoid, Reference::kRelative, axes, {d0, d1, d2},
                   t_path(str_vel, max_vel, Tacc, Tdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_ta_line3(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double str_vel, double max_vel, double Tacc, double Tdec) {
    return line<3>(ring, slave, Curve::kTrapezoid, Reference::kAbsolute, axes, {d0, d1, d2},
                   t_path(str_vel, max_vel, Tacc, Tdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_sr_line3(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double str_vel, double max_vel, double Tacc, double Tdec, double SVacc,
        double SVdec) {
    return line<3>(ring, slave, Curve::kSCurve, Reference::kRelative, axes, {d0, d1, d2},
                   s_path(str_vel, max_vel, Tacc, Tdec, SVacc, SVdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_sa_line3(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double str_vel, double max_vel, double Tacc, double Tdec, double SVacc,
        double SVdec) {
    return line<3>(ring, slave, Curve::kSCurve, Reference::kAbsolute, axes, {d0, d1, d2},
                   s_path(str_vel, max_vel, Tacc, Tdec, SVacc, SVdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_tr_line4(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double d3, double str_vel, double max_vel, double Tacc, double Tdec) {
    return line<4>(ring, slave, Curve::kTrapezoid, Reference::kRelative, axes, {d0, d1, d2, d3},
                   t_path(str_vel, max_vel, Tacc, Tdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_ta_line4(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double d3, double str_vel, double max_vel, double Tacc, double Tdec) {
    return line<4>(ring, slave, Curve::kTrapezoid, Reference::kAbsolute, axes, {d0, d1, d2, d3},
                   t_path(str_vel, max_vel, Tacc, Tdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_sr_line4(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double d3, double str_vel, double max_vel, double Tacc, double Tdec,
        double SVacc, double SVdec) {
    return line<4>(ring, slave, Curve::kSCurve, Reference::kRelative, axes, {d0, d1, d2, d3},
                   s_path(str_vel, max_vel, Tacc, Tdec, SVacc, SVdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_start_sa_line4(uint16_t ring, uint16_t slave, const int16_t* axes,
        double d0, double d1, double d2, double d3, double str_vel, double max_vel, double Tacc, double Tdec,
        double SVacc, double SVdec) {
    return line<4>(ring, slave, Curve::kSCurve, Reference::kAbsolute, axes, {d0, d1, d2, d3},
                   s_path(str_vel, max_vel, Tacc, Tdec, SVacc, SVdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_tr_move_xy(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec) {
    return pair(ring, slave, Curve::kTrapezoid, Reference::kRelative, kPairXY, d0, d1,
                t_path(str_vel, max_vel, Tacc, Tdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_ta_move_xy(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec) {
    return pair(ring, slave, Curve::kTrapezoid, Reference::kAbsolute, kPairXY, d0, d1,
                t_path(str_vel, max_vel, Tacc, Tdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_sr_move_xy(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec, double SVacc, double SVdec) {
    return pair(ring, slave, Curve::kSCurve, Reference::kRelative, kPairXY, d0, d1,
                s_path(str_vel, max_vel, Tacc, Tdec, SVacc, SVdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_sa_move_xy(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec, double SVacc, double SVdec) {
    return pair(ring, slave, Curve::kSCurve, Reference::kAbsolute, kPairXY, d0, d1,
                s_path(str_vel, max_vel, Tacc, Tdec, SVacc, SVdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_tr_move_zu(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec) {
    return pair(ring, slave, Curve::kTrapezoid, Reference::kRelative, kPairZU, d0, d1,
                t_path(str_vel, max_vel, Tacc, Tdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_ta_move_zu(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec) {
    return pair(ring, slave, Curve::kTrapezoid, Reference::kAbsolute, kPairZU, d0, d1,
                t_path(str_vel, max_vel, Tacc, Tdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_sr_move_zu(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec, double SVacc, double SVdec) {
    return pair(ring, slave, Curve::kSCurve, Reference::kRelative, kPairZU, d0, d1,
                s_path(str_vel, max_vel, Tacc, Tdec, SVacc, SVdec));
}

QUVEX_API quvex_status QUVEX_CALL kring_m4_sa_move_zu(uint16_t ring, uint16_t slave, double d0, double d1,
        double str_vel, double max_vel, double Tacc, double Tdec, double SVacc, double SVdec) {
    return pair(ring, slave, Curve::kSCurve, Reference::kAbsolute, kPairZU, d0, d1,
                s_path(str_vel, max_vel, Tacc, Tdec, SVacc, SVdec));
}

}  // extern "C"

}  // namespace quvex::modules::m4
