// Where an axis meets its origin switch and its encoder index, in closed form from its place and
// direction: the origin operations run to these distances as events of their own, never by
// looking at each pulse.
#pragma once

#include <cstdint>
#include <optional>

#include "home_state.h"

namespace qsim {

bool origin_at(const OriginSensor& origin, std::int64_t place);
bool index_at(const IndexSensor& index, std::int64_t place);

// Pulses from `place` in `direction` (+1 / -1) until the origin switch turns on; 0 when it is on
// already, none when it lies behind or is absent.
std::optional<std::int64_t> pulses_to_origin(const OriginSensor& origin, std::int64_t place, int direction);
// Pulses until the origin switch turns off (0 when it is off already).
std::int64_t pulses_off_origin(const OriginSensor& origin, std::int64_t place, int direction);
// Pulses to the `count`-th index pulse strictly beyond `place`; none without an index.
std::optional<std::int64_t> pulses_to_index(const IndexSensor& index, std::int64_t place, int direction, int count);

// What ends a home return's search.
enum class HomeMode { origin, origin_then_index, index_only };

// Pulses from `place` to the home point of the mode: the origin; the `count`-th index after the
// origin; the `count`-th index from the start. None when a sensor the mode needs is not ahead.
std::optional<std::int64_t> pulses_to_home_point(const HomeState& sensors, HomeMode mode, int count,
                                                 std::int64_t place, int direction);

}  // namespace qsim
