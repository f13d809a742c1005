#include "home_sensors.h"

namespace qsim {
namespace {

// Remainder of a by b (b > 0) in 0 .. b - 1, for negative a too.
std::int64_t floor_mod(std::int64_t a, std::int64_t b) {
    const std::int64_t r = a % b;
    return r < 0 ? r + b : r;
}

std::int64_t last_place(const OriginSensor& o) { return o.position + o.width - 1; }

}  // namespace

bool origin_at(const OriginSensor& origin, std::int64_t place) {
    return origin.present && place >= origin.position && place <= last_place(origin);
}

bool index_at(const IndexSensor& index, std::int64_t place) {
    return index.present && floor_mod(place - index.offset, index.period) == 0;
}

std::optional<std::int64_t> pulses_to_origin(const OriginSensor& origin, std::int64_t place, int direction) {
    if (!origin.present) return std::nullopt;
    if (origin_at(origin, place)) return 0;
    // The switch turns on at its near edge.
    const std::int64_t way = direction > 0 ? origin.position - place : place - last_place(origin);
    if (way < 0) return std::nullopt;
    return way;
}

std::int64_t pulses_off_origin(const OriginSensor& origin, std::int64_t place, int direction) {
    if (!origin_at(origin, place)) return 0;
    // The first place beyond the far edge.
    return direction > 0 ? last_place(origin) + 1 - place : place - (origin.position - 1);
}

std::optional<std::int64_t> pulses_to_index(const IndexSensor& index, std::int64_t place, int direction, int count) {
    if (!index.present || count < 1) return std::nullopt;
    // The first index strictly beyond the place, then whole periods.
    const std::int64_t first =
        direction > 0 ? 1 + floor_mod(index.offset - (place + 1), index.period)
                      : 1 + floor_mod((place - 1) - index.offset, index.period);
    return first + static_cast<std::int64_t>(count - 1) * index.period;
}

std::optional<std::int64_t> pulses_to_home_point(const HomeState& sensors, HomeMode mode, int count,
                                                 std::int64_t place, int direction) {
    switch (mode) {
        case HomeMode::origin: return pulses_to_origin(sensors.origin, place, direction);
        case HomeMode::index_only: return pulses_to_index(sensors.index, place, direction, count);
        case HomeMode::origin_then_index: {
            const auto to_origin = pulses_to_origin(sensors.origin, place, direction);
            if (!to_origin) return std::nullopt;
            const auto then = pulses_to_index(sensors.index, place + direction * *to_origin, direction, count);
            if (!then) return std::nullopt;
            return *to_origin + *then;
        }
    }
    return std::nullopt;
}

}  // namespace qsim
