// Card-level ring exports: attaching a ring slot to a card, the window address, the baud rate.
#include "quvex/quvex.h"

#include "chip/registers.h"
#include "frame/card_table.h"
#include "ring/ring_table.h"

using namespace quvex;
using namespace quvex::ring;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_open_kring(int16_t card) {
    if (!card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    const CardRecord& rec = card_record(card);
    if (rec.ring_window == 0) return KRING_ERR_FAILED;  // the driver mapped no window for this card
    for (unsigned slot = 0; slot < kRingCount; ++slot) {
        RingMaster* r = ring_slot(slot);
        if (r->is_open() != 0) continue;
        const std::int16_t rc = r->attach(rec.ring_window, rec.board_base);
        if (rc != kOk) return rc;
        set_last_opened_ring(static_cast<std::int16_t>(slot));
        return static_cast<quvex_status>(slot);
    }
    return KRING_ERR_FAILED;  // all four slots are attached
}

QUVEX_API quvex_status QUVEX_CALL quvex_get_kring_addr(int16_t card, uint32_t* addr) {
    if (!card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    // The export's address is 32 bits wide; a 64-bit build hands out the low half.
    if (addr != nullptr) *addr = static_cast<std::uint32_t>(card_record(card).ring_window & 0xFFFFFFFFu);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_kring_baudrate(int16_t card, uint8_t baud) {
    if (!card_usable(card)) return QUVEX_ERR_CARD_NUMBER;
    const auto port = static_cast<std::uint16_t>(card_record(card).board_base + chip::kBoardRingBaud);
    (void)plat::port_in16(port);  // the card expects a read before the baud code changes
    if (baud > 3) return KRING_ERR_FAILED;
    plat::port_out16(port, baud);
    ring_slot(static_cast<unsigned>(last_opened_ring()))->baud_code = baud;
    return QUVEX_OK;
}

}  // extern "C"
