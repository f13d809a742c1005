// The C interface of chip motion: state read-out and trajectory sampling by machine timers.
#include <mutex>

#include "card.h"
#include "chip/motion_query.h"
#include "machine.h"
#include "quvex/sim_motion.h"

using namespace qsim;

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_motion_info_get(int device, int axis, quvex_sim_motion_info* out) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = m.chip_locked(device, axis);
    if (chip == nullptr) return -1;
    const quvex_sim_motion_info info = motion_info(*chip);
    if (out != nullptr) *out = info;
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_sample_motion(int device, int axis, double period) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = m.chip_locked(device, axis);
    if (chip == nullptr) return -1;
    sample_motion(*chip, period, [device, axis] { return Machine::get().chip_locked(device, axis); });
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_motion_samples(int device, int axis, quvex_sim_motion_sample* out, int max) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = m.chip_locked(device, axis);
    return chip == nullptr ? -1 : copy_motion_samples(*chip, out, max);
}

}  // extern "C"
