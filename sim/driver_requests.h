// Codes of the requests the virtual driver serves on a card's device handle.
#pragma once

#include <cstdint>

namespace qsim::driver_request {

constexpr std::uint32_t kCardResources = 0x223400;  // compare area address and the three port bases
constexpr std::uint32_t kRingResources = 0x223404;  // driver revision and slot, ring window, interrupt line
constexpr std::uint32_t kInterruptStatus = 0x223408;  // an axis's kept event bits and stop reasons
constexpr std::uint32_t kErrorStatus = 0x22340C;      // an axis's kept stop reasons

}  // namespace qsim::driver_request
