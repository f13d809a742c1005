#include "chip/primitives.h"

#include "chip/board_ports.h"
#include "chip/registers.h"
#include "common/bits.h"
#include "frame/card_table.h"
#include "platform/platform.h"

namespace quvex::chip {
namespace {

std::uint16_t axis_port(int axis_no, std::uint16_t offset) {
    const CardRecord& card = card_record(card_of(axis_no));
    return static_cast<std::uint16_t>(card.chip_base + axis_of(axis_no) * kAxisBlock + offset);
}

std::uint16_t read_port_locked(std::uint16_t port) {
    plat::LockGuard hold(card_lock());
    return plat::port_in16(port);
}

void write_port_locked(std::uint16_t port, std::uint16_t value) {
    plat::LockGuard hold(card_lock());
    plat::port_out16(port, value);
}

}  // namespace

void write_axis_command(int axis_no, std::uint16_t command) {
    write_port_locked(axis_port(axis_no, kCommandPort), command);
}

void write_axis_register(int axis_no, std::uint16_t write_code, std::uint16_t low, std::uint16_t high) {
    const std::uint16_t base = axis_port(axis_no, 0);
    plat::LockGuard hold(card_lock());
    plat::port_out16(static_cast<std::uint16_t>(base + kDataLowPort), low);
    plat::port_out16(static_cast<std::uint16_t>(base + kDataHighPort), high);
    plat::port_out16(static_cast<std::uint16_t>(base + kCommandPort), write_code);
}

void read_axis_register(int axis_no, std::uint16_t read_code, std::uint16_t* low, std::uint16_t* high) {
    const std::uint16_t base = axis_port(axis_no, 0);
    plat::LockGuard hold(card_lock());
    plat::port_out16(static_cast<std::uint16_t>(base + kCommandPort), read_code);
    *low = plat::port_in16(static_cast<std::uint16_t>(base + kDataLowPort));
    *high = plat::port_in16(static_cast<std::uint16_t>(base + kDataHighPort));
}

void read_axis_status(int axis_no, std::uint16_t* status) { *status = read_port_locked(axis_port(axis_no, kCommandPort)); }
void read_axis_substatus(int axis_no, std::uint16_t* status) { *status = read_port_locked(axis_port(axis_no, kSubStatusPort)); }
void read_axis_data_low(int axis_no, std::uint16_t* value) { *value = read_port_locked(axis_port(axis_no, kDataLowPort)); }
void read_axis_data_high(int axis_no, std::uint16_t* value) { *value = read_port_locked(axis_port(axis_no, kDataHighPort)); }
void write_axis_data_low(int axis_no, std::uint16_t value) { write_port_locked(axis_port(axis_no, kDataLowPort), value); }
void write_axis_data_high(int axis_no, std::uint16_t value) { write_port_locked(axis_port(axis_no, kDataHighPort), value); }

void read_status_register32(int axis_no, std::uint32_t* value) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    write_axis_command(axis_no, cmd::kLoadStatus32);
    read_axis_data_low(axis_no, &low);
    read_axis_data_high(axis_no, &high);
    *value = join_halves(low, high);
}

void write_card_port(int card, std::uint16_t offset, std::uint16_t value) {
    write_port_locked(static_cast<std::uint16_t>(card_record(card).chip_base + offset), value);
}

void write_bridge_control(int card, bool set_bit11) {
    const CardRuntime& rt = card_table().runtime[static_cast<std::size_t>(card)];
    const std::uint16_t word = set_bit11 ? rt.bridge_ctrl_bit11_set : rt.bridge_ctrl_bit11_clear;
    write_port_locked(static_cast<std::uint16_t>(card_record(card).bridge_base + kBridgeControl), word);
}

void enable_bridge_interrupt(std::uint16_t bridge_base) {
    const std::uint16_t port = static_cast<std::uint16_t>(bridge_base + kBridgeInterrupt);
    (void)plat::port_in8(port);  // the status byte is read and dropped: the read is part of the handshake
    plat::port_out8(port, kBridgeInterruptArm);
}

void pulse_bridge_bit30(int card) {
    const std::uint16_t port = static_cast<std::uint16_t>(card_record(card).bridge_base + kBridgeControlTop);
    plat::port_out8(port, kBridgeBit30InTopByte);
    plat::port_out8(port, 0x00);
}

void write_register32(int axis_no, std::uint16_t write_code, std::uint32_t value) {
    write_axis_register(axis_no, write_code, low_half(value), high_half(value));
}

std::uint32_t read_register32(int axis_no, std::uint16_t read_code) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    read_axis_register(axis_no, read_code, &low, &high);
    return join_halves(low, high);
}

void update_mirrored(int axis_no, MirrorSlot slot, std::uint32_t clear_mask, std::uint32_t set_bits) {
    RegisterMirror& mirror = axis_record(axis_no).mirror;
    mirror[slot] = (mirror[slot] & ~clear_mask) | set_bits;
    write_register32(axis_no, kMirrorWriteCode[slot], mirror[slot]);
}

void write_mirrored(int axis_no, MirrorSlot slot, std::uint16_t write_code, std::uint32_t value) {
    axis_record(axis_no).mirror[slot] = value;
    write_register32(axis_no, write_code, value);
}

}  // namespace quvex::chip
