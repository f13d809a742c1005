#include "ports/primitives.h"

#include "ports/board_ports.h"
#include "chip/registers.h"
#include "common/bits.h"
#include "card/card_table.h"
#include "common/platform.h"

namespace quvex::chip {
namespace {

// The card table and card_lock live for the whole process: taken once here instead of on every
// port access, which the primitives' cost is measured against.
CardTable& g_cards = card_table();
plat::Lock& g_card_lock = card_lock();

CardRecord& card_at(int card) { return g_cards.cards[static_cast<std::size_t>(card)]; }

std::uint16_t port_at(std::uint16_t base, std::uint16_t offset) { return static_cast<std::uint16_t>(base + offset); }

// First port of an axis's block on its card.
std::uint16_t axis_base(const CardRecord& card, int axis_no) {
    return port_at(card.chip_base, static_cast<std::uint16_t>(axis_of(axis_no) * kAxisBlock));
}
std::uint16_t axis_base(int axis_no) { return axis_base(card_at(card_of(axis_no)), axis_no); }

std::uint16_t read_port_locked(std::uint16_t port) {
    plat::LockGuard hold(g_card_lock);
    return plat::port_in16(port);
}

void write_port_locked(std::uint16_t port, std::uint16_t value) {
    plat::LockGuard hold(g_card_lock);
    plat::port_out16(port, value);
}

// A register write: both data words, then the code, in one lock hold.
void out_register(std::uint16_t base, std::uint16_t write_code, std::uint16_t low, std::uint16_t high) {
    plat::LockGuard hold(g_card_lock);
    plat::port_out16(port_at(base, kDataLowPort), low);
    plat::port_out16(port_at(base, kDataHighPort), high);
    plat::port_out16(port_at(base, kCommandPort), write_code);
}

// A register read: the code, then both data words, in one lock hold.
void in_register(std::uint16_t base, std::uint16_t read_code, std::uint16_t* low, std::uint16_t* high) {
    plat::LockGuard hold(g_card_lock);
    plat::port_out16(port_at(base, kCommandPort), read_code);
    *low = plat::port_in16(port_at(base, kDataLowPort));
    *high = plat::port_in16(port_at(base, kDataHighPort));
}

// Stores a mirror word and writes it: the card record is looked up once for both.
void store_and_write(int axis_no, MirrorSlot slot, std::uint16_t write_code, std::uint32_t word) {
    CardRecord& card = card_at(card_of(axis_no));
    card.axes[static_cast<std::size_t>(axis_of(axis_no))].mirror[slot] = word;
    out_register(axis_base(card, axis_no), write_code, low_half(word), high_half(word));
}

}  // namespace

void write_axis_command(int axis_no, std::uint16_t command) {
    write_port_locked(port_at(axis_base(axis_no), kCommandPort), command);
}

void write_axis_register(int axis_no, std::uint16_t write_code, std::uint16_t low, std::uint16_t high) {
    out_register(axis_base(axis_no), write_code, low, high);
}

void write_axis_registers(int axis_no, const RegisterWrite* writes, std::size_t count) {
    const std::uint16_t base = axis_base(axis_no);
    plat::LockGuard hold(g_card_lock);
    for (std::size_t i = 0; i < count; ++i) {
        plat::port_out16(port_at(base, kDataLowPort), low_half(writes[i].value));
        plat::port_out16(port_at(base, kDataHighPort), high_half(writes[i].value));
        plat::port_out16(port_at(base, kCommandPort), writes[i].write_code);
    }
}

void read_axis_register(int axis_no, std::uint16_t read_code, std::uint16_t* low, std::uint16_t* high) {
    in_register(axis_base(axis_no), read_code, low, high);
}

void read_axis_status(int axis_no, std::uint16_t* status) { *status = read_port_locked(port_at(axis_base(axis_no), kCommandPort)); }
void read_axis_substatus(int axis_no, std::uint16_t* status) { *status = read_port_locked(port_at(axis_base(axis_no), kSubStatusPort)); }
void read_axis_data_low(int axis_no, std::uint16_t* value) { *value = read_port_locked(port_at(axis_base(axis_no), kDataLowPort)); }
void read_axis_data_high(int axis_no, std::uint16_t* value) { *value = read_port_locked(port_at(axis_base(axis_no), kDataHighPort)); }
void write_axis_data_low(int axis_no, std::uint16_t value) { write_port_locked(port_at(axis_base(axis_no), kDataLowPort), value); }
void write_axis_data_high(int axis_no, std::uint16_t value) { write_port_locked(port_at(axis_base(axis_no), kDataHighPort), value); }

void read_status_register32(int axis_no, std::uint32_t* value) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    write_axis_command(axis_no, cmd::kLoadStatus32);
    read_axis_data_low(axis_no, &low);
    read_axis_data_high(axis_no, &high);
    *value = join_halves(low, high);
}

void write_card_port(int card, std::uint16_t offset, std::uint16_t value) {
    write_port_locked(port_at(card_record(card).chip_base, offset), value);
}

void write_bridge_control(int card, bool set_startup_bit) {
    const CardRuntime& rt = card_table().runtime[static_cast<std::size_t>(card)];
    const std::uint16_t word = set_startup_bit ? rt.bridge_control_startup_bit_set : rt.bridge_control_startup_bit_clear;
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
    out_register(axis_base(axis_no), write_code, low_half(value), high_half(value));
}

std::uint32_t read_register32(int axis_no, std::uint16_t read_code) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    in_register(axis_base(axis_no), read_code, &low, &high);
    return join_halves(low, high);
}

void update_mirrored(int axis_no, MirrorSlot slot, std::uint32_t clear_mask, std::uint32_t set_bits) {
    const std::uint32_t word = (axis_record(axis_no).mirror[slot] & ~clear_mask) | set_bits;
    store_and_write(axis_no, slot, kMirrorWriteCode[slot], word);
}

void write_mirrored(int axis_no, MirrorSlot slot, std::uint16_t write_code, std::uint32_t value) {
    store_and_write(axis_no, slot, write_code, value);
}

}  // namespace quvex::chip
