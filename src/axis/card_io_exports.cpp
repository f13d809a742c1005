// Exports of the card's simple digital I/O: general input pins and outputs of the axes, TTL
// inputs and outputs. Documented checks first (channel 27, then card 30).
#include "axis/board_io.h"
#include "axis/signal_config.h"
#include "axis/status.h"
#include "common/export_checks.h"
#include "quvex/quvex.h"

using namespace quvex;

namespace {

constexpr unsigned kMaxChannel = 3;

// Channels are compared as unsigned 16-bit values, so a negative channel is above 3 as well.
quvex_status check_channel(int16_t ch) { return check(static_cast<uint16_t>(ch) <= kMaxChannel, QUVEX_ERR_CHANNEL); }

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_axis_input(int16_t card, uint16_t* input) {
    QUVEX_TRY(check_card(card));
    put(input, axis::general_inputs(card));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_axis_output(int16_t card, int16_t ch, int16_t on_off) {
    QUVEX_TRY(check_channel(ch));
    QUVEX_TRY(check_card(card));
    axis::set_general_output(card * kAxesPerCard + ch, on_off != 0);
    return QUVEX_OK;
}

// The TTL exports refuse a card above the highest one found.
QUVEX_API quvex_status QUVEX_CALL quvex_ttl_input(int16_t card, uint16_t* input) {
    QUVEX_TRY(check_found_card(card));
    put(input, axis::ttl_inputs(card));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_ttl_output(int16_t card, int16_t ch, int16_t on_off) {
    QUVEX_TRY(check_channel(ch));
    QUVEX_TRY(check_found_card(card));
    axis::set_ttl_output(card, static_cast<unsigned>(ch), on_off != 0);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_enable_ttl_output(int16_t card, int16_t on_off) {
    QUVEX_TRY(check_found_card(card));
    axis::set_ttl_output_enable(card, on_off != 0);
    return QUVEX_OK;
}

}  // extern "C"
