// Helpers of the line and group tests: the trace reduced to register codes and commands, and
// register peeks on device 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quvex::test {

// The decoded trace of device 0 with values dropped: "X 87", "Y read E4", "X cmd 0353".
std::vector<std::string> register_sequence();
// The value part of each decoded event of device 0 whose text starts with `prefix`
// (for example "d0.X reg 82"), in order.
std::vector<std::uint32_t> written_values(const std::string& prefix);
// A register of device 0 by its chip code (0x80 + n for the buffered bank).
std::uint32_t chip_register(int axis, unsigned code);

}  // namespace quvex::test
