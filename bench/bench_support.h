// Shared set-up of the benchmarks: a fresh virtual installation with cards opened by quvex_initial.
#pragma once

#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace quvex::bench {

// Cards 0..cards-1 installed and opened for the life of the object; tracing stays off.
struct OpenCards {
    explicit OpenCards(int cards = 1) {
        quvex_sim_reset();
        for (int d = 0; d < cards; ++d) quvex_sim_add_card(d);
        int16_t count = 0;
        quvex_initial(&count);
    }
    ~OpenCards() { quvex_close(); }
    OpenCards(const OpenCards&) = delete;
    OpenCards& operator=(const OpenCards&) = delete;
};

}  // namespace quvex::bench
