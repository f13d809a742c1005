// The library's mirror of one module axis (ring::ModuleAxisBlock) as both module kinds keep it:
// the speed arguments of a profile, the pinned speed range, what a loaded profile leaves in the
// mirror and what the module's initial clears.
#pragma once

#include <cstdint>
#include <optional>

#include "motion/move_plan.h"
#include "ring/slave_record.h"

namespace quvex::modules {

struct SpeedArgs {
    double str_vel = 0;  // magnitudes, except a line's path speed (signed as given)
    double max_vel = 0;
    double tacc = 0;
    double tdec = 0;
    double sv_acc = 0;
    double sv_dec = 0;
};

// The range a profile must keep while the speed range is pinned.
std::optional<std::uint32_t> pinned_range(const ring::ModuleAxisBlock& b);
void store_speeds(ring::ModuleAxisBlock& b, const motion::SpeedRegisters& s);
// Speeds, rates (the S sections for an S-curve only), the decelerating time and the curve bit
// of the operation mode.
void store_profile(ring::ModuleAxisBlock& b, motion::Curve curve, const motion::SpeedRegisters& s,
                   const motion::RampRates& r, double tdec);
// What the module's initial clears in every kind: the pin, the I/O byte, the operation mode,
// the speed range and the amount; the move ratio goes back to 1. The kinds clear their
// environment words themselves.
void reset_axis_block(ring::ModuleAxisBlock& b);

}  // namespace quvex::modules
