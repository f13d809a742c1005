#include "frame/card_table.h"

namespace quvex {

CardTable& card_table() {
    // Built on first use and never destroyed: worker threads may still look at it while the
    // process is exiting.
    static CardTable* table = new CardTable();
    return *table;
}

void reset_card_table() {
    CardTable& table = card_table();
    table.cards.fill(CardRecord{});
    for (CardRuntime& rt : table.runtime) {
        rt.bridge_ctrl_bit11_clear = 0;
        rt.bridge_ctrl_bit11_set = 0;
        rt.events.fill(plat::kNoHandle);
        for (WorkerThread* w : {&rt.compare_thread, &rt.callback_thread}) {
            w->handle = plat::kNoHandle;
            w->id = 0;
            w->run.store(0);
            w->alive.store(0);
        }
        rt.compare_thread_suspended.store(false);
    }
    table.max_card = 0;
}

bool card_usable(int card) {
    return card >= 0 && card < kMaxCards && card_table().cards[static_cast<std::size_t>(card)].present == 1;
}

bool axis_usable(int axis_no) { return axis_no >= 0 && axis_no < kMaxAxes && card_usable(card_of(axis_no)); }

}  // namespace quvex
