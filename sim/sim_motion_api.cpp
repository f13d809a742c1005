// The C interface of chip motion: state read-out and trajectory sampling by machine timers.
#include <mutex>

#include "chip/motion_query.h"
#include "control_api.h"
#include "quvex/sim_motion.h"

using namespace qsim;

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_motion_info_get(int device, int axis, quvex_sim_motion_info* out) {
    return with_chip(device, axis, [&](Chip& chip) {
        const quvex_sim_motion_info info = motion_info(chip);
        if (out != nullptr) *out = info;
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_sample_motion(int device, int axis, double period) {
    return with_chip(device, axis, [&](Chip& chip) {
        Machine& m = chip.machine();
        sample_motion(chip, period, [&m, device, axis] { return m.chip_locked(device, axis); });
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_motion_samples(int device, int axis, quvex_sim_motion_sample* out, int max) {
    return with_chip(device, axis, [&](Chip& chip) { return copy_motion_samples(chip, out, max); });
}

}  // extern "C"
