// Comparators 1..3 and latches 1..3 of a one-axis module. Their modes live in env4; data are
// scaled by the move ratio when the comparator's scale bit (the low source bit) is set.
#pragma once

#include <cstdint>

#include "modules/one_axis_link.h"

namespace quvex::modules::m1 {

// 0, KRING_ERR_COMPARATOR_WRITE (comparator number or write), KRING_ERR_COMPARATOR_SOURCE (source),
// KRING_ERR_COMPARATOR_ACTION (action), KRING_ERR_COMPARATOR_METHOD (method).
std::int16_t set_comparator_mode(OneAxisLink& link, std::int16_t comparator, std::int16_t source, std::int16_t method,
                                 std::int16_t action);
// 0, KRING_ERR_COMPARATOR_WRITE (comparator number or write), KRING_ERR_MOVE_RANGE (scaled data out of
// range).
std::int16_t set_comparator_data(OneAxisLink& link, std::int16_t comparator, double data);
// 0, KRING_ERR_COMPARATOR_READ_NO (comparator number), KRING_ERR_COMPARATOR_READ (read failed),
// KRING_ERR_SPEED_ORDER (scaled with a ratio of 0).
std::int16_t get_comparator_data(OneAxisLink& link, std::int16_t comparator, double* data);
std::int16_t set_trigger_comparator(OneAxisLink& link, std::uint16_t source, std::uint16_t method);
std::int16_t set_auto_trigger(OneAxisLink& link, std::uint16_t edge, std::uint16_t source, std::uint16_t data,
                              std::uint16_t flag);
// Latch 1..3 checked by the caller; KRING_ERR_LATCH_READ (read failed), KRING_ERR_SPEED_ORDER (latch 3 with a
// ratio of 0).
std::int16_t get_latch_data(OneAxisLink& link, std::int16_t latch, double* data);

}  // namespace quvex::modules::m1
