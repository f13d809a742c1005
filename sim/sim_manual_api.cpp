// The C interface of the hand wheel, the jog and step switches and the hand-wheel status port.
#include <cmath>

#include "chip/manual_motion.h"
#include "chip/motion_engine.h"
#include "control_api.h"
#include "manual_board.h"
#include "quvex/sim_manual.h"

using namespace qsim;

namespace {

// A switch of a device's axis at the current time, or -1 for bad arguments.
// A press (not a release) reaches the chip only while the board enables the switches.
template <typename Press>
int press_card_switch(int device, int axis, int direction, bool pressing, Press press) {
    return with_card(device, [&](Card& card) {
        if (axis < 0 || axis >= card.chips().size() || !direction_ok(direction)) return kRefused;
        if (pressing && !switches_enabled(card)) return 0;
        Chip& chip = card.chip(axis);
        const Ns now = card.machine.now;
        chip.update(now);
        const bool reacted = press(chip, ns_to_seconds(now));
        card.chips().schedule_next_event(axis);
        return reacted ? 1 : 0;
    });
}

}  // namespace

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_turn_wheel(int device, int detents, double rate) {
    return with_card(device, [&](Card& card) {
        if (!(rate > 0) || !std::isfinite(rate)) return kRefused;
        if (detents != 0) queue_wheel_turn(card, detents, rate);
        return 0;
    });
}

QUVEX_API double QUVEX_CALL quvex_sim_wheel_idle_at(int device) {
    return with_card(device, [](Card& card) { return ns_to_seconds(std::max(card.machine.now, card.manual.wheel_free_at)); },
                     -1.0);
}

QUVEX_API int QUVEX_CALL quvex_sim_jog_switch(int device, int axis, int direction, int pressed) {
    return press_card_switch(device, axis, direction, pressed != 0,
                        [&](Chip& c, double t) { return jog_switch(c, direction, pressed != 0, t); });
}

QUVEX_API int QUVEX_CALL quvex_sim_step_press(int device, int axis, int direction) {
    return press_card_switch(device, axis, direction, true, [&](Chip& c, double t) { return step_press(c, direction, t); });
}

QUVEX_API int QUVEX_CALL quvex_sim_set_wheel_status(int device, uint16_t status) {
    return with_card(device, [&](Card& card) {
        card.manual.wheel_status = status;
        return 0;
    });
}

}  // extern "C"
