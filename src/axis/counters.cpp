#include "axis/counters.h"

#include "axis/move_ratio.h"
#include "ports/primitives.h"
#include "chip/register_mirror.h"
#include "chip/registers.h"
#include "chip/speed_units.h"
#include "common/bits.h"
#include "common/numeric.h"
#include "card/card_table.h"

namespace quvex::axis {
namespace {

// The chip's command counter takes 28 bits: 16 in the low data word, 12 in the high one.
constexpr Field kCommandCounterHigh = field(0, 12);

std::int32_t read_signed(int axis_no, std::uint16_t read_code) {
    return static_cast<std::int32_t>(chip::read_register32(axis_no, read_code));
}

}  // namespace

bool pulses_in_range(double pulses) { return pulses >= kMinPulses && pulses <= kMaxPulses; }

double position(int axis_no) {
    return static_cast<double>(read_signed(axis_no, chip::reg::kReadPositionCounter)) / move_ratio(axis_no);
}

bool position_fits(int axis_no, double pos) { return pulses_in_range(pos * move_ratio(axis_no)); }

bool set_position(int axis_no, double pos) {
    if (!position_fits(axis_no, pos)) return false;
    const double pulses = pos * move_ratio(axis_no);
    AxisRecord& rec = axis_record(axis_no);
    rec.prev_target_pos = pulses;
    rec.target_pos = pulses;
    chip::write_register32(axis_no, chip::reg::kPositionCounter,
                           static_cast<std::uint32_t>(truncate_to<std::int32_t>(pulses)));
    return true;
}

double target_position(int axis_no) { return axis_record(axis_no).target_pos; }
void reset_target_position(int axis_no, double pos) { axis_record(axis_no).target_pos = pos; }

std::int32_t command_counter(int axis_no) { return read_signed(axis_no, chip::reg::kReadCommandCounter); }

void set_command_counter(int axis_no, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    chip::write_axis_register(axis_no, chip::reg::kCommandCounter, low_half(bits),
                              static_cast<std::uint16_t>(field_value(high_half(bits), kCommandCounterHigh)));
}

std::int16_t error_counter_low(int axis_no) {
    return static_cast<std::int16_t>(low_half(chip::read_register32(axis_no, chip::reg::kReadErrorCounter)));
}

void clear_error_counter(int axis_no) { chip::write_axis_command(axis_no, chip::cmd::kClearErrorCounter); }

double speed_from_register(std::uint32_t speed_register, std::uint32_t speed_range) {
    const chip::SpeedUnits& units = chip::kLocalChipUnits;
    return static_cast<double>(low_half(speed_register)) * units.unit_numerator / units.multiplier(speed_range);
}

double current_speed(int axis_no) {
    // The range is taken first: it is the one the speed register's units were set with.
    const std::uint32_t range = axis_record(axis_no).mirror[chip::kMirrorSpeedRange];
    return speed_from_register(chip::read_register32(axis_no, chip::reg::kReadCurrentSpeed), range);
}

std::int32_t remaining_pulses(int axis_no) { return read_signed(axis_no, chip::reg::kReadRemainingPulses); }

std::int32_t ramp_down_point(int axis_no) {
    return read_signed(axis_no, static_cast<std::uint16_t>(chip::reg::kOperationRead + chip::kRampDownPoint));
}

}  // namespace quvex::axis
