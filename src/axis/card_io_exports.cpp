// Exports of the card's simple digital I/O: general input pins and outputs of the axes, TTL
// inputs and outputs. Documented checks first (channel, then card: QUVEX_ERR_CHANNEL before
// QUVEX_ERR_CARD_NUMBER); the TTL exports refuse a card above the highest one found.
#include "axis/board_io.h"
#include "axis/signal_config.h"
#include "axis/status.h"
#include "card/export_shells.h"
#include "quvex/quvex.h"

using namespace quvex;

namespace {

constexpr unsigned kMaxChannel = 3;

// Channels are compared as unsigned 16-bit values, so a negative channel is above 3 as well.
quvex_status check_channel(int16_t ch) { return check(static_cast<uint16_t>(ch) <= kMaxChannel, QUVEX_ERR_CHANNEL); }

// The general outputs are the axes' own output pins: channel ch of a card is its axis ch.
void set_card_general_output(int card, int16_t ch, int16_t on_off) {
    axis::set_general_output(card * kAxesPerCard + ch, on_off != 0);
}

void set_card_ttl_output(int card, int16_t ch, int16_t on_off) {
    axis::set_ttl_output(card, static_cast<unsigned>(ch), on_off != 0);
}

}  // namespace

extern "C" {

QUVEX_CHECKED_READ(quvex_axis_input, check_card, axis::general_inputs, uint16_t)
QUVEX_CHECKED_READ(quvex_ttl_input, check_found_card, axis::ttl_inputs, uint16_t)
QUVEX_CHECKED_CALL(quvex_enable_ttl_output, check_found_card, axis::set_ttl_output_enable, int16_t)

QUVEX_API quvex_status QUVEX_CALL quvex_axis_output(int16_t card, int16_t ch, int16_t on_off) {
    QUVEX_TRY(check_channel(ch));
    return shell::checked_call<check_card, set_card_general_output>(card, ch, on_off);
}

QUVEX_API quvex_status QUVEX_CALL quvex_ttl_output(int16_t card, int16_t ch, int16_t on_off) {
    QUVEX_TRY(check_channel(ch));
    return shell::checked_call<check_found_card, set_card_ttl_output>(card, ch, on_off);
}

}  // extern "C"
