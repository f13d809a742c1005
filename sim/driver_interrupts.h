// The virtual driver's interrupt service: when a card's chip raises an enabled interrupt, the
// driver takes the axis's event and stop-reason bits from the chip, keeps them for the status
// requests and signals the axis event E<axis> of the card's device.
//
// The kept bits accumulate until a status request hands them out: the interrupt status request
// (0x223408) returns the event bits in word 1 and the stop reasons in word 2 and clears the
// event bits; the error status request (0x22340C) returns the stop reasons in word 1 and clears
// them. So each request reports what happened since the last one of its kind.
#pragma once

#include <array>
#include <cstdint>

namespace qsim {

class Card;

struct AxisInterruptWords {
    std::uint32_t events = 0;
    std::uint32_t stop_reasons = 0;
};
using DriverInterruptWords = std::array<AxisInterruptWords, 4>;

// Interrupt of chip `axis` of the card (machine lock held). Nothing reaches the driver before
// the library has armed the bridge interrupt; the chip keeps its bits until then.
void service_axis_interrupt(Card& card, int axis);

// Serves the interrupt status and error status requests; input word 1 names the axis (0..3).
void serve_axis_status_request(Card& card, std::uint32_t code, std::uint32_t* words);

}  // namespace qsim
