// Status words of a chip axis. The first floor reports an idle axis with no signal active.
#include "chip.h"

namespace qsim {

std::uint16_t Chip::main_status() { return 0; }
std::uint16_t Chip::sub_status() { return 0; }
std::uint32_t Chip::status_register() { return 0; }

}  // namespace qsim
