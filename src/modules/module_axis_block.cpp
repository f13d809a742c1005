#include "modules/module_axis_block.h"

#include "common/bits.h"
#include "modules/module_operation_mode.h"

namespace quvex::modules {

std::optional<std::uint32_t> pinned_range(const ring::ModuleAxisBlock& b) {
    return b.speed_range_fixed == 1 ? std::optional<std::uint32_t>(b.speed_range) : std::nullopt;
}

void store_speeds(ring::ModuleAxisBlock& b, const motion::SpeedRegisters& s) {
    b.speed_range = s.range;
    b.max_speed_reg = s.fh;
    b.start_speed_reg = s.fl;
}

void store_profile(ring::ModuleAxisBlock& b, motion::Curve curve, const motion::SpeedRegisters& s,
                   const motion::RampRates& r, double tdec) {
    const bool s_curve = curve == motion::Curve::kSCurve;
    b.last_decel_time = tdec;
    store_speeds(b, s);
    b.accel_rate = r.accel;
    b.decel_rate = r.decel;
    if (s_curve) {
        b.s_accel_section = r.s_accel;
        b.s_decel_section = r.s_decel;
    }
    b.operation_mode = with_field(b.operation_mode, chip_mode::kSCurve, s_curve ? 1u : 0u);
}

void reset_axis_block(ring::ModuleAxisBlock& b) {
    b.speed_range_fixed = 0;
    b.dio_byte = 0;
    b.operation_mode = 0;
    b.speed_range = 0;
    b.move_amount = 0;
    b.move_ratio = 1.0;
}

}  // namespace quvex::modules
