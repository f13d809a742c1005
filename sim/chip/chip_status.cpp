// Status words of a chip axis, composed from its signal inputs, its outputs and its operation
// state. The bit positions are the chip's; include/quvex/sim_axis.h lists them for users.
#include "chip.h"
#include "home_operation.h"
#include "status_bits.h"

namespace qsim {
namespace {

constexpr unsigned kOperationStateMask = 0xFu;  // low four bits of the main status and the status register

constexpr StatusBit kMainStatusBits[] = {
    {4, [](const Chip& c) { return c.inputs.el_plus; }},
    {5, [](const Chip& c) { return c.inputs.el_minus; }},
    {6, [](const Chip& c) { return alarm_signal(c); }},
    {7, [](const Chip& c) { return origin_signal(c); }},
    {14, [](const Chip& c) { return c.motion.queued.waiting; }},  // a start waits for the running move
};

constexpr StatusBit kSubStatusBits[] = {
    {0, [](const Chip& c) { return c.inputs.el_plus; }},
    {1, [](const Chip& c) { return c.inputs.el_minus; }},
    {3, [](const Chip& c) { return alarm_signal(c); }},
    {6, [](const Chip& c) { return c.inputs.general_pin(0); }},
    {11, [](const Chip& c) { return origin_signal(c); }},
    {12, [](const Chip& c) { return index_signal(c); }},
    {13, [](const Chip& c) { return in_position_signal(c); }},
    {14, [](const Chip& c) { return c.inputs.slow_down; }},
};

constexpr StatusBit kStatusRegisterBits[] = {
    {4, [](const Chip& c) { return c.inputs.latch; }},
    {7, [](const Chip& c) { return c.inputs.general_pin(1); }},
    {8, [](const Chip& c) { return c.inputs.general_pin(2); }},
    {9, [](const Chip& c) { return c.inputs.general_pin(3); }},
    {10, [](const Chip& c) { return c.inputs.general_pin(4); }},
    {13, [](const Chip& c) { return c.output_on(chipcode::kServoOutput); }},
    {14, [](const Chip& c) { return c.output_on(chipcode::kAlarmResetOutput); }},
    {15, [](const Chip& c) { return c.output_on(chipcode::kErcOutputBit); }},
    {16, [](const Chip& c) { return c.output_on(chipcode::kGeneralOutput); }},
};

}  // namespace

std::uint16_t Chip::main_status() {
    return static_cast<std::uint16_t>((operation_state() & kOperationStateMask) | compose_status(*this, kMainStatusBits) |
                                      comparator_status_bits(*this));
}

std::uint16_t Chip::sub_status() { return static_cast<std::uint16_t>(compose_status(*this, kSubStatusBits)); }

// Bits 20-21: how full the chip's chain of moves is: 0 stopped, 1 a move runs with nothing
// behind it, 2 a queued start waits behind it (3 is not produced).
constexpr unsigned kChainShift = 20;

std::uint32_t Chip::status_register() {
    const unsigned state = operation_state() & kOperationStateMask;
    const std::uint32_t chain = motion.queued.waiting ? 2u : state != opstate::kStopped ? 1u : 0u;
    return state | compose_status(*this, kStatusRegisterBits) | chain << kChainShift;
}

}  // namespace qsim
