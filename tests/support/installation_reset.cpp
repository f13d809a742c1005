#include "installation_reset.h"

#include "frame/library_context.h"
#include "quvex/sim.h"

namespace quvex::test {

void reset_installation() {
    // The library first: closing the rings gives their events and threads back to the
    // installation they came from, before that installation is replaced.
    reset_library_context();
    quvex_sim_reset();
}

}  // namespace quvex::test
