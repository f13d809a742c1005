#include "modules/four_axis_status.h"

#include "common/bits.h"

namespace quvex::modules::m4 {
namespace {

// Moves the bits of `from` (in `source`) into the field `to` of the result.
constexpr std::uint32_t moved(std::uint32_t source, Field from, Field to) {
    return with_field(0, to, field_value(source, from));
}

}  // namespace

std::uint32_t io_status(std::uint32_t s, std::uint8_t b, std::uint16_t w) {
    return moved(b, field(3, 1), field(0, 1)) | moved(w, field(11, 4), field(1, 4)) |
           moved(s, field(16, 1), field(5, 1)) | moved(s, field(7, 4), field(6, 4)) |
           moved(s, field(13, 3), field(11, 3)) | moved(b, field(0, 2), field(14, 2));
}

std::uint16_t manual_status(std::uint16_t v) {
    return static_cast<std::uint16_t>((v & 0x7Fu) | ((v & 0x80u) << 2) | ((v & 0x300u) >> 2) | (v & 0xFC00u));
}

}  // namespace quvex::modules::m4
