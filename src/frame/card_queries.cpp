#include "frame/card_queries.h"

#include "ports/board_ports.h"
#include "card/card_table.h"

namespace quvex::frame {

std::uint16_t chip_base(int card) { return card_record(card).chip_base; }

std::uint16_t irq_channel(int card) { return card_record(card).irq; }

std::uint16_t card_status(int card) {
    return static_cast<std::uint16_t>(field_value(chip::read_board_port(card, chip::kBoardCardStatus), chip::board::kCardStatus));
}

void set_card_led(int card, std::int16_t on_off) {
    if (on_off != 0 && on_off != 1) return;
    chip::write_board_port(card, chip::kBoardCardStatus, static_cast<std::uint16_t>(on_off));
}

}  // namespace quvex::frame
