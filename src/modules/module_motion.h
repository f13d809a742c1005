// The motion sequences both module kinds share, written once against one axis (an AxisLink
// handle, passed by value): a profile into the operation registers, the speed-range pin and the
// starts. The mirrors are updated first, then the registers go out through the axis's sink in the
// chip's order. What differs between the kinds comes with the link's kind (L::kind,
// module_kind.h): the profile arithmetic in the kind's units with its rate rules, whether the pin
// copies FL to the correction speed and how a positioning start treats a failed write.
#pragma once

#include <cstdint>

#include "chip/registers.h"
#include "common/bits.h"
#include "modules/module_axis_block.h"
#include "modules/module_codes.h"
#include "modules/module_link.h"
#include "modules/module_operation_mode.h"

namespace quvex::modules {

// Where a profile goes: a single-axis profile into the live bank, every write sent, ending with
// the start-speed copy (0x9B); a line's share into the buffered bank, stopping at the first
// failure, without the copy.
struct ProfileLoad {
    Bank bank;
    OnFailure on_failure;
    bool copies_start_speed;
};
inline constexpr ProfileLoad kLiveProfile{Bank::kLive, OnFailure::kKeepGoing, true};
inline constexpr ProfileLoad kBufferedProfile{Bank::kBuffered, OnFailure::kStop, false};

// A profile from the kind's arithmetic (the pinned range kept) into the mirrors and the
// registers.
template <AxisLink L>
std::int16_t load_profile(L link, motion::Curve curve, const SpeedArgs& a, const ProfileLoad& how = kLiveProfile) {
    ring::ModuleAxisBlock& b = link.block();
    const motion::ProfileBuilder& profile = L::kind.profile;
    const motion::Profile p = curve == motion::Curve::kSCurve
                                  ? profile.s_profile(a.str_vel, a.max_vel, a.tacc, a.tdec, a.sv_acc, a.sv_dec,
                                                      pinned_range(b))
                                  : profile.t_profile(a.str_vel, a.max_vel, a.tacc, a.tdec, pinned_range(b));
    store_profile(b, curve, p.speeds, p.rates, a.tdec);
    ModuleSink<L> sink(link, how.bank, how.on_failure);
    motion::emit_speeds(p.speeds, sink);
    motion::emit_rates(curve, p.rates, sink);
    sink.write(chip::kOperationMode, b.operation_mode);
    if (how.copies_start_speed) sink.write(chip::kCorrectionSpeed, p.speeds.fl);
    return sink.result();
}

// The pin: FH and FL now (and the correction speed when the kind copies it); the range itself
// goes out with the next profile. The result of the last write.
template <AxisLink L>
std::int16_t pin_speed_range(L link, double max_vel) {
    const motion::SpeedRegisters s = L::kind.profile.pinned_speeds(max_vel);
    ring::ModuleAxisBlock& b = link.block();
    store_speeds(b, s);
    ModuleSink<L> sink(link);
    sink.write(chip::kMaxSpeed, s.fh);
    sink.write(chip::kStartSpeed, s.fl);
    if (L::kind.pin_copies_start_speed) sink.write(chip::kCorrectionSpeed, s.fl);
    b.speed_range_fixed = 1;
    return sink.result();
}

// The position counter as a signed value (0 when the module did not answer).
template <AxisLink L>
std::int32_t read_position(L link) {
    std::uint32_t counter = 0;
    link.read(chip::reg::kReadPositionCounter, &counter);
    return static_cast<std::int32_t>(counter);
}

// Positioning over `dist`: the operation mode and the 28-bit amount through the sink, then the
// ramped start unless a write failed. The kind says how failures count: with kKeepGoing both
// writes go out and the amount's result counts, with kStop the first failure ends the start.
template <AxisLink L>
std::int16_t start_positioning(L link, std::int64_t dist) {
    ring::ModuleAxisBlock& b = link.block();
    b.move_amount = static_cast<std::uint32_t>(dist) & kAmountMask;
    b.operation_mode = with_field(b.operation_mode, chip_mode::kOperation, chip_mode::kRelative);
    ModuleSink<L> sink(link, Bank::kLive, L::kind.positioning);
    sink.write(chip::kOperationMode, b.operation_mode);
    sink.write(chip::kMoveAmount, b.move_amount);
    if (sink.result() != 0) return sink.result();
    return link.command(chip::cmd::kStartRamped);
}

template <AxisLink L>
std::int16_t start_relative(L link, std::int32_t dist) {
    ring::ModuleAxisBlock& b = link.block();
    b.prev_target_pos = b.target_pos;
    b.target_pos += dist;
    return start_positioning(link, dist);
}

// The distance from the position counter read first.
template <AxisLink L>
std::int16_t start_absolute(L link, std::int32_t pos) {
    const std::int64_t dist = static_cast<std::int64_t>(pos) - read_position(link);
    ring::ModuleAxisBlock& b = link.block();
    b.prev_target_pos = b.target_pos;
    b.target_pos = pos;
    return start_positioning(link, dist);
}

// A velocity or home start: the operation kind (its write not judged), then the ramped start;
// the start's result.
template <AxisLink L>
std::int16_t start_operation(L link, std::uint32_t operation) {
    ring::ModuleAxisBlock& b = link.block();
    b.operation_mode = with_field(b.operation_mode, chip_mode::kOperation, operation);
    write_operation(link, Bank::kLive, chip::kOperationMode, b.operation_mode);
    return link.command(chip::cmd::kStartRamped);
}

template <AxisLink L>
std::int16_t start_velocity(L link, std::uint8_t dir) {
    return start_operation(link, dir == 1 ? chip_mode::kVelocityPlus : chip_mode::kVelocityMinus);
}

template <AxisLink L>
std::int16_t start_home(L link, std::uint8_t dir) {
    return start_operation(link, dir == 1 ? chip_mode::kHomePlus : chip_mode::kHomeMinus);
}

}  // namespace quvex::modules
