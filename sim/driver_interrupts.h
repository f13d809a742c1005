// The virtual driver's interrupt service of one card: when a chip raises an enabled interrupt,
// the driver takes the axis's event and stop-reason bits from the chip, keeps them for the
// status requests and signals the axis event E<axis> of the card's device.
//
// The kept bits accumulate until a status request hands them out (driver_requests.h): the
// interrupt status request returns the event bits in word 1 and the stop reasons in word 2 and
// clears the event bits; the error status request returns the stop reasons in word 1 and clears
// them. So each request reports what happened since the last one of its kind.
#pragma once

#include <array>
#include <cstdint>

namespace qsim {

class Chip;
class Machine;

class DriverInterrupts {
public:
    DriverInterrupts(Machine& machine, int device) : machine_(machine), device_(device) {}

    // Interrupt of the card's chip (machine lock held). Nothing reaches the driver before the
    // library has armed the bridge interrupt; the chip keeps its bits until then.
    void service(Chip& chip, bool bridge_armed);

    // Serves the interrupt status and error status requests; input word 1 names the axis (0..3).
    void serve_status_request(std::uint32_t code, std::uint32_t* words);

private:
    struct AxisWords {
        std::uint32_t events = 0;
        std::uint32_t stop_reasons = 0;
    };
    Machine& machine_;
    int device_;
    std::array<AxisWords, 4> kept_{};
};

}  // namespace qsim
