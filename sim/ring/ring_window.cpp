// Every card's ring window is a ring master model.
#include "ring_window.h"

#include "ring_master_model.h"
#include "../card.h"

namespace qsim {

std::unique_ptr<RingWindow> make_ring_window(Card& card) { return std::make_unique<RingMasterModel>(card); }

RingMasterModel& ring_model(Card& card) { return static_cast<RingMasterModel&>(card.ring()); }

}  // namespace qsim
