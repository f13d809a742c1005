// One motion chip axis, seen from its ports: a command port, a status and a sub-status port and
// two data words. It sits in a chip group (a card's, or a module's) and counts in the group's
// units. Register writes and reads are decoded here; status composition lives in
// chip_status.cpp, motion in chip_motion.cpp and the motion engine files.
#pragma once

#include <array>
#include <cstdint>

#include "../machine.h"
#include "chip_codes.h"
#include "chip_compare.h"
#include "chip_group.h"
#include "chip_inputs.h"
#include "home_state.h"
#include "motion_state.h"
#include "servo_drive.h"

namespace qsim {

class Chip {
public:
    Chip(ChipGroup& group, int axis);

    // Bus side (the machine lock is held): offsets 0, 2, 4, 6 of the axis block.
    std::uint16_t read_port(unsigned offset);
    void write_port(unsigned offset, std::uint16_t value);

    // Reads a register by its read code (or a writable one by its write code) without side
    // effects. False for a code the chip does not decode.
    bool peek_register(unsigned code, std::uint32_t* value);

    int axis() const { return axis_; }
    ChipGroup& group() const { return card_; }
    Machine& machine() const { return card_.machine; }
    const ChipUnits& units() const { return card_.units; }

    // Register file.
    std::array<std::uint32_t, 13> buffered{};  // operation registers 0..11, arc step count
    std::uint16_t buffered_written = 0;        // bit n: buffered register n written since the last start
    std::array<std::uint32_t, 12> live{};
    std::array<std::uint32_t, 7> env{};
    std::uint32_t int_factor = 0;
    std::int32_t command_counter = 0;
    std::int32_t position_counter = 0;
    std::int32_t error_counter = 0;
    std::int32_t general_counter = 0;
    std::array<std::uint32_t, 5> comparator{};
    std::array<std::uint32_t, 4> latch{};
    std::uint32_t outputs = 0;  // bit k = output k; bit 8 = ERC
    bool output_on(unsigned output) const { return (outputs & (1u << output)) != 0; }
    void set_output(unsigned output, bool on) { outputs = on ? outputs | (1u << output) : outputs & ~(1u << output); }
    std::uint16_t data_low = 0;
    std::uint16_t data_high = 0;
    ChipInputs inputs;
    HomeState home;  // the axis's place, its origin and index sensors, the origin operation's stage
    ServoDrive drive;  // the servo drive behind the axis (servo_drive.h); off: an ideal axis

    // ---- status (chip_status.cpp) ----
    std::uint16_t main_status();
    std::uint16_t sub_status();
    std::uint32_t status_register();

    // ---- motion (chip_motion.cpp) ----
    // Brings the motion state up to virtual time `now`.
    void update(Ns now);
    // Start, stop and synchronisation commands (the whole command word, axis bits included).
    void motion_command(std::uint16_t word);
    // A live operation register was written: the running move follows it.
    void live_register_written(unsigned n);
    // Virtual time of the chip's next event: its next motion event (a ramp's end, the ramp-down
    // point, the end of the move) or comparator match, kNever when none is due.
    Ns next_event_time() const;
    Ns motion_event_time() const;
    std::uint32_t remaining_pulses();
    std::uint32_t current_speed();
    // The chip's operation state, 0 when the axis is stopped (low four bits of the status register).
    unsigned operation_state();
    MotionState motion;

    // ---- comparators, trigger output, latches (chip_compare.cpp) ----
    ChipCompare compare;

    // ---- interrupts (chip_interrupt.cpp) ----
    // Event bits raised since the driver last took them, and the axis's stop reasons in the bit
    // layout of the driver's error status (0x1 + soft limit, 0x8 general comparator, 0x20 + end
    // limit, ...). Motion, comparators and latches raise them here; the card's interrupt line
    // and the driver's status requests take them from here.
    std::uint32_t event_status = 0;
    std::uint32_t error_status = 0;
    void raise_interrupt(std::uint32_t event_bits, std::uint32_t error_bits);

private:
    void execute(std::uint16_t word);
    void write_register(unsigned code, std::uint32_t value);
    bool read_register(unsigned code, std::uint32_t* value);
    void trace_command(std::uint16_t word);

    ChipGroup& card_;  // the group the chip sits in; its device number names the chip in the trace
    int axis_;
};

}  // namespace qsim
