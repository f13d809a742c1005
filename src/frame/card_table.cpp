#include "frame/card_table.h"

namespace quvex {

CardTable& card_table() {
    // Built on first use and never destroyed: worker threads may still look at it while the
    // process is exiting.
    static CardTable* table = new CardTable();
    return *table;
}

bool card_usable(int card) {
    return card >= 0 && card < kMaxCards && card_table().cards[static_cast<std::size_t>(card)].present == 1;
}

bool axis_usable(int axis_no) { return axis_no >= 0 && axis_no < kMaxAxes && card_usable(card_of(axis_no)); }

}  // namespace quvex
