// Circular interpolation of a pair of one card's axes: the constant-speed, T-curve and S-curve
// arcs, relative and absolute. The relative form of each family does the work; the absolute T and
// S forms turn positions into distances first, the absolute constant-speed arc does its own.
#pragma once

#include <cstdint>

#include "interp/arc_parts.h"
#include "interp/line_move.h"

namespace quvex::interp {

enum class ArcCurve : std::uint8_t { kConstant, kTrapezoid, kSCurve };

struct ArcKind {
    ArcCurve curve;
    Reference reference;
};

// pair: two axis indexes within the card, strictly increasing; the first is the lead axis and
// takes the first coordinates. A constant-speed arc uses only the profile's max_vel.
quvex_status start_arc(ArcKind kind, int card, const std::int16_t* pair, const ArcGeometry& arc,
                       const PathProfile& profile);

}  // namespace quvex::interp
