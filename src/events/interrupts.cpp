#include "events/interrupts.h"

#include "chip/primitives.h"
#include "frame/card_table.h"
#include "platform/platform.h"

namespace quvex::events {

quvex_status int_control(int card, int on_off) {
    (void)on_off;  // the bridge interrupt byte is armed with 0x41 for on and off alike
    chip::enable_bridge_interrupt(card_record(card).bridge_base);
    return QUVEX_OK;
}

quvex_status int_disable(int card) {
    CardRecord& rec = card_record(card);
    if (rec.int_enabled != 1) return QUVEX_ERR_INT_NOT_ENABLED;
    CardRuntime& rt = card_table().runtime[static_cast<std::size_t>(card)];
    for (int k = 0; k < kCompareEvent; ++k) {
        plat::handle_close(rt.events[static_cast<std::size_t>(k)]);
        rt.events[static_cast<std::size_t>(k)] = plat::kNoHandle;
    }
    rec.int_enabled = 0;
    return QUVEX_OK;
}

void close_error_log() {}

}  // namespace quvex::events
