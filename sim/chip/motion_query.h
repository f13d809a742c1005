// Read-outs of a chip axis's motion for the installation's own tools (trajectory sampling).
#pragma once

namespace qsim {

class Chip;

// Current output speed in pulses per second (a following axis: its share of the line's speed).
double motion_speed_pps(Chip& chip);

}  // namespace qsim
