#include "axis/board_io.h"

#include "chip/registers.h"
#include "common/bits.h"
#include "frame/card_table.h"
#include "platform/platform.h"

namespace quvex::axis {
namespace {

constexpr Field kTtlInputs = field(0, 4);
constexpr Field kTtlOutputEnable = field(7, 1);
constexpr std::int16_t kOn = 1;
constexpr std::int16_t kOff = 0;

std::uint16_t board_port(int card, std::uint16_t offset) {
    return static_cast<std::uint16_t>(card_record(card).board_base + offset);
}

// Read-modify-write of one board word: the bits in `mask` set or cleared.
void change_board_bits(int card, std::uint16_t offset, std::uint16_t mask, bool on) {
    const std::uint16_t port = board_port(card, offset);
    const std::uint16_t word = plat::port_in16(port);
    plat::port_out16(port, static_cast<std::uint16_t>(on ? (word | mask) : (word & ~mask)));
}

}  // namespace

void set_end_limit_logic(int axis_no, std::int16_t on_off) {
    // Axis X owns bit 3 of the word, axis U bit 0.
    // Values other than 1 and 0 change no bit, but the word is still read and written back.
    const auto bit = static_cast<std::uint16_t>(1u << (kAxesPerCard - 1 - axis_of(axis_no)));
    const std::uint16_t mask = (on_off == kOn || on_off == kOff) ? bit : 0;
    change_board_bits(card_of(axis_no), chip::kBoardEndLimitLogic, mask, on_off == kOn);
}

std::uint16_t ttl_inputs(int card) {
    return static_cast<std::uint16_t>(field_value(plat::port_in16(board_port(card, chip::kBoardTtlInput)), kTtlInputs));
}

void set_ttl_output(int card, unsigned channel, bool on) {
    change_board_bits(card, chip::kBoardTtlOutput, static_cast<std::uint16_t>(1u << channel), on);
}

void set_ttl_output_enable(int card, bool on) {
    change_board_bits(card, chip::kBoardTtlOutput, static_cast<std::uint16_t>(kTtlOutputEnable.mask), on);
}

}  // namespace quvex::axis
