// The C control interface of the axes' origin switches and encoder indexes.
#include "card.h"
#include "machine.h"
#include "quvex/sim.h"

using namespace qsim;

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_set_origin(int device, int axis, int32_t position, int32_t width) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = m.chip_locked(device, axis);
    if (chip == nullptr || width < 0) return -1;
    // Motion up to now ran past the old sensor; a running origin operation keeps the home point
    // it aims at.
    chip->update(m.now);
    chip->home.origin = {width > 0, position, width > 0 ? width : 1};
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_set_index(int device, int axis, int32_t period, int32_t offset) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = m.chip_locked(device, axis);
    if (chip == nullptr || period < 0) return -1;
    chip->update(m.now);
    chip->home.index = {period > 0, period > 0 ? period : 1, offset};
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_axis_place(int device, int axis, int64_t* place) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = m.chip_locked(device, axis);
    if (chip == nullptr || place == nullptr) return -1;
    chip->update(m.now);
    *place = chip->home.place;
    return 0;
}

}  // extern "C"
