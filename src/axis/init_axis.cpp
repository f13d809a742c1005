// Start-up programming of one axis: record and mirror to their start-up values, every mirrored
// register written from the mirror in the chip's start-up order, servo output off.
#include "axis/init_axis.h"

#include <array>

#include "axis/signal_config.h"
#include "ports/primitives.h"
#include "chip/registers.h"
#include "card/card_table.h"

namespace quvex::axis {
namespace {

// Mirror slots in the order init_axis writes them (env1..env7, int_factor, operation mode,
// then operation registers 0-6 and 8-11).
constexpr std::array<chip::MirrorSlot, chip::kMirrorSlotCount> kInitOrder = {
    chip::kEnv1, chip::kEnv2, chip::kEnv3, chip::kEnv4, chip::kEnv5, chip::kEnv6, chip::kEnv7,
    chip::kMirrorIntFactor, chip::kMirrorOperationMode, chip::kMirrorMoveAmount, chip::kMirrorStartSpeed,
    chip::kMirrorMaxSpeed, chip::kMirrorAccelRate, chip::kMirrorDecelRate, chip::kMirrorSpeedRange,
    chip::kMirrorRampDownPoint, chip::kMirrorAuxAmount, chip::kMirrorSAccelSection, chip::kMirrorSDecelSection,
    chip::kMirrorCorrectionSpeed,
};

}  // namespace

void init_axis(int axis_no) {
    AxisRecord& record = axis_record(axis_no);
    record = AxisRecord{};
    chip::write_axis_command(axis_no, static_cast<std::uint16_t>(chip::cmd::kOutputOn + chip::cmd::kServoOutput));
    for (chip::MirrorSlot slot : kInitOrder) {
        chip::write_register32(axis_no, chip::kMirrorWriteCode[slot], record.mirror[slot]);
    }
    set_servo(axis_no, false);  // the one place that switches the servo output
}

}  // namespace quvex::axis
