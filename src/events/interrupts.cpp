#include "events/interrupts.h"

#include <atomic>

#include "ports/primitives.h"
#include "chip/register_mirror.h"
#include "card/card_table.h"
#include "card/driver.h"

namespace quvex::events {
namespace {


std::atomic_ref<plat::Handle> axis_event_slot(int card, int k) {
    return std::atomic_ref<plat::Handle>(card_table().runtime[static_cast<std::size_t>(card)].events[static_cast<std::size_t>(k)]);
}

}  // namespace

quvex_status int_control(int card, int on_off) {
    (void)on_off;  // the bridge interrupt byte is armed with 0x41 for on and off alike
    chip::enable_bridge_interrupt(card_record(card).bridge_base);
    return QUVEX_OK;
}

quvex_status int_enable(int card, void** out) {
    CardRecord& rec = card_record(card);
    if (rec.int_enabled == 1) return QUVEX_ERR_INT_ENABLED;
    for (int k = 0; k < kAxisEvents; ++k) {
        // Handed out unchecked: an event the driver did not create stays kNoHandle, and a wait on
        // it fails at once.
        const plat::Handle h = driver::open_card_event(rec.device_number, k);
        axis_event_slot(card, k).store(h);
        if (out != nullptr) out[k] = reinterpret_cast<void*>(h);
    }
    rec.int_enabled = 1;
    return QUVEX_OK;
}

quvex_status int_disable(int card) {
    CardRecord& rec = card_record(card);
    if (rec.int_enabled != 1) return QUVEX_ERR_INT_NOT_ENABLED;
    for (int k = 0; k < kAxisEvents; ++k) plat::handle_close(axis_event_slot(card, k).exchange(plat::kNoHandle));
    rec.int_enabled = 0;
    return QUVEX_OK;
}

quvex_status set_int_factor(int axis_no, std::uint32_t factor) {
    chip::write_mirrored(axis_no, chip::kMirrorIntFactor, chip::reg::kIntFactor, factor);
    return QUVEX_OK;
}

void get_int_status(int axis_no, std::uint32_t* word1, std::uint32_t* word2) {
    std::uint32_t w1 = 0, w2 = 0;
    driver::query_axis_status(card_record(card_of(axis_no)).device, driver::kInterruptStatus, axis_of(axis_no), &w1, &w2);
    if (word1 != nullptr) *word1 = w1;
    if (word2 != nullptr) *word2 = w2;
}

plat::Handle axis_event(int card, int k) { return axis_event_slot(card, k).load(); }

}  // namespace quvex::events
