// The C control interface of the axis signal inputs, counters and TTL inputs.
#include "card.h"
#include "chip/signal_stops.h"
#include "machine.h"
#include "quvex/sim.h"

using namespace qsim;


extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_set_axis_input(int device, int axis, int signal, int active) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = m.chip_locked(device, axis);
    if (chip == nullptr || !ChipInputs::known(signal)) return -1;
    // Motion up to now ran with the old input level.
    chip->update(m.now);
    if (signal == QUVEX_SIM_INPUT_LATCH) {
        set_latch_input(*chip, active != 0);
    } else {
        chip->inputs.set(signal, active != 0);
    }
    // An end limit, an alarm or a slow-down acts on motion at once, and raises its interrupt then.
    chip->update(m.now);
    stop_at_signals(chip->motion.phase == MotionState::Phase::following && chip->motion.leader >= 0
                        ? chip->group().chip(chip->motion.leader)
                        : *chip);
    chip->group().schedule_next_event(axis);
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_axis_input(int device, int axis, int signal) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = m.chip_locked(device, axis);
    const std::optional<bool> level = chip == nullptr ? std::nullopt : chip->inputs.get(signal);
    return level ? static_cast<int>(*level) : -1;
}

QUVEX_API int QUVEX_CALL quvex_sim_set_counter(int device, int axis, unsigned code, int32_t value) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Chip* chip = m.chip_locked(device, axis);
    if (chip == nullptr) return -1;
    chip->update(m.now);
    // A read code names the same counter as its write code.
    const unsigned write_code = code >= chipcode::kCommandCounter + chipcode::kReadOffset ? code - chipcode::kReadOffset : code;
    switch (write_code) {
        case chipcode::kCommandCounter: chip->command_counter = value; return 0;
        case chipcode::kPositionCounter: chip->position_counter = value; return 0;
        case chipcode::kReadErrorCounter - chipcode::kReadOffset: chip->error_counter = value; return 0;
        case chipcode::kGeneralCounter: chip->general_counter = value; return 0;
        default: return -1;
    }
}

QUVEX_API int QUVEX_CALL quvex_sim_set_ttl_inputs(int device, uint16_t inputs) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Card* card = m.card_locked(device);
    if (card == nullptr) return -1;
    card->ttl_inputs = inputs;
    return 0;
}

}  // extern "C"
