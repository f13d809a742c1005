#include "motion/group_sync.h"

#include "ports/primitives.h"
#include "chip/register_map.h"
#include "chip/registers.h"
#include "common/bits.h"
#include "card/card_table.h"

namespace quvex::motion {

void set_sync_option(std::int16_t axis, std::int16_t opt_bit24, std::int16_t opt_bit25, std::int16_t opt_low,
                     std::int16_t opt_high) {
    using namespace chip::opmode;
    std::uint32_t mode = axis_record(axis).mirror[chip::kMirrorOperationMode];
    mode = with_field(mode, kSyncOption24, opt_bit24 == 1 ? 1 : 0);
    mode = with_field(mode, kSyncOption25, opt_bit25 == 1 ? 1 : 0);
    mode &= ~kSyncOptions.mask;
    // The option values are not range-checked: what does not fit its field spills into the
    // neighbouring bits of the high half, never beyond it.
    const std::uint16_t low = static_cast<std::uint16_t>(opt_low);
    const std::uint16_t high = static_cast<std::uint16_t>(opt_high);
    const std::uint16_t placed =
        static_cast<std::uint16_t>((low << (kSyncLow.shift - 16)) | (high << (kSyncHigh.shift - 16)));
    mode |= join_halves(0, placed);
    chip::write_mirrored(axis, chip::kMirrorOperationMode, chip::kMirrorWriteCode[chip::kMirrorOperationMode], mode);
    chip::update_mirrored(axis, chip::kEnv2, chip::env2::kContinuousInterp.mask, chip::env2::kContinuousInterp.mask);
}

void set_sync_stop_mode(std::int16_t axis, std::int16_t mode) {
    chip::update_mirrored(axis, chip::kEnv1, chip::env1::kSyncStopMode.mask,
                          mode == 1 ? chip::env1::kSyncStopMode.mask : 0);
}

void start_all(std::int16_t axis) { chip::write_axis_command(axis, chip::cmd::kSyncStart); }
void stop_all(std::int16_t axis) { chip::write_axis_command(axis, chip::cmd::kSyncStop); }

}  // namespace quvex::motion
