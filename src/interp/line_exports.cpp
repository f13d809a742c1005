// Exports of linear interpolation. A row defines the relative (distances) and absolute
// (positions) export of one family: its curve, its axes and how many values it takes; each hands
// them to start_line. The fixed pairs are the two-axis lines on X-Y / Z-U.
#include "quvex/quvex.h"

#include "interp/line_move.h"
#include "interp/path_export_rows.h"

using namespace quvex::interp;

#define QUVEX_LINE_VALUE_PARAMS_2 double v1, double v2
#define QUVEX_LINE_VALUE_PARAMS_3 double v1, double v2, double v3
#define QUVEX_LINE_VALUE_PARAMS_4 double v1, double v2, double v3, double v4
#define QUVEX_LINE_VALUES_2 v1, v2
#define QUVEX_LINE_VALUES_3 v1, v2, v3
#define QUVEX_LINE_VALUES_4 v1, v2, v3, v4
#define QUVEX_LINE_EXPORT_(name, curve, reference, axes, count)                                              \
    QUVEX_API quvex_status QUVEX_CALL name(int16_t card, QUVEX_PATH_AXES_PARAM_##axes                        \
                                               QUVEX_LINE_VALUE_PARAMS_##count,                              \
                                           QUVEX_PATH_PROFILE_PARAMS_##curve) {                              \
        const double values[] = {QUVEX_LINE_VALUES_##count};                                                 \
        return start_line({kLineCurve##curve, Reference::reference}, card, QUVEX_PATH_AXES_##axes, count,     \
                          values, QUVEX_PATH_PROFILE_##curve);                                               \
    }
#define QUVEX_LINE_EXPORTS(relative, absolute, curve, axes, count)    \
    QUVEX_LINE_EXPORT_(relative, curve, kRelative, axes, count)       \
    QUVEX_LINE_EXPORT_(absolute, curve, kAbsolute, axes, count)

extern "C" {

//                 relative                absolute                curve axes   values
QUVEX_LINE_EXPORTS(quvex_start_tr_line2,   quvex_start_ta_line2,   T,    GIVEN, 2)
QUVEX_LINE_EXPORTS(quvex_start_sr_line2,   quvex_start_sa_line2,   S,    GIVEN, 2)
QUVEX_LINE_EXPORTS(quvex_start_tr_line3,   quvex_start_ta_line3,   T,    GIVEN, 3)
QUVEX_LINE_EXPORTS(quvex_start_sr_line3,   quvex_start_sa_line3,   S,    GIVEN, 3)
QUVEX_LINE_EXPORTS(quvex_start_tr_line4,   quvex_start_ta_line4,   T,    ALL,   4)
QUVEX_LINE_EXPORTS(quvex_start_sr_line4,   quvex_start_sa_line4,   S,    ALL,   4)
QUVEX_LINE_EXPORTS(quvex_start_tr_move_xy, quvex_start_ta_move_xy, T,    XY,    2)
QUVEX_LINE_EXPORTS(quvex_start_tr_move_zu, quvex_start_ta_move_zu, T,    ZU,    2)
QUVEX_LINE_EXPORTS(quvex_start_sr_move_xy, quvex_start_sa_move_xy, S,    XY,    2)
QUVEX_LINE_EXPORTS(quvex_start_sr_move_zu, quvex_start_sa_move_zu, S,    ZU,    2)

}  // extern "C"
