// Signal inputs of one chip axis, driven from outside the card (machine switches, drive
// outputs, an encoder). The status words report them; motion reacts to some of them.
#pragma once

#include <cstdint>

namespace qsim {

struct ChipInputs {
    bool el_plus = false;    // + end limit
    bool el_minus = false;   // - end limit
    bool origin = false;     // origin (home) switch
    bool index = false;      // encoder index (EZ)
    bool alarm = false;      // drive alarm
    bool in_position = false;
    bool slow_down = false;  // slow-down (SD)
    bool latch = false;      // latch input
    std::uint32_t general = 0;  // general input pins, bit k = pin k
};

}  // namespace qsim
