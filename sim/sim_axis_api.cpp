// The C control interface of the axis signal inputs, counters and TTL inputs.
#include "chip/signal_stops.h"
#include "control_api.h"
#include "quvex/sim.h"

using namespace qsim;

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_set_axis_input(int device, int axis, int signal, int active) {
    return with_chip(device, axis, [&](Chip& chip) {
        if (!ChipInputs::known(signal)) return kRefused;
        const Ns now = chip.machine().now;
        // Motion up to now ran with the old input level.
        chip.update(now);
        if (signal == QUVEX_SIM_INPUT_LATCH) {
            set_latch_input(chip, active != 0);
        } else {
            chip.inputs.set(signal, active != 0);
        }
        // An end limit, an alarm or a slow-down acts on motion at once, and raises its interrupt then.
        chip.update(now);
        stop_at_signals(chip.motion.phase == MotionState::Phase::following && chip.motion.leader >= 0
                            ? chip.group().chip(chip.motion.leader)
                            : chip);
        chip.group().schedule_next_event(axis);
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_axis_input(int device, int axis, int signal) {
    return with_chip(device, axis, [&](Chip& chip) {
        const std::optional<bool> level = chip.inputs.get(signal);
        return level ? static_cast<int>(*level) : kRefused;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_set_counter(int device, int axis, unsigned code, int32_t value) {
    return with_chip(device, axis, [&](Chip& chip) {
        chip.update(chip.machine().now);
        // A read code names the same counter as its write code.
        const unsigned write_code = code >= chipcode::read_code(chipcode::kCommandCounter) ? code - chipcode::kReadOffset : code;
        switch (write_code) {
            case chipcode::kCommandCounter: chip.command_counter = value; return 0;
            case chipcode::kPositionCounter: chip.position_counter = value; return 0;
            case chipcode::kReadErrorCounter - chipcode::kReadOffset: chip.error_counter = value; return 0;
            case chipcode::kGeneralCounter: chip.general_counter = value; return 0;
            default: return kRefused;
        }
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_set_ttl_inputs(int device, uint16_t inputs) {
    return with_card(device, [&](Card& card) {
        card.ttl_inputs = inputs;
        return 0;
    });
}

}  // extern "C"
