// Motion of a chip axis. The first floor accepts motion commands and does not move.
#include "chip.h"

namespace qsim {

void Chip::update(Ns) {}
void Chip::motion_command(std::uint16_t) {}
std::uint32_t Chip::remaining_pulses() { return 0; }
std::uint32_t Chip::current_speed() { return 0; }
unsigned Chip::operation_state() { return 0; }

}  // namespace qsim
