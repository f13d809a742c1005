/* Virtual installation: the origin switch and the encoder index of each axis, for the chip's
 * origin operations (home return, escape, home search). Included by sim.h. Devices and axes as
 * in sim.h. Plain C.
 *
 * Positions are places on the axis's own scale: the pulses the axis has moved from where it stood
 * at power-up, + in the counters' + direction. They are fixed to the machine; until something
 * sets a counter (a home end, a counter write) the command counter reads the same scale. The
 * sensors show in the status words as the origin and index inputs (see sim_axis.h) whenever the
 * axis stands on them, besides the levels driven with quvex_sim_set_axis_input.
 *
 * The home configuration the chip reads (the library's home configuration call writes it):
 *   env3 bits 0-3   home mode: 0 origin, 1 origin then index count, 2 index only (others: 0)
 *   env3 bits 4-7   index count (0 counts as 1)
 *   env1 bit 7      correction phase: slow down past the home point, come back to it at the
 *                   correction speed (register 11); without it the axis stops at once there
 *   env1 bit 11     deviation-clear (ERC) pulse at the home end, width env1 bits 12-14:
 *                   10 us * 4^code for codes 0-6, held until command 0x25 for code 7
 * At the home end the command and position counters become 0 (an escape leaves them). */
#ifndef QUVEX_SIM_HOME_H
#define QUVEX_SIM_HOME_H

#include <stdint.h>

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Puts an origin switch on the axis, active on the places position .. position + width - 1;
 * width 0 removes it. 0, or -1 for a bad device or axis or a negative width. */
QUVEX_API int QUVEX_CALL quvex_sim_set_origin(int device, int axis, int32_t position, int32_t width);
/* Puts an encoder index on the axis: one pulse on every place p with p - offset a multiple of
 * period; period 0 removes it. 0, or -1 for a bad device or axis or a negative period. */
QUVEX_API int QUVEX_CALL quvex_sim_set_index(int device, int axis, int32_t period, int32_t offset);
/* Where the axis stands on its own scale (brought up to the current virtual time). 0, or -1 for
 * a bad device or axis or a null `place`. */
QUVEX_API int QUVEX_CALL quvex_sim_axis_place(int device, int axis, int64_t* place);

QUVEX_EXTERN_C_END

#endif
