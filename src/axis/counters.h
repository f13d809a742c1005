// Counters and motion read-back of a local axis: position (scaled by the move ratio), command
// and error counters, current speed, remaining pulses, ramp-down point, software target.
#pragma once

#include <cstdint>

namespace quvex::axis {

// Range of a pulse value the chip's counters and comparators accept.
constexpr double kMinPulses = -134217728.0;
constexpr double kMaxPulses = 134217727.0;

// True when pulses lies within the counters' range (false for NaN).
bool pulses_in_range(double pulses);

double position(int axis_no);
// True when pos scaled by the axis's move ratio lies within the counter range. Safe for any AxisNo.
bool position_fits(int axis_no, double pos);
// Scales pos by the move ratio and sets the position counter and both targets to it; a
// position that does not fit changes nothing and returns false.
bool set_position(int axis_no, double pos);

double target_position(int axis_no);
void reset_target_position(int axis_no, double pos);

std::int32_t command_counter(int axis_no);
// Writes bits 0-27 of value; the chip's counter has no room for the top four.
void set_command_counter(int axis_no, std::int32_t value);

std::int16_t error_counter_low(int axis_no);
void clear_error_counter(int axis_no);

// Current speed in pulses per second.
double current_speed(int axis_no);
// Speed register value (low half) in pulses per second for a speed range register value.
double speed_from_register(std::uint32_t speed_register, std::uint32_t speed_range);

std::int32_t remaining_pulses(int axis_no);
std::int32_t ramp_down_point(int axis_no);

}  // namespace quvex::axis
