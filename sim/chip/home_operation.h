// The origin operations of a chip axis (home return, escape, home search) as the chip carries
// them out from its home configuration (environment registers) and its sensors. The motion
// engine runs them as positioning moves with a watch point at the home point; these calls are
// its hooks.
#pragma once

#include <cstdint>

#include "home_sensors.h"

namespace qsim {

class Chip;

// The home configuration as the chip reads it.
struct HomeConfig {
    HomeMode mode = HomeMode::origin;  // env3 bits 0-3: 0 origin, 1 origin then index, 2 index only
    int index_count = 1;               // env3 bits 4-7, 0 counting as 1
    bool correction = false;           // env1 bit 7: slow past the home point, return at the correction speed
    bool erc_pulse = false;            // env1 bit 11: deviation-clear pulse at the home end
    unsigned erc_width = 0;            // env1 bits 12-14
};
HomeConfig read_home_config(const Chip& c);

// A start has taken its profile over: for an origin kind, sets the direction, the run and the
// watch point of the operation; for any other kind, ends whatever origin stage was left.
void begin_home(Chip& c);
// The move reached its watch point (the home point, or the edge an escape leaves the origin at).
void home_point_met(Chip& c);
// The move ran its count out: true when the origin operation goes on (back to the home point,
// or the search's offset), false when the move ends here.
bool home_move_goes_on(Chip& c);

// The origin and index signals at the axis's place, or driven from outside.
bool origin_signal(const Chip& c);
bool index_signal(const Chip& c);

// Length of a deviation-clear pulse of width code 0..6 in nanoseconds (code 7 holds the output
// on until command 0x25).
std::int64_t erc_pulse_ns(unsigned width_code);

}  // namespace qsim
