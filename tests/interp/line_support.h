// Helpers of the line and group tests: the trace reduced to register codes and commands, and
// register peeks on device 0.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "quvex/quvex.h"

namespace quvex::test {

// A register sequence as register_sequence() gives it.
using Seq = std::vector<std::string>;
// Each axis's codes in turn: per_axis({"X", "Y"}, {"85", "82"}) = X 85, X 82, Y 85, Y 82.
Seq per_axis(std::initializer_list<const char*> axes, std::initializer_list<const char*> codes);
Seq operator+(Seq a, const Seq& b);

// One row of a table of starts and the register sequence each must write.
struct SequenceCase {
    const char* name;
    std::function<quvex_status()> start;
    Seq expected;
};

// The decoded trace of device 0 with values dropped: "X 87", "Y read E4", "X cmd 0353".
std::vector<std::string> register_sequence();
// The value part of each decoded event of device 0 whose text starts with `prefix`
// (for example "d0.X reg 82"), in order.
std::vector<std::uint32_t> written_values(const std::string& prefix);
// A register of device 0 by its chip code (0x80 + n for the buffered bank).
std::uint32_t chip_register(int axis, unsigned code);

}  // namespace quvex::test
