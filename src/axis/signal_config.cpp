#include "axis/signal_config.h"

#include <initializer_list>

#include "axis/move_ratio.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "chip/register_mirror.h"
#include "chip/registers.h"
#include "common/bits.h"
#include "common/on_off.h"
#include "card/card_table.h"

namespace quvex::axis {
namespace {

using chip::MirrorSlot;

struct FieldChange {
    Field field;
    std::int16_t value;  // masked to the field's width
};

// Clear mask and new bits of a set of field changes.
struct MaskedBits {
    std::uint32_t clear = 0;
    std::uint32_t set = 0;
};

MaskedBits masked_bits(std::initializer_list<FieldChange> changes) {
    MaskedBits bits;
    for (const FieldChange& c : changes) {
        bits.clear |= c.field.mask;
        bits.set = with_field(bits.set, c.field, static_cast<std::uint16_t>(c.value));
    }
    return bits;
}

// Read-modify-write of the mirror word, then the whole register written with its live code.
void change_register(int axis_no, MirrorSlot slot, std::initializer_list<FieldChange> changes) {
    const MaskedBits bits = masked_bits(changes);
    chip::update_mirrored(axis_no, slot, bits.clear, bits.set);
}

// The change stays in the mirror until an operation writes the register.
void change_mirror_only(int axis_no, MirrorSlot slot, std::initializer_list<FieldChange> changes) {
    const MaskedBits bits = masked_bits(changes);
    std::uint32_t& word = axis_record(axis_no).mirror[slot];
    word = (word & ~bits.clear) | bits.set;
}

void write_output(int axis_no, std::uint16_t output, bool on) {
    chip::write_axis_command(axis_no, static_cast<std::uint16_t>((on ? chip::cmd::kOutputOn : chip::cmd::kOutputOff) + output));
}

// Output modes 5 and 7 trade places between the library's numbering and the chip's.
std::int16_t chip_pulse_output_mode(std::int16_t mode) {
    constexpr std::int16_t kSwappedA = 5;
    constexpr std::int16_t kSwappedB = 7;
    if (mode == kSwappedA) return kSwappedB;
    if (mode == kSwappedB) return kSwappedA;
    return mode;
}

// Feedback source 3 selects source 0 on the chip and makes absolute moves measure from the
// command counter.
constexpr std::int16_t kSourceResettingRatio = 1;
constexpr std::int16_t kSourceCommandCounter = 3;

constexpr std::int16_t kAutoErcBoth = 3;

}  // namespace

void set_pulse_output_mode(int axis_no, std::int16_t mode) {
    change_register(axis_no, chip::kEnv1, {{chip::env1::kPulseOutputMode, chip_pulse_output_mode(mode)}});
}

void set_encoder_input(int axis_no, std::int16_t mode, std::int16_t logic) {
    change_register(axis_no, chip::kEnv2, {{chip::env2::kEncoderInputMode, mode}, {chip::env2::kEncoderLogic, logic}});
}

void set_feedback_source(int axis_no, std::int16_t source) {
    if (source == kSourceResettingRatio) set_move_ratio(axis_no, 1.0);
    AxisRecord& rec = axis_record(axis_no);
    rec.feedback_src = source == kSourceCommandCounter ? 1 : 0;
    const std::int16_t chip_source = source == kSourceCommandCounter ? 0 : source;
    change_mirror_only(axis_no, chip::kEnv3, {{chip::env3::kFeedbackSource, chip_source}});
    // This register goes out as three separate steps, data words first.
    const std::uint32_t env3 = rec.mirror[chip::kEnv3];
    chip::write_axis_data_low(axis_no, low_half(env3));
    chip::write_axis_data_high(axis_no, high_half(env3));
    chip::write_axis_command(axis_no, chip::kMirrorWriteCode[chip::kEnv3]);
}

void set_alarm(int axis_no, std::int16_t logic, std::int16_t mode) {
    change_register(axis_no, chip::kEnv1, {{chip::env1::kAlarmLogic, logic}, {chip::env1::kAlarmMode, mode}});
}

void set_in_position(int axis_no, std::int16_t enable, std::int16_t logic) {
    change_register(axis_no, chip::kEnv1, {{chip::env1::kInPositionLogic, logic}});
    change_mirror_only(axis_no, chip::kMirrorOperationMode, {{chip::opmode::kInPositionEnable, enable}});
}

void set_end_limit_mode(int axis_no, std::int16_t mode) {
    change_register(axis_no, chip::kEnv1, {{chip::env1::kEndLimitStopMode, mode}});
}

void set_slow_down(int axis_no, std::int16_t enable, std::int16_t logic, std::int16_t latch, std::int16_t mode) {
    change_register(axis_no, chip::kEnv1,
                    {{chip::env1::kSlowDownLogic, logic}, {chip::env1::kSlowDownLatch, latch}, {chip::env1::kSlowDownMode, mode}});
    change_register(axis_no, chip::kMirrorOperationMode, {{chip::opmode::kSlowDownEnable, enable}});
}

void set_erc(int axis_no, std::int16_t logic, std::int16_t width) {
    change_register(axis_no, chip::kEnv1,
                    {{chip::env1::kErcLogic, logic}, {chip::env1::kErcWidth, width}, {chip::env1::kErcReserved, 0}});
}

void set_auto_erc(int axis_no, std::int16_t on_off) {
    if (on_off == kOn) {
        change_register(axis_no, chip::kEnv1, {{chip::env1::kAutoErc, kAutoErcBoth}});
    } else if (on_off == kOff) {
        change_register(axis_no, chip::kEnv1, {{chip::env1::kAutoErc, 0}});
    } else {
        change_register(axis_no, chip::kEnv1, {});  // rewrites env1 as it stands
    }
}

void set_home_config(int axis_no, std::int16_t mode, std::int16_t flag1, std::int16_t flag2, std::int16_t count,
                     std::int16_t erc) {
    change_register(axis_no, chip::kEnv1, {{chip::env1::kHomeFlag1, flag1}, {chip::env1::kHomeErc, erc}});
    change_register(axis_no, chip::kEnv2, {{chip::env2::kHomeFlag2, flag2}});
    change_register(axis_no, chip::kEnv3, {{chip::env3::kHomeMode, mode}, {chip::env3::kHomeCount, count}});
}

void set_latch_logic(int axis_no, std::int16_t logic) {
    change_register(axis_no, chip::kEnv1, {{chip::env1::kLatchLogic, logic}});
}

void set_servo(int axis_no, bool on) { write_output(axis_no, chip::cmd::kServoOutput, on); }
void set_alarm_reset(int axis_no, bool on) { write_output(axis_no, chip::cmd::kAlarmResetOutput, on); }
void set_general_output(int axis_no, bool on) { write_output(axis_no, chip::cmd::kGeneralOutput, on); }

void set_erc_output(int axis_no, std::int16_t on_off) {
    if (on_off == kOn) chip::write_axis_command(axis_no, chip::cmd::kErcOn);
    if (on_off == kOff) chip::write_axis_command(axis_no, chip::cmd::kErcOff);
}

}  // namespace quvex::axis
