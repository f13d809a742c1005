// The four small card queries: chip base, interrupt line, card status and the card's LED.
#pragma once

#include <cstdint>

namespace quvex::frame {

std::uint16_t chip_base(int card);
std::uint16_t irq_channel(int card);
// Low three bits of the board's status word.
std::uint16_t card_status(int card);
// Writes 0 or 1 to the LED port; any other value writes nothing.
void set_card_led(int card, std::int16_t on_off);

}  // namespace quvex::frame
