// The three manual sources of a card, each enabled through the manual-control word and the
// operation mode of its axes, and the per-axis settings each keeps (speed profiles, step
// distance, pulser ratio and input mode). These are the operations after the exports' checks:
// they take a present card and an axis of it. Jog, step and the hand wheel run from the live
// register bank, so their settings act on whatever runs.
#pragma once

#include <cstdint>

#include "card/card_table.h"

namespace quvex::manual {

// A speed profile as the setters take it.
struct ProfileArgs {
    double str_vel;
    double max_vel;
    double tacc;
    double tdec;
};

ProfileArgs profile_args(const ManualProfile& stored);

// on_off 1: switches enabled and every axis of the card in jog; 0: switches disabled and every
// axis stopped; any other value: switches disabled only.
void enable_jog(int card, std::int16_t on_off);
// on_off 1: the axis in step with its distance; 0: switches disabled and the axis stopped; any
// other value: nothing. The switches are card-wide.
void enable_step(std::int16_t axis, std::int16_t on_off, double step_distance);
// The step distance stored and written to the live move amount.
void set_step_distance(std::int16_t axis, double step_distance);

// Store the profile and program the live speeds scaled by `percent` (not 0) and the rates.
void set_jog_velocity(std::int16_t axis, const ProfileArgs& p, std::int16_t percent);
void set_step_velocity(std::int16_t axis, const ProfileArgs& p, std::int16_t percent);
// Store the profile; the live start speed is always 100 pulses per second.
void set_hand_wheel_velocity(std::int16_t axis, const ProfileArgs& p);

// The hand wheel on or off after the export's range checks (enable and mode 0..1, axis 0..3).
void configure_hand_wheel(int card, std::int16_t enable, std::int16_t mode, std::int16_t wheel_axis);
// The hand-wheel axis of mof mode 1, stored and placed in the control word.
void select_hand_wheel_axis(int card, std::int16_t wheel_axis);

void set_pulser_ratio(std::int16_t axis, std::int16_t ratio_p, std::int16_t ratio_m);
void set_pulser_input_mode(std::int16_t axis, std::int16_t mode, std::int16_t inverse);

// The env6 upper half of a ratio: (ratio_m - 1) << 11 | (ratio_p - 1), in 16-bit arithmetic.
std::uint16_t pulser_ratio_half(std::int16_t ratio_p, std::int16_t ratio_m);

}  // namespace quvex::manual
