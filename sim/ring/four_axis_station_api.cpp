// The C control interface of the virtual four-axis module.
#include <cmath>
#include <memory>
#include <mutex>

#include "../chip/manual_motion.h"
#include "../control_api.h"
#include "four_axis_station.h"
#include "quvex/sim.h"
#include "ring_master_model.h"

using namespace qsim;

namespace {

// A manual switch of a module axis, through the module's manual-operation selection.
template <typename Press>
int press_module_switch(int device, int slave, int axis, int direction, Press press) {
    return with_station<FourAxisStation>(device, slave, [&](FourAxisStation& m) {
        if (axis < 0 || axis >= m.axes() || !direction_ok(direction)) return kRefused;
        if (!m.manual_selects(axis)) return 0;
        Chip& chip = m.chip(axis);
        const Ns now = chip.machine().now;
        chip.update(now);
        const bool reacted = press(chip, ns_to_seconds(now));
        m.reschedule(axis);
        m.refresh();
        return reacted ? 1 : 0;
    });
}

}  // namespace

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_ring_add_m4_module(int device, int slave, uint16_t id_number) {
    if (!slave_ok(slave)) return kRefused;
    std::lock_guard<std::mutex> lk(Machine::get().mu);
    RingMasterModel* ring = ring_locked(device);
    return ring != nullptr && ring->plug(slave, std::make_unique<FourAxisStation>(ring->machine(), device, slave, id_number)) ? 0 : kRefused;
}

QUVEX_API int QUVEX_CALL quvex_sim_m4_set_reply_latency(int device, int slave, int polls, double seconds) {
    constexpr double kLongestLatency = 1e6;  // seconds; a latency far past any run is a mistake
    if (!(seconds >= 0 && seconds <= kLongestLatency)) return kRefused;
    const Ns delay = static_cast<Ns>(std::llround(seconds * static_cast<double>(kNsPerSecond)));
    return with_station<FourAxisStation>(device, slave, [&](FourAxisStation& m) { return m.set_reply_latency(polls, delay) ? 0 : kRefused; });
}

QUVEX_API int QUVEX_CALL quvex_sim_m4_register(int device, int slave, unsigned address, uint16_t* value) {
    return with_station<FourAxisStation>(device, slave, [&](FourAxisStation& m) {
        const std::optional<std::uint16_t> v = address <= 0xFFu ? m.peek(address) : std::nullopt;
        if (!v) return kRefused;
        if (value != nullptr) *value = *v;
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_m4_jog_switch(int device, int slave, int axis, int direction, int pressed) {
    return press_module_switch(device, slave, axis, direction,
                        [&](Chip& c, double t) { return jog_switch(c, direction, pressed != 0, t); });
}

QUVEX_API int QUVEX_CALL quvex_sim_m4_step_press(int device, int slave, int axis, int direction) {
    return press_module_switch(device, slave, axis, direction, [&](Chip& c, double t) { return step_press(c, direction, t); });
}

}  // extern "C"
