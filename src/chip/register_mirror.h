// The register mirror of one axis: the last value the library wrote to each mirrored register.
// The library never reads a register back to refresh it.
#pragma once

#include <array>
#include <cstdint>

#include "chip/registers.h"

namespace quvex::chip {

// Mirror slots in their fixed order.
enum MirrorSlot : unsigned {
    kEnv1, kEnv2, kEnv3, kEnv4, kEnv5, kEnv6, kEnv7,
    kMirrorOperationMode,
    kMirrorIntFactor,
    kMirrorMoveAmount, kMirrorStartSpeed, kMirrorMaxSpeed, kMirrorAccelRate, kMirrorDecelRate,
    kMirrorSpeedRange, kMirrorRampDownPoint, kMirrorAuxAmount, kMirrorSAccelSection,
    kMirrorSDecelSection, kMirrorCorrectionSpeed,
    kMirrorSlotCount,
};

struct RegisterMirror {
    std::array<std::uint32_t, kMirrorSlotCount> word{};
    std::uint32_t& operator[](MirrorSlot s) { return word[s]; }
    std::uint32_t operator[](MirrorSlot s) const { return word[s]; }
};

// Start-up values of the mirror.
constexpr std::array<std::uint32_t, kMirrorSlotCount> kStartupMirror = {
    0x048002C7, 0x0030C515, 0x00F02000, 0, 0, 0, 0,  // env1..env7
    0x08000000,                                      // operation_mode
    0,                                               // int_factor
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                 // operation registers 0-6, 8-11
};

// Mirror slot of operation register n (0..11).
constexpr MirrorSlot operation_slot(unsigned n) {
    if (n == kOperationMode) return kMirrorOperationMode;
    return static_cast<MirrorSlot>(n < kOperationMode ? kMirrorMoveAmount + n : kMirrorMoveAmount + n - 1);
}

// Live write code of each mirror slot, in slot order.
constexpr std::array<std::uint16_t, kMirrorSlotCount> kMirrorWriteCode = [] {
    std::array<std::uint16_t, kMirrorSlotCount> codes{};
    for (unsigned k = 0; k < 7; ++k) codes[kEnv1 + k] = static_cast<std::uint16_t>(reg::kEnv1 + k);
    codes[kMirrorOperationMode] = static_cast<std::uint16_t>(reg::kOperationLive + kOperationMode);
    codes[kMirrorIntFactor] = reg::kIntFactor;
    for (unsigned n = 0; n < kOperationRegisterCount; ++n) {
        if (n != kOperationMode) codes[operation_slot(n)] = static_cast<std::uint16_t>(reg::kOperationLive + n);
    }
    return codes;
}();

// Mirror slot of env1..env7 (k = 1..7).
constexpr MirrorSlot env_slot(unsigned k) { return static_cast<MirrorSlot>(kEnv1 + (k - 1)); }

}  // namespace quvex::chip
