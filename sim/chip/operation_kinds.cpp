#include "operation_kinds.h"

#include <array>

namespace qsim {
namespace {

using K = KindMotion;

// Home kinds 0x10-0x1D: bit 3 is the direction (set: -); the low bits choose the origin
// operation. Until origin switches act on motion, a home return or escape runs towards its
// direction until stopped (an end limit stops it), and a home search runs its offset amount.
constexpr OperationKind kKinds[] = {
    {0x00, K::continuous, +1, false, "continuous +"},
    {0x01, K::external, 0, true, "hand wheel / pulser speed"},
    {0x02, K::external, 0, true, "jog"},
    {0x08, K::continuous, -1, false, "continuous -"},
    {0x10, K::continuous, +1, true, "home return +"},
    {0x11, K::continuous, +1, true, "home (origin mode 1) +"},
    {0x12, K::continuous, +1, true, "escape home +"},
    {0x13, K::continuous, +1, true, "home (origin mode 3) +"},
    {0x14, K::continuous, +1, true, "home (origin mode 4) +"},
    {0x15, K::positioning, 0, true, "home search +"},
    {0x16, K::continuous, +1, true, "home (origin mode 6) +"},
    {0x17, K::continuous, +1, true, "home (origin mode 7) +"},
    {0x18, K::continuous, -1, true, "home return -"},
    {0x19, K::continuous, -1, true, "home (origin mode 1) -"},
    {0x1A, K::continuous, -1, true, "escape home -"},
    {0x1B, K::continuous, -1, true, "home (origin mode 3) -"},
    {0x1C, K::continuous, -1, true, "home (origin mode 4) -"},
    {0x1D, K::positioning, 0, true, "home search -"},
    {0x41, K::positioning, 0, false, "positioning"},
    {0x51, K::external, 0, true, "pulser positioning"},
    {0x54, K::external, 0, true, "pulser home search +"},
    {0x55, K::external, 0, true, "pulser home search -"},
    {0x56, K::external, 0, true, "step"},
    {0x61, K::line, 0, false, "line"},
    {0x63, K::line, 0, false, "module line"},
    {0x64, K::arc, 0, false, "arc clockwise"},
    {0x65, K::arc, 0, false, "arc counter-clockwise"},
    {0x66, K::helix, 0, false, "helix clockwise"},
    {0x67, K::helix, 0, false, "helix counter-clockwise"},
    {0x6A, K::external, 0, true, "pulser line"},
    {0x6C, K::external, 0, true, "pulser arc clockwise"},
    {0x6D, K::external, 0, true, "pulser arc counter-clockwise"},
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
