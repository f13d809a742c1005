// Signal inputs of one chip axis, driven from outside the card (machine switches, drive
// outputs, an encoder). Each holds the signal's active state, after the chip's input logic: the
// status words report them as they are (chip_status.cpp), motion reacts to some of them.
#pragma once

#include <cstdint>
#include <optional>

namespace qsim {

struct ChipInputs {
    bool el_plus = false;    // + end limit
    bool el_minus = false;   // - end limit
    bool origin = false;     // origin (home) switch
    bool index = false;      // encoder index
    bool alarm = false;      // drive alarm
    bool in_position = false;
    bool slow_down = false;
    bool latch = false;      // latch input
    std::uint32_t general = 0;  // general input pins 0..4, bit k = pin k
    bool general_pin(unsigned pin) const { return (general & (1u << pin)) != 0; }

    // An input by its QUVEX_SIM_INPUT_* number (the single signals, then the general pins). Setting
    // stores the level only (the caller lets motion react); false and nothing for an unknown number.
    static bool known(int signal);
    bool set(int signal, bool active);
    std::optional<bool> get(int signal) const;
};

}  // namespace qsim
