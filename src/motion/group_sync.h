// Synchronisation of a group: the options that make an axis wait for (or give) the chip's
// simultaneous start and stop, and those two commands.
#pragma once

#include <cstdint>

namespace quvex::motion {

// Places the options in the operation-mode register's high half (live bank) and sets env2 bit 29.
void set_sync_option(std::int16_t axis, std::int16_t opt_bit24, std::int16_t opt_bit25, std::int16_t opt_low,
                     std::int16_t opt_high);
// env1 bit 27: set for mode 1, cleared otherwise.
void set_sync_stop_mode(std::int16_t axis, std::int16_t mode);
void start_all(std::int16_t axis);
void stop_all(std::int16_t axis);

}  // namespace quvex::motion
