// The C control interface of the virtual motion modules on the ring.
#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

#include "../chip/motion_query.h"
#include "../control_api.h"
#include "one_axis_station.h"
#include "quvex/sim.h"
#include "ring_master_model.h"

using namespace qsim;

namespace {

Chip* module_chip_locked(int device, int slave, int axis) {
    ModuleStation* m = station_locked<ModuleStation>(device, slave);
    if (m == nullptr || axis < 0 || axis >= m->axes()) return nullptr;
    return &m->chip(axis);
}

// Runs fn(chip) under the machine lock when the module there has the axis; -1 otherwise.
template <typename Fn>
int with_module_chip(int device, int slave, int axis, Fn fn) {
    std::lock_guard<std::mutex> lk(Machine::get().mu);
    Chip* c = module_chip_locked(device, slave, axis);
    if (c == nullptr) return kRefused;
    c->update(c->machine().now);
    return fn(*c);
}

}  // namespace

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_ring_add_m1_module(int device, int slave) {
    if (!slave_ok(slave)) return kRefused;
    std::lock_guard<std::mutex> lk(Machine::get().mu);
    RingMasterModel* ring = ring_locked(device);
    return ring != nullptr && ring->plug(slave, std::make_unique<OneAxisStation>(ring->machine(), device, slave)) ? 0 : kRefused;
}

QUVEX_API int QUVEX_CALL quvex_sim_m1_outputs(int device, int slave) {
    return with_station<ModuleStation>(device, slave, [](ModuleStation& m) {
        const auto* one = dynamic_cast<OneAxisStation*>(&m);
        return one == nullptr ? kRefused : static_cast<int>(one->outputs());
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_set_input(int device, int slave, int axis, int signal, int active) {
    return with_station<ModuleStation>(device, slave, [&](ModuleStation& m) { return m.set_input(axis, signal, active != 0) ? 0 : kRefused; });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_input(int device, int slave, int axis, int signal) {
    return with_station<ModuleStation>(device, slave, [&](ModuleStation& m) {
        const std::optional<bool> v = m.input(axis, signal);
        return v ? static_cast<int>(*v) : kRefused;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_register(int device, int slave, int axis, unsigned code, uint32_t* value) {
    return with_module_chip(device, slave, axis, [&](Chip& c) {
        std::uint32_t v = 0;
        if (!c.peek_register(code, &v)) return kRefused;
        if (value != nullptr) *value = v;
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_compare_info(int device, int slave, int axis, quvex_sim_compare_info* out) {
    return with_module_chip(device, slave, axis, [&](Chip& c) {
        if (out == nullptr) return kRefused;
        *out = compare_info(c.compare);
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_motion_info(int device, int slave, int axis, quvex_sim_motion_info* out) {
    return with_module_chip(device, slave, axis, [&](Chip& c) {
        const quvex_sim_motion_info info = motion_info(c);
        if (out != nullptr) *out = info;
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_sample_motion(int device, int slave, int axis, double period) {
    return with_module_chip(device, slave, axis, [&](Chip& c) {
        sample_motion(c, period, [device, slave, axis] { return module_chip_locked(device, slave, axis); });
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_module_motion_samples(int device, int slave, int axis, quvex_sim_motion_sample* out,
                                                         int max) {
    return with_module_chip(device, slave, axis, [&](Chip& c) { return copy_motion_samples(c, out, max); });
}

}  // extern "C"
