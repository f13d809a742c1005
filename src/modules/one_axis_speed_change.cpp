#include "modules/one_axis_speed_change.h"

#include <cmath>

#include "modules/one_axis_codes.h"
#include "modules/one_axis_profile.h"
#include "modules/module_link.h"
#include "quvex/quvex_base.h"

namespace quvex::modules::m1 {

std::int16_t change_speed(OneAxisLink& link, double new_vel, double time) {
    ring::ModuleAxisBlock& b = link.block();
    std::uint32_t reading = 0;
    link.read(code::kReadCurrentSpeed, &reading);
    const std::uint32_t current = reading & kCurrentSpeedMask;
    const std::uint32_t fh = speed_register(b.speed_range, std::fabs(new_vel));
    if (fh == current || fh == b.start_speed_reg) return KRING_ERR_SPEED_CHANGE_SAME;

    const bool positioning = (b.operation_mode & mode::kPositioningBits) != 0;
    const SpeedChange c =
        plan_speed_change(b.speed_range, fh, current, b.start_speed_reg, time, b.last_decel_time, positioning);
    if (positioning) {
        std::uint32_t remaining = 0;
        link.read(code::kReadRemaining, &remaining);
        if (c.change_pulses + static_cast<double>(c.ramp_down_point) > static_cast<double>(remaining)) {
            return KRING_ERR_SPEED_CHANGE_ROOM;
        }
    }
    ModuleSink<OneAxisLink> sink(link);
    b.max_speed_reg = c.fh;
    sink.write(chip::kMaxSpeed, c.fh);
    if (c.slowing) {
        b.decel_rate = c.rate;
        b.s_decel_section = 0;
        sink.write(chip::kSDecelSection, 0);
        sink.write(chip::kDecelRate, c.rate);
    } else {
        b.accel_rate = c.rate;
        b.s_accel_section = 0;
        sink.write(chip::kSAccelSection, 0);
        sink.write(chip::kAccelRate, c.rate);
        if (positioning) {
            b.decel_rate = c.decel_rate;
            sink.write(chip::kDecelRate, c.decel_rate);
        }
    }
    if (positioning) {
        b.ramp_down_point = c.ramp_down_point;
        sink.write(chip::kRampDownPoint, c.ramp_down_point);
    }
    return QUVEX_OK;
}

}  // namespace quvex::modules::m1
