// The one-axis motion module: a ring station with one chip counting 200 / (R + 1) pulses per
// second, a 5 000 000 counts-per-second rate clock and 17-bit speed registers.
//
// Messages: three words {code, low, high} write a register or give a command; one word {code}
// asks for a register, answered {code, low, high}. The module's own registers and bytes:
//
//   move amount 0xD0     the amount as written; once a positioning move starts from it, the
//                        pulses the move has left (0 after it ran out, what a stop left
//                        undone), until the next write of 0x90
//   status 0xF1 (bits)   0..3 operation state (0 stopped), 4 latch input, 5 origin, 6 index,
//                        7 in-position, 8 slow-down, 9 general input pin 3, 13..15 general
//                        input pins 0..2, 16 servo on, 17 alarm reset, 18 deviation clear
//                        (ERC), 19 general output
//   error status 0xF2    why the last move ended early: bit 0 + end limit, 1 - end limit,
//                        2 decelerating stop, 3 immediate stop; cleared by reading it
//   event status 0xF3    bit 0 move ended, 1 acceleration ended, 2 deceleration begun, each
//                        raised only while its interrupt factor bit (0xAC) is set; cleared by
//                        reading it
//   cyclic port 0        bit 0 axis stopped, 1 a move ended since the event status was last
//                        read, 2 error status pending, 3 event status pending
//   cyclic port 2        bit 0 + end limit, 1 - end limit, 4 digital input 0, 5 digital input
//                        1, 6 alarm
//   cyclic port 3 (host) bit 0 servo on, 1 alarm reset, 2 digital output 0, 3 digital output 1
#pragma once

#include "module_station.h"

namespace qsim {

// Identification bit 20 is what tells the host which kind of module answered: clear for the
// one-axis module (the host reports 0xA3).
constexpr std::uint8_t kOneAxisModuleType = 0xA3;
constexpr std::uint32_t kOneAxisModuleIdent = 0x000A3001;

// Module inputs beyond the chip's signals, numbered after them.
constexpr int kModuleDigitalInput0 = 16;
constexpr int kModuleDigitalInputs = 2;

class OneAxisStation final : public ModuleStation {
public:
    OneAxisStation(Machine& machine, int device, int slave);

    bool set_input(int axis, int signal, bool active) override;
    std::optional<bool> input(int axis, int signal) override;
    // The output byte as the module last took it from the host (cyclic port 3).
    std::uint8_t outputs() const { return outputs_; }

private:
    StationWords decode(const StationWords& words) override;
    std::uint16_t compose_cyclic(int word, std::uint16_t stored) override;
    void take_outputs(int word, std::uint16_t value) override;
    void motion_event(int axis, ChipEvent event) override;

    void execute(unsigned code, std::uint32_t value);
    std::uint32_t read(unsigned code);
    std::uint32_t status_register();
    std::uint8_t flags_byte();
    std::uint8_t inputs_byte();
    void reset();

    std::uint8_t outputs_ = 0;
    std::uint8_t digital_inputs_ = 0;  // bit k = digital input k
    bool move_ended_ = false;
    // The move-amount register (0xD0) counts down once a positioning move starts from it, until
    // the host writes a new amount; `amount_left_` is what the last move left undone.
    bool amount_counts_down_ = false;
    std::uint32_t amount_left_ = 0;
};

}  // namespace qsim
