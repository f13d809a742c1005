// Read-outs of a chip axis's motion for the installation's own tools, and its trajectory
// sampling by machine timers. The card's axes and the modules' axes are read the same way.
#pragma once

#include <functional>

#include "quvex/sim_motion.h"

namespace qsim {

class Chip;

// Current output speed in pulses per second (a following axis: its share of the line's speed).
double motion_speed_pps(Chip& chip);
// Highest speed of the current or last motion in pulses per second (a following axis: its share).
double motion_peak_pps(Chip& chip);

// The chip's motion as the control interface reports it (the chip brought up to now first).
quvex_sim_motion_info motion_info(Chip& chip);

// Finds the sampled chip again at each sample: null once it is gone (its card removed, its
// module unplugged, the machine reset), which ends the sampling.
using SampledChip = std::function<Chip*()>;
// Samples the chip now and then every `period` seconds (at least 10 µs) while this sampling is
// the chip's current one; a period that is not positive and finite ends the sampling.
void sample_motion(Chip& chip, double period, SampledChip find);
// Copies up to `max` of the chip's samples to `out` (null: none); returns how many it has.
int copy_motion_samples(const Chip& chip, quvex_sim_motion_sample* out, int max);

}  // namespace qsim
