// What a chip axis keeps for the manual sources and the pulser: the source it is armed for, the
// pulser divider's remainder, and the hand-wheel turn that feeds it.
//
// Armed sources (kinds 0x01 hand wheel / pulser speed move, 0x02 jog, 0x56 step): a start
// command arms the axis and it stays stopped; each jog press, step press or run of wheel turns
// then runs one motion from the live bank (the hand wheel's ramped at the live rates), after
// which the axis is armed and stopped again. A stop command
// (0x49, 0x4A) disarms it.
//
// Paced moves (kinds 0x51, 0x54, 0x55, 0x6A, 0x6C, 0x6D): the start command starts the move as
// any other, but it stands at speed 0; while a wheel turn feeds it, it runs at the turn's pace.
#pragma once

#include <cstdint>

namespace qsim {

struct ManualState {
    bool armed = false;
    std::uint32_t kind = 0;       // the armed source's operation kind
    bool paced = false;           // a pulser-paced move was started
    std::int64_t remainder = 0;   // wheel pulses times ratio_m not yet output, in units of 1/ratio_p
    std::uint64_t turn = 0;       // the wheel turn feeding the running motion, 0 for none
    std::int64_t goal = 0;        // pulses done (of this motion) when the turn ends
    bool wheel_run = false;       // the running motion runs the armed hand wheel's turns
};

}  // namespace qsim
