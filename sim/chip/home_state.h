// The origin side of one chip axis: where the axis physically is, the origin switch and the
// encoder index it passes, and the stage of a running origin operation (home return, escape,
// home search).
//
// The axis's place is counted apart from its counters: a home end or a counter write changes
// what the counters read, not where the axis stands, and the sensors are fixed to the machine.
// The place starts at 0 with the counters, so until something sets a counter it reads what the
// command counter reads.
#pragma once

#include <cstdint>
#include <memory>

namespace qsim {

// An origin switch active on the places position .. position + width - 1.
struct OriginSensor {
    bool present = false;
    std::int64_t position = 0;
    std::int64_t width = 1;
};

// An encoder index pulse on every place p with (p - offset) a multiple of period.
struct IndexSensor {
    bool present = false;
    std::int64_t period = 1;
    std::int64_t offset = 0;
};

enum class HomeStage {
    none,        // no origin operation runs
    escaping,    // leaving the origin switch
    searching,   // running to the home point (origin, index count)
    correcting,  // slowing past the home point, then back to it at the correction speed
    offsetting,  // a home search moving its offset amount from the home point
};

struct HomeState {
    std::int64_t place = 0;  // pulses from the machine's zero, in the counters' direction
    OriginSensor origin;
    IndexSensor index;

    HomeStage stage = HomeStage::none;
    bool search = false;               // the operation is a home search (it moves its offset after)
    std::int64_t offset = 0;           // the search's signed offset amount
    std::int64_t home_point = 0;       // the home point in the move's own coordinate (from its start)

    // The deviation-clear pulse: the timer that ends it, and a token the timer checks so that it
    // does nothing once the chip is gone.
    std::uint64_t erc_timer = 0;
    std::int64_t erc_ends_at = 0;
    std::shared_ptr<int> alive = std::make_shared<int>(0);
};

}  // namespace qsim
