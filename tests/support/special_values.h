// Floating-point values the input-checking tests feed to exports, and pi for the circle tests.
#pragma once

#include <limits>

namespace quvex::test {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kPi = 3.14159265358979323846;

}  // namespace quvex::test
