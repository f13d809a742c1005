#include "installation_reset.h"

#include "axis/move_ratio.h"
#include "frame/card_table.h"
#include "quvex/sim.h"
#include "ring/ring_table.h"

namespace quvex::test {

void reset_installation() {
    ring::reset_ring_slots();
    quvex_sim_reset();
    reset_card_table();
    axis::reset_move_ratios();
}

}  // namespace quvex::test
