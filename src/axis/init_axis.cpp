// Start-up programming of one axis: record and mirror to their start-up values, every mirrored
// register written from the mirror in the chip's start-up order, servo output off.
#include <array>

#include "axis/signal_config.h"
#include "chip/primitives.h"
#include "chip/registers.h"
#include "frame/card_table.h"

namespace quvex::chip {
namespace {

// Mirror slots in the order init_axis writes them (env1..env7, int_factor, operation mode,
// then operation registers 0-6 and 8-11).
constexpr std::array<MirrorSlot, kMirrorSlotCount> kInitOrder = {
    kEnv1, kEnv2, kEnv3, kEnv4, kEnv5, kEnv6, kEnv7, kMirrorIntFactor, kMirrorOperationMode,
    kMirrorMoveAmount, kMirrorStartSpeed, kMirrorMaxSpeed, kMirrorAccelRate, kMirrorDecelRate,
    kMirrorSpeedRange, kMirrorRampDownPoint, kMirrorAuxAmount, kMirrorSAccelSection,
    kMirrorSDecelSection, kMirrorCorrectionSpeed,
};

}  // namespace

void init_axis(int axis_no) {
    AxisRecord& axis = axis_record(axis_no);
    axis = AxisRecord{};
    write_axis_command(axis_no, static_cast<std::uint16_t>(cmd::kOutputOn + cmd::kServoOutput));
    for (MirrorSlot slot : kInitOrder) write_register32(axis_no, kMirrorWriteCode[slot], axis.mirror[slot]);
    quvex::axis::set_servo(axis_no, false);  // the one place that switches the servo output
}

}  // namespace quvex::chip
