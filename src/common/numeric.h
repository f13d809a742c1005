// Double-to-integer conversions. Every conversion of a double that could be out of range goes
// through one of these: they saturate to the target type's range and map NaN to 0, so no cast
// of an out-of-range double (undefined behaviour) ever happens.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace quvex {

template <typename Int>
constexpr Int saturate_integral(double v) {
    static_assert(std::is_integral_v<Int>);
    if (std::isnan(v)) return 0;
    constexpr double lo = static_cast<double>(std::numeric_limits<Int>::min());
    // max()+1 is a power of two and exact as a double; anything at or above it saturates.
    constexpr double hi_excl = static_cast<double>(std::numeric_limits<Int>::max() / 2 + 1) * 2.0;
    if (v < lo) return std::numeric_limits<Int>::min();
    if (v >= hi_excl) return std::numeric_limits<Int>::max();
    return static_cast<Int>(v);
}

// Toward zero, as C's conversion does.
template <typename Int>
constexpr Int truncate_to(double v) { return saturate_integral<Int>(std::trunc(v)); }

template <typename Int>
constexpr Int floor_to(double v) { return saturate_integral<Int>(std::floor(v)); }

template <typename Int>
constexpr Int ceil_to(double v) { return saturate_integral<Int>(std::ceil(v)); }

inline bool is_finite(double v) { return std::isfinite(v); }

}  // namespace quvex
