// Helical interpolation: X and Y of a card run an arc while Z and U run a line beside it, U
// counting the arc's steps; all four start with one command.
#pragma once

#include "interp/arc_move.h"

namespace quvex::interp {

struct Helix {
    ArcGeometry arc;  // X-Y arc
    double ez = 0;    // Z distance (relative) or position (absolute)
};

// curve: kTrapezoid or kSCurve.
quvex_status start_helix(ArcKind kind, int card, const Helix& helix, const PathProfile& profile);

}  // namespace quvex::interp
