#include "ports/board_ports.h"

#include "card/card_table.h"
#include "common/platform.h"

namespace quvex::chip {
namespace {

std::uint16_t board_port(int card, std::uint16_t offset) {
    return static_cast<std::uint16_t>(card_record(card).board_base + offset);
}

}  // namespace

std::uint16_t read_board_port(int card, std::uint16_t offset) {
    const std::uint16_t port = board_port(card, offset);
    plat::LockGuard hold(card_lock());
    return plat::port_in16(port);
}

void write_board_port(int card, std::uint16_t offset, std::uint16_t value) {
    const std::uint16_t port = board_port(card, offset);
    plat::LockGuard hold(card_lock());
    plat::port_out16(port, value);
}

void change_board_bits(int card, std::uint16_t offset, std::uint16_t mask, bool on) {
    const std::uint16_t port = board_port(card, offset);
    plat::LockGuard hold(card_lock());
    const std::uint16_t word = plat::port_in16(port);
    plat::port_out16(port, static_cast<std::uint16_t>(on ? (word | mask) : (word & ~mask)));
}

void save_bridge_control(int card) {
    const std::uint16_t ctrl = plat::port_in16(static_cast<std::uint16_t>(card_record(card).bridge_base + kBridgeControl));
    CardRuntime& rt = card_table().runtime[static_cast<std::size_t>(card)];
    rt.bridge_control_startup_bit_clear = static_cast<std::uint16_t>(ctrl & ~kBridgeControlStartupBit);
    rt.bridge_control_startup_bit_set = static_cast<std::uint16_t>(ctrl | kBridgeControlStartupBit);
}

}  // namespace quvex::chip
