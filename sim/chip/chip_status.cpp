// Status words of a chip axis, composed from its signal inputs, its outputs and its operation
// state. The bit positions are the chip's; include/quvex/sim_axis.h lists them for users.
#include "chip.h"
#include "home_operation.h"

namespace qsim {
namespace {

// One status bit and the condition behind it.
struct StatusBit {
    unsigned bit;
    bool (*active)(const Chip&);
};

bool output_on(const Chip& c, unsigned output) { return (c.outputs & (1u << output)) != 0; }
bool general_pin(const Chip& c, unsigned pin) { return (c.inputs.general & (1u << pin)) != 0; }

constexpr unsigned kOperationStateMask = 0xFu;  // low four bits of the main status and the status register
constexpr unsigned kServoOutput = 0;
constexpr unsigned kAlarmResetOutput = 1;
constexpr unsigned kGeneralOutput = 4;

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
    {6, [](const Chip& c) { return general_pin(c, 0); }},
    {11, [](const Chip& c) { return origin_signal(c); }},
    {12, [](const Chip& c) { return index_signal(c); }},
    {13, [](const Chip& c) { return in_position_signal(c); }},
    {14, [](const Chip& c) { return c.inputs.slow_down; }},
};

constexpr StatusBit kStatusRegisterBits[] = {
    {4, [](const Chip& c) { return c.inputs.latch; }},
    {7, [](const Chip& c) { return general_pin(c, 1); }},
    {8, [](const Chip& c) { return general_pin(c, 2); }},
    {9, [](const Chip& c) { return general_pin(c, 3); }},
    {10, [](const Chip& c) { return general_pin(c, 4); }},
    {13, [](const Chip& c) { return output_on(c, kServoOutput); }},
    {14, [](const Chip& c) { return output_on(c, kAlarmResetOutput); }},
    {15, [](const Chip& c) { return output_on(c, chipcode::kErcOutputBit); }},
    {16, [](const Chip& c) { return output_on(c, kGeneralOutput); }},
};

template <std::size_t N>
std::uint32_t compose(const Chip& chip, const StatusBit (&bits)[N]) {
    std::uint32_t word = 0;
    for (const StatusBit& b : bits) {
        if (b.active(chip)) word |= 1u << b.bit;
    }
    return word;
}

}  // namespace

std::uint16_t Chip::main_status() {
    return static_cast<std::uint16_t>((operation_state() & kOperationStateMask) | compose(*this, kMainStatusBits) |
                                      comparator_status_bits(*this));
}

std::uint16_t Chip::sub_status() { return static_cast<std::uint16_t>(compose(*this, kSubStatusBits)); }

// Bits 20-21: how full the chip's chain of moves is: 0 stopped, 1 a move runs with nothing
// behind it, 2 a queued start waits behind it (3 is not produced).
constexpr unsigned kChainShift = 20;

std::uint32_t Chip::status_register() {
    const unsigned state = operation_state() & kOperationStateMask;
    const std::uint32_t chain = motion.queued.waiting ? 2u : state != opstate::kStopped ? 1u : 0u;
    return state | compose(*this, kStatusRegisterBits) | chain << kChainShift;
}

}  // namespace qsim
