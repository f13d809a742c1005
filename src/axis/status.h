// Status read-back of a local axis: the chip's operation state, the composed signal status
// word and the general input pins of a card's axes.
#pragma once

#include <cstdint>

namespace quvex::axis {

// Low four bits of the status register: 0 when the axis is stopped.
std::uint16_t operation_state(int axis_no);

// The signal status word composed from the sub-status word (read first) and the status register.
std::uint16_t io_status(int axis_no);

// Composition of io_status from its three source words: sub-status S and the low and high
// halves L and H of the status register.
std::uint16_t compose_io_status(std::uint16_t sub_status, std::uint16_t status_low, std::uint16_t status_high);

// General input pins of axes Y, Z and U of the card in bits 0..2 (axis X's pin is not wired out).
std::uint16_t general_inputs(int card);

}  // namespace quvex::axis
