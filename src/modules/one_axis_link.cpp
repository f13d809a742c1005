#include "modules/one_axis_link.h"

#include <array>

#include "common/bits.h"

namespace quvex::modules::m1 {

std::int16_t OneAxisLink::command(std::uint16_t code) { return write(code, 0); }

std::int16_t OneAxisLink::write(std::uint16_t code, std::uint32_t value) {
    const std::array<std::uint16_t, 3> frame{code, low_half(value), high_half(value)};
    return master_.send(slave_, frame);
}

std::int16_t OneAxisLink::read(std::uint16_t code, std::uint32_t* value) {
    return master_.request(slave_, code, value);
}

}  // namespace quvex::modules::m1
