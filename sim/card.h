// One virtual card: its PCI bridge, the board's own ports, its group of four motion chips, the
// compare area, the ring master behind its window and the driver's interrupt service.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "chip/chip.h"
#include "driver_interrupts.h"
#include "manual_board.h"
#include "ring/ring_master_model.h"

namespace qsim {

// Port ranges the driver hands out for device d.
constexpr std::uint16_t kBridgeBase0 = 0xE000, kBridgeStride = 0x100, kBridgeSize = 0x80;
constexpr std::uint16_t kChipBase0 = 0xC000, kChipStride = 0x80, kChipSize = 0x40;
constexpr std::uint16_t kBoardBase0 = 0xB000, kBoardStride = 0x40, kBoardSize = 0x20;
constexpr std::size_t kCompareAreaBytes = 0x5000;
constexpr std::size_t kCompareBlockBytes = 0x1020;  // one block per axis
// Bridge control word as the card powers up: bit 11 clear, other bits as the bridge's firmware leaves them.
constexpr std::uint16_t kBridgeControlPowerUp = 0x4083;

// Offsets in the card's port ranges.
namespace cardport {
constexpr unsigned kBridgeInterrupt = 0x4C;  // bridge, 8 bits: interrupt status (read), arming (write)
constexpr unsigned kBridgeControl = 0x50;    // bridge, 16 bits
constexpr unsigned kBridgeControlTop = 0x53; // bridge, 8 bits: bits 24-31 of the control register
constexpr std::uint8_t kLocalBusReset = 0x40;  // control bit 30 in the top byte: a 1 then a 0 resets the local bus
constexpr unsigned kChipAxisPorts = 0x20;    // chip range: the four axes' blocks below, card-level words from here
constexpr unsigned kCardControl = 0x20;      // chip range: the card control word
constexpr unsigned kCompareLoad = 0x26;      // chip range: cleared at start-up and before a compare table is loaded
constexpr unsigned kManualControl = 0x10;    // board: routes the hand wheel and enables the switches (manual_board.h)
constexpr unsigned kWheelStatus = 0x12;      // board: hand-wheel status
constexpr unsigned kTtlInputs = 0x18;        // board: TTL input pins
constexpr unsigned kCardStatus = 0x1E;       // board: reads the card status, its written word lights the LED
}  // namespace cardport

class Card {
public:
    Card(Machine& machine, int device);

    Machine& machine;  // the machine the card is installed in: its clock, timers and trace
    const int device;
    const std::uint16_t bridge_base;
    const std::uint16_t chip_base;
    const std::uint16_t board_base;
    const std::uint16_t irq;

    std::uintptr_t compare_area() const { return reinterpret_cast<std::uintptr_t>(compare_area_.data()); }
    std::uintptr_t ring_window() const { return ring_.base(); }
    RingMasterModel& ring() { return ring_; }
    Chip& chip(int axis) { return chips_.chip(axis); }
    ChipGroup& chips() { return chips_; }

    // The device whose card decodes `port` if one is installed there (the port ranges of every
    // device are fixed), else -1: a bus access finds its card without asking every card.
    static int device_of_port(std::uint16_t port);

    // True when the port belongs to this card.
    bool decodes(std::uint16_t port) const {
        return (port >= chip_base && port < chip_base + kChipSize) ||
               (port >= bridge_base && port < bridge_base + kBridgeSize) ||
               (port >= board_base && port < board_base + kBoardSize);
    }
    std::uint16_t in16(std::uint16_t port);
    void out16(std::uint16_t port, std::uint16_t value);
    std::uint8_t in8(std::uint16_t port);
    void out8(std::uint16_t port, std::uint8_t value);

    // Bridge.
    std::uint16_t bridge_control = kBridgeControlPowerUp;
    std::uint8_t bridge_control_top = 0;
    int local_bus_resets = 0;  // 1-then-0 pulses of control bit 30
    int bridge_interrupt_written = -1;  // -1 until the library arms the bridge interrupt
    std::uint8_t bridge_interrupt_status = 0;

    // What the driver took from the chips' interrupts and keeps for its status requests.
    DriverInterrupts driver_interrupts;

    // Card-level words of the chip range (last written, -1 never).
    int card_control = -1;
    int compare_load_word = -1;

    // Board ports: last word written at each even offset 0..0x1E (-1 never), and the inputs.
    std::array<int, 16> board_written{};
    std::uint16_t card_status = 0;
    std::uint16_t ttl_inputs = 0;  // TTL input pins as the outside drives them (board + 0x18)

    // The hand wheel and its status port (manual_board.h).
    ManualBoard manual;

    // Inputs of the board ports the outside drives.
    std::uint16_t board_input(unsigned offset) const;

private:
    std::vector<std::uint8_t> compare_area_;
    ChipGroup chips_;
    RingMasterModel ring_;
};

}  // namespace qsim
