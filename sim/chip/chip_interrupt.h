// The chip's interrupt side: which motion events the interrupt factors (register 0xAC) enable,
// and the stop reasons a stop leaves for the driver's error status.
//
// Interrupt-factor bits (the event status word uses the same bits):
//   bit 0  the axis stopped, whatever the cause
//   bit 1  a move started
//   bit 2  a ramp reached its target speed
//   bit 3  the deceleration to the start speed began (ramp-down point)
//   bit 4  a queued move started
//   bit 5  the axis stopped for a reason the error status reports (end limit, alarm, emergency,
//          slow-down, simultaneous stop, another axis of its path)
// Other bits are kept in the register and raise nothing yet.
#pragma once

#include <cstdint>

#include "chip_group.h"

namespace qsim {

class Chip;

namespace int_factor_bit {
constexpr std::uint32_t kStopped = 1u << 0;
constexpr std::uint32_t kMoveStarted = 1u << 1;
constexpr std::uint32_t kRampEnded = 1u << 2;
constexpr std::uint32_t kRampDownBegun = 1u << 3;
constexpr std::uint32_t kQueuedMoveStarted = 1u << 4;
constexpr std::uint32_t kErrorStop = 1u << 5;
}  // namespace int_factor_bit

// Stop-reason bits of the driver's error status.
namespace stop_reason_bit {
constexpr std::uint32_t kEndLimitPlus = 0x20;
constexpr std::uint32_t kEndLimitMinus = 0x40;
constexpr std::uint32_t kAlarm = 0x80;
constexpr std::uint32_t kSimultaneousStop = 0x100;
constexpr std::uint32_t kEmergency = 0x200;
constexpr std::uint32_t kSlowDown = 0x400;
constexpr std::uint32_t kOtherAxis = 0x2000;
}  // namespace stop_reason_bit

// Raises the interrupt event of a motion event of the chip (with the stop reasons of a stop).
void raise_motion_interrupt(Chip& c, ChipEvent event);

}  // namespace qsim
