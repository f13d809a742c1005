// Exports of the card's simple digital I/O: general input pins and outputs of the axes, TTL
// inputs and outputs. Documented checks first (channel 27, then card 30).
#include "axis/board_io.h"
#include "axis/signal_config.h"
#include "axis/status.h"
#include "frame/card_table.h"
#include "quvex/quvex.h"

using namespace quvex;

namespace {

constexpr unsigned kMaxChannel = 3;

// Channels are compared as unsigned 16-bit values, so a negative channel is above 3 as well.
bool channel_too_high(int16_t ch) { return static_cast<uint16_t>(ch) > kMaxChannel; }

// The TTL exports refuse a card above the highest one found; every export refuses a card that
// is absent or outside the table.
bool ttl_card_usable(int16_t card) { return card <= card_table().max_card && card_usable(card); }

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_axis_input(int16_t card, uint16_t* input) {
    if (!card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    const uint16_t pins = axis::general_inputs(card);
    if (input != nullptr) *input = pins;
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_axis_output(int16_t card, int16_t ch, int16_t on_off) {
    if (channel_too_high(ch)) return QUVEX_ERR_CHANNEL;
    if (!card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    axis::set_general_output(card * kAxesPerCard + ch, on_off != 0);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_ttl_input(int16_t card, uint16_t* input) {
    if (!ttl_card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    const uint16_t word = axis::ttl_inputs(card);
    if (input != nullptr) *input = word;
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_ttl_output(int16_t card, int16_t ch, int16_t on_off) {
    if (channel_too_high(ch)) return QUVEX_ERR_CHANNEL;
    if (!ttl_card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    axis::set_ttl_output(card, static_cast<unsigned>(ch), on_off != 0);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_enable_ttl_output(int16_t card, int16_t on_off) {
    if (!ttl_card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    axis::set_ttl_output_enable(card, on_off != 0);
    return QUVEX_OK;
}

}  // extern "C"
