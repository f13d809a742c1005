// Helpers of the line and group tests: the trace reduced to register codes and commands, and
// register peeks on device 0.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "card_events.h"
#include "quvex/quvex.h"

namespace quvex::test {

// Start commands of the X-Y pair and of all four axes together.
constexpr unsigned kXYAtMaxSpeed = cmd::on_axes(cmd::kStartAtMaxSpeed, 0b0011);
constexpr unsigned kXYDecelerating = cmd::on_axes(cmd::kStartDecelerating, 0b0011);
constexpr unsigned kXYRamped = cmd::on_axes(cmd::kStartRamped, 0b0011);
constexpr unsigned kXYZUAtMaxSpeed = cmd::on_axes(cmd::kStartAtMaxSpeed, 0b1111);
constexpr unsigned kXYZUDecelerating = cmd::on_axes(cmd::kStartDecelerating, 0b1111);
constexpr unsigned kXYZURamped = cmd::on_axes(cmd::kStartRamped, 0b1111);

// A register sequence as register_sequence() gives it.
using Seq = std::vector<CardEvent>;

// One row of a table of starts and the register sequence each must write.
struct SequenceCase {
    const char* name;
    std::function<quvex_status()> start;
    Seq expected;
};

// Register writes, reads and commands of device 0 with their values dropped: X 87, Y read E4,
// X cmd 0353.
Seq register_sequence();
// A register of device 0 by its chip code (0x80 + n for the buffered bank).
std::uint32_t chip_register(int axis, unsigned code);

}  // namespace quvex::test
