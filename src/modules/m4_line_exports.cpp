// Four-axis module exports: lines over two, three or four axes from an array, and the fixed
// pairs xy (axes 0, 1) and zu (axes 2, 3), each with a T- or S-curve and relative or absolute
// values.
#include <array>

#include "common/path_export_params.h"
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

}  // namespace

// A row defines the relative and absolute export of one family: its curve and how many values
// it takes (from an axis array), or its fixed pair.
#define KRING_M4_VALUE_PARAMS_2 double d0, double d1
#define KRING_M4_VALUE_PARAMS_3 double d0, double d1, double d2
#define KRING_M4_VALUE_PARAMS_4 double d0, double d1, double d2, double d3
#define KRING_M4_VALUES_2 {d0, d1}
#define KRING_M4_VALUES_3 {d0, d1, d2}
#define KRING_M4_VALUES_4 {d0, d1, d2, d3}
#define KRING_M4_CURVE_T Curve::kTrapezoid
#define KRING_M4_CURVE_S Curve::kSCurve
#define KRING_M4_LINE_EXPORT_(name, curve, reference, count)                                               \
    QUVEX_API quvex_status QUVEX_CALL name(uint16_t ring, uint16_t slave, const int16_t* axes,             \
                                           KRING_M4_VALUE_PARAMS_##count, QUVEX_PATH_PROFILE_PARAMS_##curve) { \
        return line<count>(ring, slave, KRING_M4_CURVE_##curve, Reference::reference, axes,                 \
                           KRING_M4_VALUES_##count, SpeedArgs QUVEX_PATH_PROFILE_##curve);                 \
    }
#define KRING_M4_LINE_EXPORTS(relative, absolute, curve, count) \
    KRING_M4_LINE_EXPORT_(relative, curve, kRelative, count)    \
    KRING_M4_LINE_EXPORT_(absolute, curve, kAbsolute, count)
#define KRING_M4_PAIR_EXPORT_(name, curve, reference, axes)                                                  \
    QUVEX_API quvex_status QUVEX_CALL name(uint16_t ring, uint16_t slave, KRING_M4_VALUE_PARAMS_2,          \
                                           QUVEX_PATH_PROFILE_PARAMS_##curve) {                             \
        return pair(ring, slave, KRING_M4_CURVE_##curve, Reference::reference, axes, d0, d1,                \
                    SpeedArgs QUVEX_PATH_PROFILE_##curve);                                                  \
    }
#define KRING_M4_PAIR_EXPORTS(relative, absolute, curve, axes) \
    KRING_M4_PAIR_EXPORT_(relative, curve, kRelative, axes)    \
    KRING_M4_PAIR_EXPORT_(absolute, curve, kAbsolute, axes)

extern "C" {

//                    relative                   absolute                   curve values
KRING_M4_LINE_EXPORTS(kring_m4_start_tr_line2,   kring_m4_start_ta_line2,   T,    2)
KRING_M4_LINE_EXPORTS(kring_m4_start_sr_line2,   kring_m4_start_sa_line2,   S,    2)
KRING_M4_LINE_EXPORTS(kring_m4_start_tr_line3,   kring_m4_start_ta_line3,   T,    3)
KRING_M4_LINE_EXPORTS(kring_m4_start_sr_line3,   kring_m4_start_sa_line3,   S,    3)
KRING_M4_LINE_EXPORTS(kring_m4_start_tr_line4,   kring_m4_start_ta_line4,   T,    4)
KRING_M4_LINE_EXPORTS(kring_m4_start_sr_line4,   kring_m4_start_sa_line4,   S,    4)

//                    relative                   absolute                   curve pair
KRING_M4_PAIR_EXPORTS(kring_m4_tr_move_xy,       kring_m4_ta_move_xy,       T,    kPairXY)
KRING_M4_PAIR_EXPORTS(kring_m4_sr_move_xy,       kring_m4_sa_move_xy,       S,    kPairXY)
KRING_M4_PAIR_EXPORTS(kring_m4_tr_move_zu,       kring_m4_ta_move_zu,       T,    kPairZU)
KRING_M4_PAIR_EXPORTS(kring_m4_sr_move_zu,       kring_m4_sa_move_zu,       S,    kPairZU)

}  // extern "C"

}  // namespace quvex::modules::m4
