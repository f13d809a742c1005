// The one builder of speed profiles: from a start speed, a maximum speed, ramp times and
// S-curve sections to the values of the speed-range, speed and rate registers of a pulse-train
// chip. Every user runs the same steps (range from the table or a pinned one, FH and FL in the
// chip's units with the tie broken, T or S rates over FH - FL) and differs only in its units
// (chip/speed_units.h) and in its rules for the edge cases (ProfileRules). The card's chips
// follow the default rules; each module kind states where it departs from them.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <span>

#include "chip/speed_units.h"

namespace quvex::motion {

struct SpeedRegisters {
    std::uint32_t range = 0;  // R (register 5)
    std::uint32_t fh = 0;     // maximum speed (register 2)
    std::uint32_t fl = 0;     // start speed (register 1)
};

struct RampRates {
    std::uint32_t accel = 0;    // UR (register 3)
    std::uint32_t decel = 0;    // DR (register 4)
    std::uint32_t s_accel = 0;  // US (register 9), S-curve
    std::uint32_t s_decel = 0;  // DS (register 10), S-curve
};

struct Profile {
    SpeedRegisters speeds;
    RampRates rates;
};

// What a T rate whose floor(t · clock / span - 1) comes out below 0 becomes, and the lowest
// rate kept otherwise (a rate at or above it and up to the register's top is sent as it is).
struct RateFloor {
    std::uint32_t negative;
    std::uint32_t lowest;
};

// Which S sections widen the span an S rate is counted over (span + 2 · section).
enum class SectionWidening : std::uint8_t {
    kEverySection,  // any section not 0
    kAboveOne,      // a section of 1 ramps linearly over the plain span
    kNone,          // sections never widen the span
};

// The edge-case rules of one chip kind. The defaults are the card's own chips.
struct ProfileRules {
    // FL for a start speed beyond the top of the speed register (none: the top itself).
    std::optional<std::uint32_t> start_beyond_top = std::nullopt;
    bool raise_fh_to_fl = false;  // FH becomes FL when the start speed came out higher
    RateFloor accel_floor = {.negative = 0, .lowest = 0};
    RateFloor decel_floor = {.negative = 1, .lowest = 1};
    std::uint32_t section_without_sv = 0;   // the S section of an sv of 0
    bool wide_section_is_pure_s = false;    // a section above half the speed change gives 0
    SectionWidening widening = SectionWidening::kEverySection;
    std::optional<std::uint32_t> max_s_rate = std::nullopt;  // the top of an S rate (none: the T rates')
    // The speed-range pin: its own table (empty: the units' table) and the start speed its FL
    // is counted from (neither raised to the lowest start speed nor tie-broken).
    std::span<const chip::RangeRow> pin_range_table = {};
    double pin_start_speed = 0.0;
};

inline constexpr ProfileRules kCardChipRules{};

class ProfileBuilder {
public:
    constexpr explicit ProfileBuilder(const chip::SpeedUnits& units, const ProfileRules& rules = kCardChipRules)
        : units_(&units), rules_(&rules) {}

    const chip::SpeedUnits& units() const { return *units_; }

    // Range (the pinned one, or the table's), then FH and FL with the start speed raised to the
    // lowest one and the tie broken.
    SpeedRegisters speeds(double str_vel, double max_vel, std::optional<std::uint32_t> pinned_range) const;
    RampRates t_rates(const SpeedRegisters& s, double tacc, double tdec) const;
    // `speed_change` (pps) is what wide_section_is_pure_s measures a section against; where
    // the speeds come from the registers it is unknown and no section counts as wide.
    RampRates s_rates(const SpeedRegisters& s, double tacc, double tdec, double sv_acc, double sv_dec,
                      double speed_change = std::numeric_limits<double>::infinity()) const;

    Profile t_profile(double str_vel, double max_vel, double tacc, double tdec,
                      std::optional<std::uint32_t> pinned_range) const;
    Profile s_profile(double str_vel, double max_vel, double tacc, double tdec, double sv_acc, double sv_dec,
                      std::optional<std::uint32_t> pinned_range) const;

    // The speed-range pin: range from the pin table, FH from max_vel, FL from the pin's start.
    SpeedRegisters pinned_speeds(double max_vel) const;

private:
    std::uint32_t start_units(double m, double str_vel) const;
    std::uint32_t t_rate(double t, double span, RateFloor floor) const;
    std::uint32_t s_section(double m, double sv, double speed_change) const;
    std::uint32_t s_rate(double t, double span, std::uint32_t section) const;

    const chip::SpeedUnits* units_;
    const ProfileRules* rules_;
};

}  // namespace quvex::motion
