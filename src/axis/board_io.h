// The board's own ports that belong to the axes and the card's simple digital I/O: the
// end-limit logic word and the TTL inputs, outputs and output enable.
#pragma once

#include <cstdint>

namespace quvex::axis {

// Sets (1) or clears (0) the axis's end-limit logic bit; other values write the word back unchanged.
void set_end_limit_logic(int axis_no, std::int16_t on_off);

// Low four bits of the TTL input port.
std::uint16_t ttl_inputs(int card);
// Sets or clears TTL output channel 0..3.
void set_ttl_output(int card, unsigned channel, bool on);
// Sets or clears the enable of the TTL outputs.
void set_ttl_output_enable(int card, bool on);

}  // namespace quvex::axis
