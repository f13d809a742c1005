/* Plots of sampled motion as SVG drawings: the path of two axes and the position and speed of
 * each axis over virtual time, from samples recorded with quvex_sim_sample_motion (or any other
 * source of quvex_sim_motion_sample records). */
#ifndef QUVEX_SIM_PLOT_H
#define QUVEX_SIM_PLOT_H

#include "sim_motion.h"

QUVEX_EXTERN_C_BEGIN

typedef struct quvex_sim_plot_series {
    const char* label;                       /* shown in the legend; may be null */
    const quvex_sim_motion_sample* samples;  /* oldest first */
    int count;
} quvex_sim_plot_series;

#define QUVEX_SIM_MARK_TIME 0   /* an instant: a dashed line across the time panels at `at` seconds */
#define QUVEX_SIM_MARK_LEVEL 1  /* a position: a dashed line across the position panel at `at` pulses */

typedef struct quvex_sim_plot_mark {
    int kind;           /* QUVEX_SIM_MARK_TIME or QUVEX_SIM_MARK_LEVEL */
    double at;
    const char* label;  /* may be null */
} quvex_sim_plot_mark;

#define QUVEX_SIM_PLOT_PATH 0x1u  /* add the path of the first two series (equal scales) */

/* Writes the drawing to `path`: with QUVEX_SIM_PLOT_PATH and two series or more, their path at
 * the left; then the position and the speed of every series over time, one colour per series,
 * with the marks (null, or `mark_count` of them). Up to 8 series. 0, or -1 for a null path, no
 * series, a series without samples, too many series, a bad mark kind, or a file that cannot be
 * written. */
QUVEX_API int QUVEX_CALL quvex_sim_plot_svg(const char* path, const char* title, const quvex_sim_plot_series* series,
                                            int count, const quvex_sim_plot_mark* marks, int mark_count,
                                            unsigned options);
/* The same for axes of cards sampled on the virtual installation: axes[k] = device * 4 + axis;
 * labels are "d<device> X/Y/Z/U". */
QUVEX_API int QUVEX_CALL quvex_sim_plot_axes_svg(const char* path, const char* title, const int* axes, int count,
                                                 unsigned options);

QUVEX_EXTERN_C_END

#endif
