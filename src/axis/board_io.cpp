#include "axis/board_io.h"

#include "ports/board_ports.h"
#include "common/on_off.h"
#include "card/card_table.h"

namespace quvex::axis {

void set_end_limit_logic(int axis_no, std::int16_t on_off) {
    // Values other than 1 and 0 change no bit, but the word is still read and written back.
    const auto bit = static_cast<std::uint16_t>(chip::board::end_limit_logic(static_cast<unsigned>(axis_of(axis_no))).mask);
    const std::uint16_t mask = (on_off == kOn || on_off == kOff) ? bit : 0;
    chip::change_board_bits(card_of(axis_no), chip::kBoardEndLimitLogic, mask, on_off == kOn);
}

std::uint16_t ttl_inputs(int card) {
    return static_cast<std::uint16_t>(field_value(chip::read_board_port(card, chip::kBoardTtlInput), chip::board::kTtlInputs));
}

void set_ttl_output(int card, unsigned channel, bool on) {
    chip::change_board_bits(card, chip::kBoardTtlOutput, static_cast<std::uint16_t>(chip::board::ttl_output(channel).mask), on);
}

void set_ttl_output_enable(int card, bool on) {
    chip::change_board_bits(card, chip::kBoardTtlOutput, static_cast<std::uint16_t>(chip::board::kTtlOutputEnable.mask), on);
}

}  // namespace quvex::axis
