#include "operation_kinds.h"

#include <array>

namespace qsim {
namespace {

using K = KindMotion;

// Manual kinds: 0x01, 0x02 and 0x56 arm the axis for the hand wheel, jog or step; the pulser
// kinds run as their motion says, paced by the hand wheel's pulses (manual_state.h). The pulser
// arcs follow the arc path like the plain arcs; the pulser home searches search as a home does.
// Origin kinds 0x10-0x1D: bit 3 is the direction (set: -); the low bits choose the operation
// (0 home return, 2 escape, 5 home search; the other origin kinds run as the home return).
constexpr OperationKind kKinds[] = {
    {0x00, K::continuous, +1, false, "continuous +"},
    {0x01, K::external, 0, false, "hand wheel / pulser speed"},
    {0x02, K::external, 0, false, "jog"},
    {0x08, K::continuous, -1, false, "continuous -"},
    {0x10, K::home, +1, false, "home return +"},
    {0x11, K::home, +1, false, "home return (origin kind 1) +"},
    {0x12, K::home, +1, false, "escape home +"},
    {0x13, K::home, +1, false, "home return (origin kind 3) +"},
    {0x14, K::home, +1, false, "home return (origin kind 4) +"},
    {0x15, K::home, +1, false, "home search +"},
    {0x16, K::home, +1, false, "home return (origin kind 6) +"},
    {0x17, K::home, +1, false, "home return (origin kind 7) +"},
    {0x18, K::home, -1, false, "home return -"},
    {0x19, K::home, -1, false, "home return (origin kind 1) -"},
    {0x1A, K::home, -1, false, "escape home -"},
    {0x1B, K::home, -1, false, "home return (origin kind 3) -"},
    {0x1C, K::home, -1, false, "home return (origin kind 4) -"},
    {0x1D, K::home, -1, false, "home search -"},
    {0x41, K::positioning, 0, false, "positioning"},
    {0x51, K::positioning, 0, false, "pulser positioning", true},
    {0x54, K::home, +1, false, "pulser home search +", true},
    {0x55, K::home, -1, false, "pulser home search -", true},
    {0x56, K::external, 0, false, "step"},
    {0x61, K::line, 0, false, "line"},
    {0x63, K::line, 0, false, "module line"},
    {0x64, K::arc, 0, false, "arc clockwise"},
    {0x65, K::arc, 0, false, "arc counter-clockwise"},
    {0x66, K::helix, 0, false, "helix clockwise"},
    {0x67, K::helix, 0, false, "helix counter-clockwise"},
    {0x6A, K::line, 0, false, "pulser line", true},
    {0x6C, K::arc, 0, false, "pulser arc clockwise", true},
    {0x6D, K::arc, 0, false, "pulser arc counter-clockwise", true},
};

constexpr OperationKind kUnknown{0xFF, K::positioning, 0, false, "unknown"};

constexpr std::array<std::int8_t, 128> index_table() {
    std::array<std::int8_t, 128> index{};
    for (auto& i : index) i = -1;
    for (std::size_t i = 0; i < sizeof kKinds / sizeof kKinds[0]; ++i) index[kKinds[i].code] = static_cast<std::int8_t>(i);
    return index;
}

constexpr std::array<std::int8_t, 128> kIndex = index_table();

}  // namespace

const OperationKind& decode_kind(std::uint32_t kind) {
    const std::int8_t i = kIndex[kind & 0x7Fu];
    return i < 0 ? kUnknown : kKinds[i];
}

}  // namespace qsim
