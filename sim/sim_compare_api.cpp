// The C control interface of the comparators, trigger output and latch input.
#include <algorithm>

#include "control_api.h"
#include "quvex/sim.h"

using namespace qsim;

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_set_latch_input(int device, int axis, int active) {
    return with_chip(device, axis, [&](Chip& chip) {
        chip.update(chip.machine().now);
        set_latch_input(chip, active != 0);
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_compare_info_get(int device, int axis, quvex_sim_compare_info* out) {
    return with_chip(device, axis, [&](Chip& chip) {
        chip.update(chip.machine().now);
        if (out == nullptr) return kRefused;
        *out = compare_info(chip.compare);
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_trigger_times(int device, int axis, double* out, int max) {
    return with_chip(device, axis, [&](Chip& chip) {
        chip.update(chip.machine().now);
        const std::vector<double>& times = chip.compare.trigger_times;
        if (out != nullptr && max > 0) {
            std::copy_n(times.begin(), std::min<std::size_t>(times.size(), static_cast<std::size_t>(max)), out);
        }
        return static_cast<int>(times.size());
    });
}

}  // extern "C"
