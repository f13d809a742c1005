#include "chip.h"

namespace qsim {

void Chip::raise_interrupt(std::uint32_t event_bits, std::uint32_t error_bits) {
    event_status |= event_bits;
    error_status |= error_bits;
}

}  // namespace qsim
