#include "ring/ring_control.h"

#include "ports/board_ports.h"
#include "card/card_table.h"
#include "ring/ring_table.h"

namespace quvex::ring {

quvex_status open_ring_on_card(int card) {
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

std::uint32_t ring_window_address(int card) {
    return static_cast<std::uint32_t>(card_record(card).ring_window & 0xFFFFFFFFu);
}

quvex_status set_baud_rate(int card, std::uint8_t baud) {
    (void)chip::read_board_port(card, chip::kBoardRingBaud);  // the card expects a read before the code changes
    if (baud > chip::board::kMaxRingBaud) return KRING_ERR_FAILED;
    chip::write_board_port(card, chip::kBoardRingBaud, baud);
    ring_slot(static_cast<unsigned>(last_opened_ring()))->record_baud_code(baud);
    return QUVEX_OK;
}

void reset_and_settle(RingMaster& r) {
    r.reset();
    plat::sleep_ms(kResetSettleMs);
}

void read_active_table(RingMaster& r, std::uint32_t* table) {
    std::uint32_t found[2];
    (void)r.scan_active_table(found);  // a stopped ring leaves the table all zero
    if (table != nullptr) {
        table[0] = found[0];
        table[1] = found[1];
    }
}

void ring_status(RingMaster& r, std::uint16_t* status) {
    if (status == nullptr) return;
    if (r.watchdog_running()) *status = r.status_copy();
    else r.read_status(status);
}

quvex_status enable_soft_watchdog(RingMaster& r, void** event) {
    if (event == nullptr) return r.enable_watchdog(nullptr);
    const auto handle = reinterpret_cast<plat::Handle>(*event);
    return r.enable_watchdog(&handle);
}

quvex_status take_error_device(RingMaster& r) {
    const int slave = r.take_slave_in_error();
    return slave < 0 ? quvex_status{KRING_ERR_SLAVE} : static_cast<quvex_status>(slave);
}

quvex_status identify_device(RingMaster& r, std::uint16_t slave, std::uint8_t* id) {
    if (id != nullptr) (void)r.identify(slave, id);  // a time-out still reports 0xA4 and 0
    return QUVEX_OK;
}

}  // namespace quvex::ring
