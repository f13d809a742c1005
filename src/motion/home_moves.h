// The chip's own origin operations on one local axis: home return, escape from home and home
// search. The library picks the operation kind and direction, programs a profile and the
// correction speed, and writes the start command; the chip reacts to its home and limit inputs
// as the home configuration set them up.
#pragma once

#include <cstdint>

#include "chip/registers.h"
#include "motion/speed_units.h"

namespace quvex::motion {

enum class HomeOperation : std::uint8_t { kReturn, kEscape, kSearch };

struct HomeRequest {
    HomeOperation operation = HomeOperation::kReturn;
    double str_vel = 0;  // pps; its magnitude is used
    double max_vel = 0;  // pps; the sign gives the direction (+ above 0, else -)
    double tacc = 0;     // s; the deceleration takes as long
    double offset = 0;   // pulses; the move amount of a home search
};

// Operation kind (bits 0-6 of operation_mode) for the operation and direction.
std::uint32_t home_kind(HomeOperation operation, bool plus_direction);

// Everything a home start writes, planned from the request alone.
struct HomePlan {
    std::uint32_t kind = 0;
    double move_amount = 0;       // register 0, truncated toward zero when written
    double profile_str_vel = 0;   // the start speed the speed registers are computed from
    double correction_vel = 0;    // pps of the correction speed (register 11)
    bool with_rates = false;      // a profile with acceleration (start speed below the maximum)
    std::uint16_t start_command = chip::cmd::kStartAtStartSpeed;
};
HomePlan plan_home(const HomeRequest& request);

// Correction speed register value for a speed in pps at speed range R.
std::uint32_t correction_speed_units(const SpeedUnits& u, std::uint32_t range, double vel);

// Writes the operation mode, move amount, speeds, correction speed (live) and, with acceleration,
// the rates, then the start command. The caller has refused a zero maximum speed.
void start_home(std::int16_t axis, const HomeRequest& request);

}  // namespace quvex::motion
