// The C control interface's count of the signals a named event received: what the driver and
// the library raised, to hold against what the waiting side saw.
#include "machine.h"
#include "quvex/sim.h"

using namespace qsim;

QUVEX_API int64_t QUVEX_CALL quvex_sim_event_sets(const char* name) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    if (name == nullptr) return -1;
    const auto it = m.named_events.find(name);
    return it == m.named_events.end() ? -1 : it->second->sets;
}
