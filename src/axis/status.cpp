#include "axis/status.h"

#include <array>

#include "ports/primitives.h"
#include "chip/register_map.h"
#include "chip/registers.h"
#include "common/bits.h"
#include "card/card_table.h"

namespace quvex::axis {
namespace {

constexpr Field kOperationState = chip::status32::kOperationState;
constexpr Field kGeneralInputPin = chip::substatus::kGeneralInputPin;

enum class Source { kSubStatus, kStatusLow, kStatusHigh };

// One run of adjacent source bits and where it lands in io_status.
struct BitRun {
    Source source;
    Field from;
    unsigned to;  // lowest result bit
};

constexpr std::array<BitRun, 7> kIoStatusMap = {{
    {Source::kSubStatus, field(3, 1), 0},
    {Source::kSubStatus, field(11, 4), 1},
    {Source::kStatusLow, field(4, 1), 5},
    {Source::kStatusLow, field(7, 4), 6},
    {Source::kStatusLow, field(13, 3), 10},
    {Source::kStatusHigh, field(0, 1), 13},
    {Source::kSubStatus, field(0, 2), 14},
}};

std::uint16_t read_status_low_high(int axis_no, std::uint16_t* high) {
    std::uint16_t low = 0;
    chip::read_axis_register(axis_no, chip::reg::kReadStatus32, &low, high);
    return low;
}

}  // namespace

std::uint16_t operation_state(int axis_no) {
    std::uint16_t high = 0;
    return static_cast<std::uint16_t>(field_value(read_status_low_high(axis_no, &high), kOperationState));
}

std::uint16_t compose_io_status(std::uint16_t sub_status, std::uint16_t status_low, std::uint16_t status_high) {
    const auto word_of = [&](Source s) -> std::uint32_t {
        switch (s) {
            case Source::kSubStatus: return sub_status;
            case Source::kStatusLow: return status_low;
            case Source::kStatusHigh: return status_high;
        }
        return 0;
    };
    std::uint32_t result = 0;
    for (const BitRun& run : kIoStatusMap) result |= field_value(word_of(run.source), run.from) << run.to;
    return low_half(result);
}

std::uint16_t io_status(int axis_no) {
    std::uint16_t sub = 0;
    chip::read_axis_substatus(axis_no, &sub);
    std::uint16_t high = 0;
    const std::uint16_t low = read_status_low_high(axis_no, &high);
    return compose_io_status(sub, low, high);
}

std::uint16_t general_inputs(int card) {
    std::uint16_t result = 0;
    // Axes Y, Z, U in this order; each lands one bit lower than its axis number.
    for (int axis = 1; axis < kAxesPerCard; ++axis) {
        std::uint16_t sub = 0;
        chip::read_axis_substatus(card * kAxesPerCard + axis, &sub);
        result = static_cast<std::uint16_t>(result | (field_value(sub, kGeneralInputPin) << (axis - 1)));
    }
    return result;
}

}  // namespace quvex::axis
