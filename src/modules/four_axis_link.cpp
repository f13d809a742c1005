#include "modules/four_axis_link.h"

#include "common/bits.h"
#include "modules/four_axis_codes.h"
#include "quvex/quvex_base.h"

namespace quvex::modules::m4 {

std::int16_t FourAxisLink::read_module(std::uint16_t address, std::uint16_t* value) {
    const std::array<std::uint16_t, 1> message{word::read_module(address)};
    Reply reply{};
    const std::int16_t sent = transport_.query(message, reply);
    if (sent != 0 || reply[0] != message[0]) return KRING_ERR_NOT_ECHOED;
    *value = reply[1];
    return QUVEX_OK;
}

std::int16_t FourAxisLink::write_module(std::uint16_t address, std::uint16_t value) {
    const std::array<std::uint16_t, 2> message{word::write_module(address), value};
    return transport_.send(message) == 0 ? std::int16_t{QUVEX_OK} : std::int16_t{KRING_ERR_MESSAGE};
}

std::int16_t FourAxisLink::write_axis(int axis, std::uint16_t code, std::uint32_t value) {
    const std::array<std::uint16_t, 5> message{word::axis_data_write(axis), low_half(value), high_half(value),
                                               word::axis_command(axis), code};
    return transport_.send(message) == 0 ? std::int16_t{QUVEX_OK} : std::int16_t{KRING_ERR_AXIS_WRITE};
}

bool FourAxisLink::read_axis(int axis, std::uint16_t code, std::uint32_t* value) {
    const std::array<std::uint16_t, 3> message{word::axis_command(axis), code, word::axis_data_read(axis)};
    Reply reply{};
    const std::int16_t sent = transport_.query(message, reply);
    if (sent != 0 || reply[0] != word::axis_data_read(axis)) return false;
    *value = join_halves(reply[1], reply[2]);
    return true;
}

bool FourAxisLink::read_motion_data(int axis, MotionData& data) {
    const std::uint16_t command = word::axis_command(axis);
    const std::uint16_t read = word::axis_data_read(axis);
    const std::array<std::uint16_t, 9> message{command, code::kReadCommand,  read, command, code::kReadPosition,
                                               read,    command,             code::kReadStatus, read};
    Reply reply{};
    transport_.query(message, reply);
    // Only the first echo is judged; each value follows its own echo.
    if (reply[0] != read) return false;
    data = {reply[1], reply[2], reply[4], reply[5], reply[7], reply[8]};
    return true;
}

}  // namespace quvex::modules::m4
