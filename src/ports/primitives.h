// Register primitives: the only code that reaches the motion chip, the card-level ports and the
// PCI bridge. Each holds card_lock for its own port accesses only and never calls another while
// holding it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/register_mirror.h"

namespace quvex::chip {

void write_axis_command(int axis_no, std::uint16_t command);
void write_axis_register(int axis_no, std::uint16_t write_code, std::uint16_t low, std::uint16_t high);
void read_axis_register(int axis_no, std::uint16_t read_code, std::uint16_t* low, std::uint16_t* high);
void read_axis_status(int axis_no, std::uint16_t* status);
void read_axis_substatus(int axis_no, std::uint16_t* status);
void read_axis_data_low(int axis_no, std::uint16_t* value);
void read_axis_data_high(int axis_no, std::uint16_t* value);
void write_axis_data_low(int axis_no, std::uint16_t value);
void write_axis_data_high(int axis_no, std::uint16_t value);
// Command 0xF1, then the two data words, as three separate lock holds.
void read_status_register32(int axis_no, std::uint32_t* value);
void write_card_port(int card, std::uint16_t offset, std::uint16_t value);
void write_bridge_control(int card, bool set_startup_bit);
// Takes the bridge base itself (no lock): reads the interrupt byte, then writes 0x41.
void enable_bridge_interrupt(std::uint16_t bridge_base);
// No lock: writes 0x40 then 0x00 to the bridge's top control byte.
void pulse_bridge_bit30(int card);

// One register write of a series.
struct RegisterWrite {
    std::uint16_t write_code;
    std::uint32_t value;
};
// Several register writes of one axis, each as write_axis_register does it (data low, data high,
// code), in the order given and in one card_lock hold: a move's profile reaches the chip with
// one lock round trip instead of one per register.
void write_axis_registers(int axis_no, const RegisterWrite* writes, std::size_t count);

// Convenience forms built on the primitives.
void write_register32(int axis_no, std::uint16_t write_code, std::uint32_t value);
std::uint32_t read_register32(int axis_no, std::uint16_t read_code);

// Read-modify-write of a mirrored register: replace the masked bits in the mirror word, store it,
// then write the whole word with the register's live write code.
void update_mirrored(int axis_no, MirrorSlot slot, std::uint32_t clear_mask, std::uint32_t set_bits);
// Stores a whole word in the mirror and writes it with the given code.
void write_mirrored(int axis_no, MirrorSlot slot, std::uint16_t write_code, std::uint32_t value);

}  // namespace quvex::chip
