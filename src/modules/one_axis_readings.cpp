#include "modules/one_axis_readings.h"

#include <cmath>

#include "common/bits.h"
#include "card/export_checks.h"
#include "common/numeric.h"
#include "modules/one_axis_codes.h"
#include "modules/one_axis_profile.h"

namespace quvex::modules::m1 {
namespace {

constexpr std::uint16_t kCounterHighMask = 0x0FFF;
constexpr std::uint32_t kDoneMask = 0x0F;

std::uint32_t bits_of(std::uint32_t word, unsigned from, unsigned width, unsigned to) {
    return field_value(word, field(from, width)) << to;
}

}  // namespace

std::int16_t write_counter(OneAxisLink& link, std::uint16_t code, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return link.write(code, join_halves(low_half(v), static_cast<std::uint16_t>(high_half(v) & kCounterHighMask)));
}

std::int16_t read_position(OneAxisLink& link, std::uint32_t* pos) {
    std::uint32_t counter = 0;
    const std::int16_t r = link.read(code::kReadPosition, &counter);
    const double ratio = link.block().move_ratio;
    if (ratio == 0.0) return KRING_ERR_SPEED_ORDER;
    // Sign-extended first, so that negative positions survive a ratio other than 1.
    const double scaled = static_cast<double>(static_cast<std::int32_t>(counter)) / ratio;
    put(pos, static_cast<std::uint32_t>(truncate_to<std::int32_t>(scaled)));
    return r;
}

std::int16_t read_current_speed(OneAxisLink& link, double* speed) {
    std::uint32_t v = 0;
    const std::int16_t r = link.read(code::kReadCurrentSpeed, &v);
    put(speed, static_cast<double>(v & kCurrentSpeedMask) * kUnits.unit_numerator /
                   motion::SpeedUnits::multiplier(link.block().speed_range));
    return r;
}

std::int16_t read_motion_done(OneAxisLink& link, std::uint16_t* done) {
    std::uint32_t v = 0;
    const std::int16_t r = link.read(code::kReadStatus, &v);
    put(done, low_half(v) & kDoneMask);
    return r;
}

std::uint32_t io_status_word(std::uint32_t s, std::uint8_t b) {
    return bits_of(b, 6, 1, 0) | bits_of(s, 5, 4, 1) | bits_of(s, 4, 1, 5) | bits_of(s, 13, 3, 6) |
           bits_of(s, 16, 3, 9) | bits_of(s, 9, 1, 12) | bits_of(s, 19, 1, 13) | bits_of(b, 0, 2, 14);
}

std::int16_t read_io_status(OneAxisLink& link, std::uint32_t* io) {
    std::uint32_t s = 0;
    const std::int16_t r = link.read(code::kReadStatus, &s);
    const std::uint8_t b = link.cyclic_in(port::kInputs);
    link.block().dio_byte = b;
    put(io, io_status_word(s, b));
    return r;
}

std::int16_t read_pending(OneAxisLink& link, std::uint8_t pending_bit, std::uint16_t code, std::uint16_t mask,
                          std::uint16_t* out) {
    if ((link.cyclic_in(port::kFlags) & pending_bit) == 0) {
        put(out, 0);
        return 0;
    }
    std::uint32_t v = 0;
    const std::int16_t r = link.read(code, &v);
    put(out, low_half(v) & mask);
    return r;
}

}  // namespace quvex::modules::m1
