// The operation kinds of the operation-mode register (bits 0-6) and what the chip does for each
// when a start command takes it over. One table decodes every kind; a kind it does not list runs
// as a positioning move by the move amount.
#pragma once

#include <cstdint>

namespace qsim {

enum class KindMotion {
    positioning,       // the profile over |move amount| in the amount's direction; ends on count
    continuous,        // runs in the kind's direction until stopped
    home,              // an origin operation in the kind's direction (home_operation.h)
    line,              // the selected axes move as one straight line (a path)
    arc,               // two selected axes step around the centre (arc_path.h); bit 0 set: counter-clockwise
    helix,             // an arc with the other selected axes beside it in proportion
    external,          // armed by its start: moves on jog or step presses and hand-wheel turns
};

struct OperationKind {
    std::uint8_t code;
    KindMotion motion;
    int direction;     // continuous kinds: +1 or -1; 0 where the move amount's sign decides
    bool placeholder;  // the chip's own behaviour for the kind is not modelled yet (see the docs)
    const char* name;
    bool paced_by_pulser = false;  // the move stands until hand-wheel pulses pace it
};

// The entry of a kind (bits 0-6 of the operation-mode register); an unlisted kind decodes as
// "unknown", a positioning move.
const OperationKind& decode_kind(std::uint32_t kind);

}  // namespace qsim
