// Discovery and opening of the cards, and the orderly shut-down.
#pragma once

#include <cstdint>

#include "quvex/quvex_base.h"

namespace quvex::frame {

quvex_status initialise_cards(std::int16_t* count);
quvex_status close_cards();

}  // namespace quvex::frame
