#include "four_axis_station.h"

#include "../machine.h"
#include "quvex/sim_axis.h"

namespace qsim {
namespace {

// Word forms of a message: the form in the high byte, the module address in the low byte.
constexpr std::uint16_t kFormMask = 0xFF00;
constexpr std::uint16_t kWriteRegister = 0x0900;
constexpr std::uint16_t kReadRegister = 0x0A00;
constexpr std::uint16_t kEndOfTransfer = 0x0400;
constexpr std::uint16_t kDataWrite = 0x19A4;  // + 8 per axis
constexpr std::uint16_t kDataRead = 0x1AA4;

constexpr unsigned kIdNumber = 0, kLimitEnable = 2, kManualControl = 4, kManualStatus = 6;
// Each axis has four ports from 0x20 + 8k: its chip's command, I/O, data low and data high.
constexpr unsigned kAxisPorts = 0x20, kAxisStride = chipcode::kAxisBlock;
// Port 2 of an axis is the module's I/O port where the chip has its sub-status; the others are the chip's.
using chipcode::kCommandPort, chipcode::kDataLowPort, chipcode::kDataHighPort;
constexpr unsigned kIoPort = chipcode::kSubStatusPort;

// The I/O port's written bits drive the chip's servo-on and alarm-reset outputs.
constexpr std::uint16_t kIoServo = 1u << 0, kIoAlarmReset = 1u << 1;
constexpr std::uint16_t kIoLimitPlus = 1u << 0, kIoLimitMinus = 1u << 1;

constexpr std::uint16_t kManualModeBits = 0x00E0, kManualAllAxes = 0x0010;

// Cyclic bytes.
constexpr std::uint8_t kFlagAllStopped = 1u << 0, kFlagReady = 1u << 1;
constexpr unsigned kFlagRunningShift = 4, kInputAlarmShift = 0, kInputLimitShift = 4;

// The data-word forms of an axis, or -1.
int data_axis(std::uint16_t word, std::uint16_t form) {
    const int offset = word - form;
    if (offset < 0 || offset % static_cast<int>(kAxisStride) != 0) return -1;
    const int axis = offset / static_cast<int>(kAxisStride);
    return axis < kFourAxisModuleAxes ? axis : -1;
}

// The axis and port of a module address in the axis ports, or axis -1.
struct AxisPort {
    int axis = -1;
    unsigned port = 0;
};
AxisPort axis_port(unsigned address) {
    if (address < kAxisPorts || address >= kAxisPorts + kAxisStride * kFourAxisModuleAxes) return {};
    return {static_cast<int>((address - kAxisPorts) / kAxisStride), (address - kAxisPorts) % kAxisStride};
}

}  // namespace

FourAxisStation::FourAxisStation(Machine& machine, int device, int slave, std::uint16_t id_number)
    : ModuleStation(machine, device, slave, kFourAxisModuleUnits, kFourAxisModuleAxes, kFourAxisModuleType,
                    kFourAxisIdentBase | id_number),
      id_number_(id_number) {}

void FourAxisStation::on_plug(StationLink& link) {
    ready_ = false;
    pending_ = PendingMessage{};
    ModuleStation::on_plug(link);
}

std::optional<StationWords> FourAxisStation::on_message(StationLink& link, const StationWords& words) {
    // The line goes up once the module has taken a message and down with its end-of-transfer
    // word, so between transfers a station at slave 0 shows its own bit 1 again.
    const bool end_of_transfer = words.size() == 1 && words[0] == kEndOfTransfer;
    give_up_pending(link);
    ready_ = !end_of_transfer;
    if (end_of_transfer) {
        link.release_ready();
    } else if (instant()) {
        link.drive_ready(true);
    } else {
        // The module is busy with the message: the line stays low until its latency has passed.
        link.drive_ready(false);
        pending_ = PendingMessage{true, words, 0, latency_.delay == 0, ++last_serial_, 0};
        if (latency_.delay > 0) {
            const std::uint64_t serial = pending_.serial;
            pending_.timer = link.schedule(link.now() + latency_.delay, [this, serial](StationLink& l) {
                if (!pending_.waiting || pending_.serial != serial) return;
                pending_.delay_passed = true;
                try_answer(l);
            });
        }
        return std::nullopt;
    }
    return ModuleStation::on_message(link, words);
}

void FourAxisStation::on_handshake_poll(StationLink& link) {
    if (!pending_.waiting) return;
    try_answer(link);
    if (pending_.waiting) ++pending_.polls_seen;
}

bool FourAxisStation::set_reply_latency(int polls, Ns delay) {
    if (delay < 0) return false;
    latency_ = {polls, delay};
    return true;
}

void FourAxisStation::give_up_pending(StationLink& link) {
    if (!pending_.waiting) return;
    if (pending_.timer != 0) link.cancel(pending_.timer);
    pending_ = PendingMessage{};
}

void FourAxisStation::try_answer(StationLink& link) {
    if (latency_.polls < 0 || pending_.polls_seen < latency_.polls || !pending_.delay_passed) return;
    const StationWords words = std::move(pending_.words);
    pending_ = PendingMessage{};
    const std::optional<StationWords> reply = ModuleStation::on_message(link, words);
    link.drive_ready(true);
    link.answer(reply.value_or(StationWords{}));
}

StationWords FourAxisStation::decode(const StationWords& words) {
    StationWords reply;
    std::size_t i = 0;
    while (i < words.size()) {
        const std::uint16_t word = words[i];
        if (const int axis = data_axis(word, kDataWrite); axis >= 0) {
            if (i + 2 >= words.size()) break;  // a form cut short is dropped
            Chip& c = chip(axis);
            c.write_port(kDataLowPort, words[i + 1]);
            c.write_port(kDataHighPort, words[i + 2]);
            i += 3;
        } else if (const int axis_r = data_axis(word, kDataRead); axis_r >= 0) {
            Chip& c = chip(axis_r);
            reply.insert(reply.end(), {word, c.read_port(kDataLowPort), c.read_port(kDataHighPort)});
            i += 1;
        } else if ((word & kFormMask) == kWriteRegister) {
            if (i + 1 >= words.size()) break;
            write(word & 0xFFu, words[i + 1]);
            i += 2;
        } else if ((word & kFormMask) == kReadRegister) {
            reply.insert(reply.end(), {word, read(word & 0xFFu)});
            i += 1;
        } else {
            break;  // the end-of-transfer word, or a word the module does not know
        }
    }
    return reply;
}

void FourAxisStation::write(unsigned address, std::uint16_t value) {
    if (const AxisPort p = axis_port(address); p.axis >= 0) {
        switch (p.port) {
            case kCommandPort: axis_command(p.axis, value); break;
            case kIoPort: take_io(p.axis, value); break;
            case kDataLowPort:
            case kDataHighPort: chip(p.axis).write_port(p.port, value); break;
            default: break;
        }
        return;
    }
    switch (address) {
        case kLimitEnable: set_limit_enable(value); break;
        case kManualControl: manual_control_ = value; break;
        default: break;  // read-only or unused
    }
}

std::uint16_t FourAxisStation::read(unsigned address) {
    if (const AxisPort p = axis_port(address); p.axis >= 0) {
        switch (p.port) {
            case kCommandPort: return chip(p.axis).read_port(kCommandPort);
            case kIoPort: return io_word(p.axis);
            case kDataLowPort:
            case kDataHighPort: return chip(p.axis).read_port(p.port);
            default: return 0;
        }
    }
    return peek(address).value_or(0);
}

std::optional<std::uint16_t> FourAxisStation::peek(unsigned address) {
    update_chips();
    switch (address) {
        case kIdNumber: return id_number_;
        case kLimitEnable: return limit_enable_;
        case kManualControl: return manual_control_;
        case kManualStatus: return manual_status();
        default: break;
    }
    const AxisPort p = axis_port(address);
    if (p.axis < 0) return 0;
    if (p.port == kIoPort) return io_word(p.axis);
    if (p.port == kCommandPort) return chip(p.axis).main_status();
    return std::nullopt;
}

void FourAxisStation::axis_command(int axis, std::uint16_t word) {
    switch (word) {
        case modulecode::kReset: reset_chip(axis); break;
        case modulecode::kClearCommandCounter: write_register(axis, chipcode::kCommandCounter, 0); break;
        case modulecode::kClearPositionCounter: write_register(axis, chipcode::kPositionCounter, 0); break;
        default: chip(axis).write_port(kCommandPort, word); break;
    }
}

void FourAxisStation::take_io(int axis, std::uint16_t value) {
    Chip& c = chip(axis);
    c.set_output(chipcode::kServoOutput, (value & kIoServo) != 0);
    c.set_output(chipcode::kAlarmResetOutput, (value & kIoAlarmReset) != 0);
}

std::uint16_t FourAxisStation::io_word(int axis) {
    // The chip's signal word, but with the end limits as the machine drives them: the enable
    // register decides what the chip sees, not what the port shows.
    const Limits& l = limits_[static_cast<std::size_t>(axis)];
    std::uint16_t v = static_cast<std::uint16_t>(chip(axis).sub_status() & ~(kIoLimitPlus | kIoLimitMinus));
    if (l.plus) v |= kIoLimitPlus;
    if (l.minus) v |= kIoLimitMinus;
    return v;
}

std::uint16_t FourAxisStation::manual_status() {
    std::uint16_t v = (manual_control_ & kManualModeBits) != 0 ? 0x0010 : 0;
    for (int a = 0; a < kFourAxisModuleAxes; ++a) {
        if (chip(a).operation_state() != 0) v |= static_cast<std::uint16_t>(1u << a);
    }
    return v;
}

bool FourAxisStation::manual_selects(int axis) const {
    if (axis < 0 || axis >= kFourAxisModuleAxes || (manual_control_ & kManualModeBits) == 0) return false;
    return (manual_control_ & kManualAllAxes) != 0 || (manual_control_ & (1u << axis)) != 0;
}

void FourAxisStation::set_limit_enable(std::uint16_t value) {
    limit_enable_ = value;
    for (int a = 0; a < kFourAxisModuleAxes; ++a) apply_limits(a);
}

void FourAxisStation::apply_limits(int axis) {
    Chip& c = chip(axis);
    const Limits& l = limits_[static_cast<std::size_t>(axis)];
    const bool enabled = (limit_enable_ & (1u << axis)) != 0;
    // Motion up to now ran with the old levels; a limit the chip sees now stops it from now.
    c.update(c.machine().now);
    c.inputs.el_plus = enabled && l.plus;
    c.inputs.el_minus = enabled && l.minus;
    c.update(c.machine().now);
    reschedule(axis);
}

bool FourAxisStation::set_input(int axis, int signal, bool active) {
    if (axis < 0 || axis >= kFourAxisModuleAxes) return false;
    if (signal != QUVEX_SIM_INPUT_EL_PLUS && signal != QUVEX_SIM_INPUT_EL_MINUS) {
        return ModuleStation::set_input(axis, signal, active);
    }
    Limits& l = limits_[static_cast<std::size_t>(axis)];
    (signal == QUVEX_SIM_INPUT_EL_PLUS ? l.plus : l.minus) = active;
    apply_limits(axis);
    refresh();
    return true;
}

std::optional<bool> FourAxisStation::input(int axis, int signal) {
    if (axis < 0 || axis >= kFourAxisModuleAxes) return std::nullopt;
    if (signal == QUVEX_SIM_INPUT_EL_PLUS) return limits_[static_cast<std::size_t>(axis)].plus;
    if (signal == QUVEX_SIM_INPUT_EL_MINUS) return limits_[static_cast<std::size_t>(axis)].minus;
    return ModuleStation::input(axis, signal);
}

std::uint16_t FourAxisStation::compose_cyclic(int word, std::uint16_t stored) {
    std::uint8_t low = 0;
    if (word == 0) {
        bool all_stopped = true;
        for (int a = 0; a < kFourAxisModuleAxes; ++a) {
            if (chip(a).operation_state() == 0) continue;
            all_stopped = false;
            low = static_cast<std::uint8_t>(low | (1u << (kFlagRunningShift + a)));
        }
        if (all_stopped) low |= kFlagAllStopped;
        if (ready_) low |= kFlagReady;
    } else {
        for (int a = 0; a < kFourAxisModuleAxes; ++a) {
            const Limits& l = limits_[static_cast<std::size_t>(a)];
            if (chip(a).inputs.alarm) low = static_cast<std::uint8_t>(low | (1u << (kInputAlarmShift + a)));
            if (l.plus || l.minus) low = static_cast<std::uint8_t>(low | (1u << (kInputLimitShift + a)));
        }
    }
    // The high bytes (ports 1 and 3) are the host's.
    return static_cast<std::uint16_t>((stored & 0xFF00u) | low);
}

}  // namespace qsim
