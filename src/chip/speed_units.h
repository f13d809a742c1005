// The units the library's pulse-train chips count speeds and ramps in, and the widths of their
// profile registers: the card's own chips, and the chips of the one-axis and four-axis modules.
// Readings (counters, current speed) convert with them as well as planning, so they sit with the
// chip words rather than with the move planner.
#pragma once

#include <cstdint>
#include <span>

namespace quvex::chip {

// A row of a speed-range table: applies when the maximum speed is above `above` (pps). Tables
// are scanned from the top, so the finest range that still holds the speed is chosen.
struct RangeRow {
    double above;
    std::uint32_t range;
};

struct SpeedUnits {
    double unit_numerator;            // one speed unit = unit_numerator / (R + 1) pps
    double rate_clock;                // ramp clock counts per second (a pure S ramp counts half as fast)
    std::span<const RangeRow> range_table;
    std::uint32_t min_range;          // clamps of the table's choice
    std::uint32_t max_range;
    std::uint32_t max_speed;          // FH and FL lie in 1..max_speed
    std::uint32_t top_tie_start;      // FL when FL = FH = max_speed
    std::uint32_t max_rate;           // UR and DR
    std::uint32_t max_s_section;      // US and DS when not 0
    std::uint32_t max_ramp_down_point = 16777215;  // 24 bits on every chip
    // Distance divisor of a linear ramp, pulses = (FH² - FL²)(rate + 1) / (scale · m): derived
    // from the clock and the unit by with_ramp_scale, kept so that planning does not divide for it.
    double linear_ramp_scale = 0;

    // Speed units per pps at range R are m / unit_numerator with m = R + 1.
    static constexpr double multiplier(std::uint32_t range) { return static_cast<double>(range) + 1.0; }
    // A pure S ramp lasts twice as long for the same speed change.
    constexpr double pure_s_ramp_scale() const { return linear_ramp_scale / 2.0; }
};

constexpr SpeedUnits with_ramp_scale(SpeedUnits u) {
    u.linear_ramp_scale = 2.0 * u.rate_clock / u.unit_numerator;
    return u;
}

// ---- the speed-range tables ----
// The card's own chips.
inline constexpr RangeRow kLocalRangeTable[] = {
    {3276750.0, 2}, {1310700.0, 5}, {655350.0, 14}, {327675.0, 29}, {131070.0, 59},
    {65535.0, 149}, {32767.5, 299}, {13107.0, 599}, {6553.5, 1499}, {0.0, 2999},
};
// The one-axis module.
inline constexpr RangeRow kOneAxisModuleRangeTable[] = {
    {5000000.0, 2}, {2000000.0, 3}, {1000000.0, 9}, {500000.0, 19}, {200000.0, 39},
    {100000.0, 99}, {50000.0, 199}, {20000.0, 399}, {10000.0, 999}, {0.0, 1999},
};
// The four-axis module: given by unit u (pps); R = 1200 / u - 1.
inline constexpr RangeRow kFourAxisModuleRangeTable[] = {
    {6553200.0, 1}, {3276600.0, 2}, {1638300.0, 5}, {819150.0, 11}, {327660.0, 23}, {163830.0, 59},
    {81915.0, 119}, {32766.0, 239}, {16383.0, 599}, {8191.0, 1199}, {4914.0, 2399}, {0.0, 3999},
};

// ---- the chips, one a row ----
// Columns: unit numerator (pps), ramp clock (counts/s), range table, R from and to, top FH and FL,
// FL of a tie at the top, top UR and DR, top US and DS. The card's chips count 16-bit speeds, the
// one-axis module's speeds run to 100 000 (17 bits) and the four-axis module's are 14-bit; its
// clock is 19 660 800 / 2.
inline constexpr SpeedUnits kLocalChipUnits =
    with_ramp_scale({300.0, 4915200.0, kLocalRangeTable, 2, 2999, 65535, 65534, 65535, 32767});
inline constexpr SpeedUnits kOneAxisModuleUnits =
    with_ramp_scale({200.0, 5000000.0, kOneAxisModuleRangeTable, 2, 1999, 100000, 500, 65535, 50000});
inline constexpr SpeedUnits kFourAxisModuleUnits =
    with_ramp_scale({1200.0, 9830400.0, kFourAxisModuleRangeTable, 1, 3999, 16383, 8192, 16383, 8191});

}  // namespace quvex::chip
