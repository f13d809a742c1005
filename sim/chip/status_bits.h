// A status word as a table of bits, each with the condition that sets it. The chip's status
// words and a motion module's status register are composed the same way.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qsim {

class Chip;

struct StatusBit {
    unsigned bit;
    bool (*active)(const Chip&);
};

template <std::size_t N>
std::uint32_t compose_status(const Chip& chip, const StatusBit (&bits)[N]) {
    std::uint32_t word = 0;
    for (const StatusBit& b : bits) {
        if (b.active(chip)) word |= 1u << b.bit;
    }
    return word;
}

}  // namespace qsim
