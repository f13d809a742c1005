#include "manual/manual_board.h"

#include "ports/board_ports.h"

namespace quvex::manual {

std::uint16_t read_control(int card) { return chip::read_board_port(card, chip::kBoardManualControl); }

void write_control(int card, std::uint16_t word) { chip::write_board_port(card, chip::kBoardManualControl, word); }

std::uint16_t compose_status(std::uint16_t control_word, std::uint16_t status_port) {
    const std::uint32_t s = status_port;
    std::uint32_t word = field_value(control_word, control::kBoardBits);
    word |= (s & 0x7u) << 4;
    word |= ((s >> 4) & 0x3u) << 7;
    word |= ((s >> 7) & 0x1u) << 9;
    return static_cast<std::uint16_t>(word);
}

std::uint16_t read_status(int card) {
    const std::uint16_t control_word = read_control(card);
    return compose_status(control_word, chip::read_board_port(card, chip::kBoardMpgStatus));
}

}  // namespace quvex::manual
