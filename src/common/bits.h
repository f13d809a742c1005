// Register fields as named constants with a mask and a shift, and the one helper that sets them.
#pragma once

#include <cstdint>

namespace quvex {

struct Field {
    std::uint32_t mask;   // bits of the field in place
    unsigned shift;       // position of the field's lowest bit
};

constexpr Field field(unsigned lowest_bit, unsigned width) {
    return Field{static_cast<std::uint32_t>(((width >= 32 ? 0xFFFFFFFFull : ((1ull << width) - 1)) << lowest_bit) & 0xFFFFFFFFull),
                 lowest_bit};
}

// Returns word with the field replaced by value (masked to the field's width).
constexpr std::uint32_t with_field(std::uint32_t word, Field f, std::uint32_t value) {
    return (word & ~f.mask) | ((value << f.shift) & f.mask);
}

constexpr std::uint32_t field_value(std::uint32_t word, Field f) { return (word & f.mask) >> f.shift; }

// A signed argument's two's-complement bits as a 32-bit register word.
constexpr std::uint32_t as_word(std::int64_t v) { return static_cast<std::uint32_t>(v); }

constexpr std::uint16_t low_half(std::uint32_t v) { return static_cast<std::uint16_t>(v & 0xFFFFu); }
constexpr std::uint16_t high_half(std::uint32_t v) { return static_cast<std::uint16_t>(v >> 16); }
constexpr std::uint32_t join_halves(std::uint16_t low, std::uint16_t high) {
    return static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16);
}

}  // namespace quvex
