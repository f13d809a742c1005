// The two values an on_off argument of the exports accepts; anything else is refused.
#pragma once

#include <cstdint>

namespace quvex {

constexpr std::int16_t kOn = 1;
constexpr std::int16_t kOff = 0;

}  // namespace quvex
