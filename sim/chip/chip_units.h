// The units a motion chip counts in. The card's chips, the one-axis module's chip and the
// four-axis module's chips share one register and command set but differ in their speed unit,
// their rate clock and the width of their speed registers.
#pragma once

#include <cstdint>

#include "compare_layout.h"

namespace qsim {

struct ChipUnits {
    // One speed unit is speed_numerator / (speed_range + 1) pulses per second.
    double speed_numerator;
    // Counts per second of the clock the acceleration and deceleration rates divide: a linear
    // ramp takes one speed unit every (rate + 1) counts.
    double rate_clock_hz;
    // Width of the start and maximum speed registers, in bits.
    unsigned speed_bits;
    // Width of the move amount register, in bits; the top bit is its sign.
    unsigned amount_bits = 32;
    // Where the comparators' configuration sits in the environment registers.
    const CompareLayout* compare = &kCardCompareLayout;

    std::uint32_t speed_mask() const { return (std::uint32_t{1} << speed_bits) - 1u; }
    // The move amount register as a signed number of pulses.
    std::int64_t signed_amount(std::uint32_t reg) const {
        const unsigned unused = 32u - amount_bits;
        return static_cast<std::int32_t>(reg << unused) >> unused;
    }
    // The divisor of the chip's ramp-distance estimate (rate + 1) * (high + low) * units / divisor:
    // 2 * clock / numerator, 32768 on the card's chip.
    double ramp_distance_divisor() const { return 2.0 * rate_clock_hz / speed_numerator; }
};

// The card's own chip: 300 / (R + 1) pps, 4 915 200 counts per second, 16-bit speeds.
constexpr ChipUnits kCardChipUnits{300.0, 4915200.0, 16};
// The one-axis module's chip: 200 / (R + 1) pps, 5 000 000 counts per second (a pure S-ramp
// lasts twice as long, as if counted at 2 500 000), 17-bit speeds (up to 100 000 units), a
// 28-bit move amount, its own comparator layout.
constexpr ChipUnits kOneAxisModuleUnits{200.0, 5000000.0, 17, 28, &kOneAxisCompareLayout};
// The four-axis module's chips: 1200 / (R + 1) pps, 9 830 400 counts per second (its rates are
// programmed as 19 660 800 / (2 * span)), 14-bit speeds, a 28-bit move amount.
constexpr ChipUnits kFourAxisModuleUnits{1200.0, 9830400.0, 14, 28};

}  // namespace qsim
