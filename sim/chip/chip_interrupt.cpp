#include "chip_interrupt.h"

#include "chip.h"

namespace qsim {
namespace {

// The motion engine's stop causes in the driver's stop-reason layout. The stop commands the
// library writes itself (immediate and decelerating stop) are no error and report no reason.
struct ReasonBit {
    std::uint32_t motion;  // stop_reason::*
    std::uint32_t driver;  // stop_reason_bit::*
};

constexpr ReasonBit kReasonBits[] = {
    {stop_reason::kEndLimitPlus, stop_reason_bit::kEndLimitPlus},
    {stop_reason::kEndLimitMinus, stop_reason_bit::kEndLimitMinus},
    {stop_reason::kAlarm, stop_reason_bit::kAlarm},
    {stop_reason::kSimultaneousStop, stop_reason_bit::kSimultaneousStop},
    {stop_reason::kEmergency, stop_reason_bit::kEmergency},
    {stop_reason::kSlowDown, stop_reason_bit::kSlowDown},
    {stop_reason::kOtherAxis, stop_reason_bit::kOtherAxis},
};

std::uint32_t error_bits_of(std::uint32_t motion_stop_reason) {
    std::uint32_t bits = 0;
    for (const ReasonBit& r : kReasonBits) {
        if ((motion_stop_reason & r.motion) != 0) bits |= r.driver;
    }
    return bits;
}

std::uint32_t event_bit_of(ChipEvent event) {
    switch (event) {
        case ChipEvent::move_started: return int_factor_bit::kMoveStarted;
        case ChipEvent::ramp_ended: return int_factor_bit::kRampEnded;
        case ChipEvent::ramp_down_begun: return int_factor_bit::kRampDownBegun;
        case ChipEvent::move_ended: return int_factor_bit::kStopped;
        case ChipEvent::queued_move_started: return int_factor_bit::kQueuedMoveStarted;
    }
    return 0;
}

}  // namespace

// Only the events the interrupt factors enable are kept and interrupt; stop reasons are kept
// whatever the factors, and reach the driver with the next interrupt of the axis.
void Chip::raise_interrupt(std::uint32_t event_bits, std::uint32_t error_bits) {
    const std::uint32_t enabled = event_bits & int_factor;
    event_status |= enabled;
    error_status |= error_bits;
    if (enabled != 0) group().interrupt(axis());
}

void raise_motion_interrupt(Chip& c, ChipEvent event) {
    std::uint32_t events = event_bit_of(event);
    std::uint32_t errors = 0;
    if (event == ChipEvent::move_ended) {
        errors = error_bits_of(c.motion.stop_reason);
        if (errors != 0) events |= int_factor_bit::kErrorStop;
    }
    c.raise_interrupt(events, errors);
}

}  // namespace qsim
