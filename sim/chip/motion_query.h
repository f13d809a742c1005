// Read-outs of a chip axis's motion for the installation's own tools (trajectory sampling).
#pragma once

namespace qsim {

class Chip;

// Current output speed in pulses per second (a following axis: its share of the line's speed).
double motion_speed_pps(Chip& chip);
// Highest speed of the current or last motion in pulses per second (a following axis: its share).
double motion_peak_pps(Chip& chip);

}  // namespace qsim
