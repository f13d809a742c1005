// The C control interface of the axes' origin switches and encoder indexes.
#include "control_api.h"
#include "quvex/sim.h"

using namespace qsim;

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_set_origin(int device, int axis, int32_t position, int32_t width) {
    return with_chip(device, axis, [&](Chip& chip) {
        if (width < 0) return kRefused;
        // Motion up to now ran past the old sensor; a running origin operation keeps the home
        // point it aims at.
        chip.update(chip.machine().now);
        chip.home.origin = {width > 0, position, width > 0 ? width : 1};
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_set_index(int device, int axis, int32_t period, int32_t offset) {
    return with_chip(device, axis, [&](Chip& chip) {
        if (period < 0) return kRefused;
        chip.update(chip.machine().now);
        chip.home.index = {period > 0, period > 0 ? period : 1, offset};
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_axis_place(int device, int axis, int64_t* place) {
    return with_chip(device, axis, [&](Chip& chip) {
        if (place == nullptr) return kRefused;
        chip.update(chip.machine().now);
        *place = chip.home.place;
        return 0;
    });
}

}  // extern "C"
