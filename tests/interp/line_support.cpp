#include "line_support.h"

#include "quvex/sim.h"

namespace quvex::test {

Seq register_sequence() { return without_values(chip_accesses()); }

std::uint32_t chip_register(int axis, unsigned code) {
    std::uint32_t value = 0;
    quvex_sim_chip_register(0, axis, code, &value);
    return value;
}

}  // namespace quvex::test
