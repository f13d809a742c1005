// Exports of the card frame: thin shells that check their arguments and call the frame.
#include "quvex/quvex.h"

#include "chip/registers.h"
#include "frame/card_table.h"
#include "frame/lifecycle.h"
#include "platform/platform.h"

using namespace quvex;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_initial(int16_t* count) { return frame::initialise_cards(count); }

QUVEX_API quvex_status QUVEX_CALL quvex_close(void) { return frame::close_cards(); }

QUVEX_API quvex_status QUVEX_CALL quvex_get_base_addr(int16_t card, uint16_t* base) {
    if (!card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    if (base != nullptr) *base = card_record(card).chip_base;
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_irq_channel(int16_t card, uint16_t* irq) {
    if (!card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    if (irq != nullptr) *irq = card_record(card).irq;
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_card_status(int16_t card, uint16_t* status) {
    if (card > card_table().max_card || !card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    const std::uint16_t word = plat::port_in16(static_cast<std::uint16_t>(card_record(card).board_base + chip::kBoardCardStatus));
    if (status != nullptr) *status = static_cast<std::uint16_t>(word & 0x7u);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_card_led(int16_t card, int16_t on_off) {
    if (card > card_table().max_card || !card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    if (on_off != 0 && on_off != 1) return QUVEX_OK;
    plat::port_out16(static_cast<std::uint16_t>(card_record(card).board_base + chip::kBoardCardStatus),
                     static_cast<std::uint16_t>(on_off));
    return QUVEX_OK;
}

}  // extern "C"
