#include "card.h"

#include "machine.h"

namespace qsim {

Card::Card(Machine& owner, int d)
    : machine(owner),
      device(d),
      bridge_base(static_cast<std::uint16_t>(kBridgeBase0 + d * kBridgeStride)),
      chip_base(static_cast<std::uint16_t>(kChipBase0 + d * kChipStride)),
      board_base(static_cast<std::uint16_t>(kBoardBase0 + d * kBoardStride)),
      irq(static_cast<std::uint16_t>(16 + d)),
      driver_interrupts(owner, d),
      compare_area_(kCompareAreaBytes, 0xA5),  // power-up garbage the library must clear
      chips_(owner, d, kCardChipUnits, 4),
      ring_(owner, d) {
    board_written.fill(-1);
    chips_.set_interrupt_line([this](int axis) { driver_interrupts.service(chip(axis), bridge_interrupt_written >= 0); });
    // The driver reloads each axis's trigger comparator from its block of the compare area.
    for (int a = 0; a < 4; ++a) chips_.chip(a).compare.auto_block = compare_area_.data() + a * kCompareBlockBytes;
}

int Card::device_of_port(std::uint16_t port) {
    // The strides are powers of two: a shift names the device, a mask the offset in its range.
    auto device_in = [port](unsigned base, unsigned stride_shift, unsigned size) -> int {
        const unsigned rel = static_cast<unsigned>(port) - base;  // wraps for ports below the base
        const unsigned d = rel >> stride_shift;
        return d < static_cast<unsigned>(kMaxDevices) && (rel & ((1u << stride_shift) - 1u)) < size ? static_cast<int>(d) : -1;
    };
    static_assert(kChipStride == 1u << 7 && kBridgeStride == 1u << 8 && kBoardStride == 1u << 6);
    if (port >= kChipBase0 && port < kBridgeBase0) return device_in(kChipBase0, 7, kChipSize);
    if (port >= kBridgeBase0) return device_in(kBridgeBase0, 8, kBridgeSize);
    if (port >= kBoardBase0) return device_in(kBoardBase0, 6, kBoardSize);
    return -1;
}

std::uint16_t Card::board_input(unsigned offset) const {
    switch (offset) {
        case cardport::kCardStatus: return card_status;
        case cardport::kTtlInputs: return ttl_inputs;
        case cardport::kWheelStatus: return manual.wheel_status;
        default: {
            const int w = board_written[offset / 2];
            return w < 0 ? 0 : static_cast<std::uint16_t>(w);
        }
    }
}

std::uint16_t Card::in16(std::uint16_t port) {
    Machine& m = machine;
    if (port >= chip_base && port < chip_base + kChipSize) {
        const unsigned off = port - chip_base;
        if (off < cardport::kChipAxisPorts) return chip(static_cast<int>(off / chipcode::kAxisBlock)).read_port(off % chipcode::kAxisBlock);
        return 0xFFFF;
    }
    if (port >= board_base && port < board_base + kBoardSize) {
        const unsigned off = port - board_base;
        const std::uint16_t v = board_input(off);
        m.trace.event(m.now, TraceKind::board_read, TraceSite::of_device(device), off, v);
        return v;
    }
    const unsigned off = port - bridge_base;
    const std::uint16_t v = off == cardport::kBridgeControl ? bridge_control : 0;
    m.trace.event(m.now, TraceKind::bridge_read16, TraceSite::of_device(device), off, v);
    return v;
}

void Card::out16(std::uint16_t port, std::uint16_t value) {
    Machine& m = machine;
    if (port >= chip_base && port < chip_base + kChipSize) {
        const unsigned off = port - chip_base;
        if (off < cardport::kChipAxisPorts) {
            chip(static_cast<int>(off / chipcode::kAxisBlock)).write_port(off % chipcode::kAxisBlock, value);
            return;
        }
        m.trace.event(m.now, TraceKind::card_port_write, TraceSite::of_device(device), off, value);
        if (off == cardport::kCardControl) card_control = value;
        if (off == cardport::kCompareLoad) compare_load_word = value;
        return;
    }
    if (port >= board_base && port < board_base + kBoardSize) {
        const unsigned off = port - board_base;
        m.trace.event(m.now, TraceKind::board_write, TraceSite::of_device(device), off, value);
        board_written[off / 2] = value;
        return;
    }
    const unsigned off = port - bridge_base;
    m.trace.event(m.now, TraceKind::bridge_write16, TraceSite::of_device(device), off, value);
    if (off == cardport::kBridgeControl) bridge_control = value;
}

std::uint8_t Card::in8(std::uint16_t port) {
    Machine& m = machine;
    if (port >= bridge_base && port < bridge_base + kBridgeSize) {
        const unsigned off = port - bridge_base;
        std::uint8_t v = 0;
        if (off == cardport::kBridgeInterrupt) v = bridge_interrupt_status;
        if (off == cardport::kBridgeControlTop) v = bridge_control_top;
        m.trace.event(m.now, TraceKind::bridge_read8, TraceSite::of_device(device), off, v);
        return v;
    }
    const std::uint16_t word = in16(static_cast<std::uint16_t>(port & ~1u));
    return static_cast<std::uint8_t>((port & 1u) ? word >> 8 : word & 0xFFu);
}

void Card::out8(std::uint16_t port, std::uint8_t value) {
    Machine& m = machine;
    if (port >= bridge_base && port < bridge_base + kBridgeSize) {
        const unsigned off = port - bridge_base;
        m.trace.event(m.now, TraceKind::bridge_write8, TraceSite::of_device(device), off, value);
        if (off == cardport::kBridgeInterrupt) bridge_interrupt_written = value;
        if (off == cardport::kBridgeControlTop) {
            if ((bridge_control_top & cardport::kLocalBusReset) != 0 && (value & cardport::kLocalBusReset) == 0) ++local_bus_resets;
            bridge_control_top = value;
        }
        return;
    }
    m.trace.event(m.now, TraceKind::card_byte_write, TraceSite::of_device(device), port, value);
}

}  // namespace qsim
