#include "card/card_table.h"

namespace quvex {

void CardTable::reset() {
    cards.fill(CardRecord{});
    for (CardRuntime& rt : runtime) {
        rt.bridge_control_startup_bit_clear = 0;
        rt.bridge_control_startup_bit_set = 0;
        rt.events.fill(plat::kNoHandle);
        for (WorkerThread* w : {&rt.compare_thread, &rt.callback_thread}) {
            w->handle = plat::kNoHandle;
            w->id = 0;
            w->run.store(0);
            w->alive.store(0);
        }
        rt.callback.store(nullptr);
        rt.compare_thread_suspended.store(false);
    }
    max_card = 0;
}

bool card_usable(int card) {
    return card >= 0 && card < kMaxCards && card_table().cards[static_cast<std::size_t>(card)].present == 1;
}

bool axis_usable(int axis_no) { return axis_no >= 0 && axis_no < kMaxAxes && card_usable(card_of(axis_no)); }

}  // namespace quvex
