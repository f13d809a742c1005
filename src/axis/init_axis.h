// Start-up programming of one axis: the card's start-up calls it for each of its four axes.
#pragma once

namespace quvex::axis {

void init_axis(int axis_no);

}  // namespace quvex::axis
