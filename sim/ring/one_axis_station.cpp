#include "one_axis_station.h"

namespace qsim {
namespace {

constexpr int kAxis = 0;

// Codes the module decodes itself rather than handing them to its chip.
namespace m1code {
constexpr unsigned kModuleReset = 0x04;
constexpr unsigned kEmergencyStop = 0x05;
constexpr unsigned kClearCommandCounter = 0x20;
constexpr unsigned kClearPositionCounter = 0x21;
constexpr unsigned kReadStatus = 0xF1;
constexpr unsigned kReadErrorStatus = 0xF2;
constexpr unsigned kReadEventStatus = 0xF3;
constexpr unsigned kWriteMoveAmount = 0x90;
constexpr unsigned kReadMoveAmount = 0xD0;
}  // namespace m1code

// Chip codes the module passes on as they are.
constexpr unsigned kChipImmediateStop = 0x49;
constexpr unsigned kChipCommandCounter = 0xA3;
constexpr unsigned kChipPositionCounter = 0xA4;
constexpr unsigned kChipReadRemaining = 0xF4;

bool in(unsigned code, unsigned first, unsigned last) { return code >= first && code <= last; }

// Registers the host may write: operation registers 0x90..0x9B, env1..env4, the command and
// position counters, comparators 1..3, the interrupt factors.
bool writable(unsigned code) {
    return in(code, 0x90, 0x9F) || code == 0xA3 || code == 0xA4 || in(code, 0xA7, 0xA9) || code == 0xAC;
}

// Commands the chip executes for the module: error-counter clear, ERC on and off, decelerating
// stop, ramped start.
bool chip_command(unsigned code) { return code == 0x22 || code == 0x24 || code == 0x25 || code == 0x4A || code == 0x53; }

// Chip registers the host may read: operation registers, env1..env4, counters, comparators 1..3,
// interrupt factors, latches 1..3, remaining pulses, current speed.
bool chip_readable(unsigned code) {
    return in(code, 0xD0, 0xDF) || in(code, 0xE3, 0xE5) || in(code, 0xE7, 0xE9) || code == 0xEC ||
           in(code, 0xED, 0xEF) || code == 0xF4 || code == 0xF5;
}

// Error status: the chip's stop reasons that the module reports (limits, stops by command).
constexpr std::uint32_t kErrorStatusMask = 0x0F;
constexpr std::uint32_t kEventMoveEnded = 1u << 0, kEventAccelerationEnded = 1u << 1, kEventDecelerationBegun = 1u << 2;

// Cyclic bytes.
constexpr std::uint8_t kFlagStopped = 1u << 0, kFlagMoveEnded = 1u << 1, kFlagErrorPending = 1u << 2,
                       kFlagEventPending = 1u << 3;
constexpr unsigned kInputElPlus = 0, kInputElMinus = 1, kInputDigital0 = 4, kInputAlarm = 6;
constexpr std::uint8_t kOutputServo = 1u << 0, kOutputAlarmReset = 1u << 1;

// Chip outputs the status register shows.
constexpr unsigned kChipServo = 0, kChipAlarmReset = 1, kChipGeneralOutput = 4, kChipErc = 8;

struct StatusBit {
    unsigned bit;
    bool (*active)(const Chip&);
};

bool pin(const Chip& c, unsigned k) { return (c.inputs.general & (1u << k)) != 0; }
bool output(const Chip& c, unsigned k) { return (c.outputs & (1u << k)) != 0; }

constexpr StatusBit kStatusBits[] = {
    {4, [](const Chip& c) { return c.inputs.latch; }},
    {5, [](const Chip& c) { return c.inputs.origin; }},
    {6, [](const Chip& c) { return c.inputs.index; }},
    {7, [](const Chip& c) { return c.inputs.in_position; }},
    {8, [](const Chip& c) { return c.inputs.slow_down; }},
    {9, [](const Chip& c) { return pin(c, 3); }},
    {13, [](const Chip& c) { return pin(c, 0); }},
    {14, [](const Chip& c) { return pin(c, 1); }},
    {15, [](const Chip& c) { return pin(c, 2); }},
    {16, [](const Chip& c) { return output(c, kChipServo); }},
    {17, [](const Chip& c) { return output(c, kChipAlarmReset); }},
    {18, [](const Chip& c) { return output(c, kChipErc); }},
    {19, [](const Chip& c) { return output(c, kChipGeneralOutput); }},
};

std::uint8_t bit_if(bool on, unsigned bit) { return static_cast<std::uint8_t>(on ? 1u << bit : 0u); }

}  // namespace

OneAxisStation::OneAxisStation(int device, int slave)
    : ModuleStation(device, slave, kOneAxisModuleUnits, 1, kOneAxisModuleType, kOneAxisModuleIdent) {}

bool OneAxisStation::set_input(int axis, int signal, bool active) {
    const int k = signal - kModuleDigitalInput0;
    if (axis != kAxis || k < 0 || k >= kModuleDigitalInputs) return ModuleStation::set_input(axis, signal, active);
    digital_inputs_ = static_cast<std::uint8_t>(active ? digital_inputs_ | (1u << k) : digital_inputs_ & ~(1u << k));
    refresh();
    return true;
}

std::optional<bool> OneAxisStation::input(int axis, int signal) {
    const int k = signal - kModuleDigitalInput0;
    if (axis != kAxis || k < 0 || k >= kModuleDigitalInputs) return ModuleStation::input(axis, signal);
    return (digital_inputs_ & (1u << k)) != 0;
}

StationWords OneAxisStation::decode(const StationWords& words) {
    if (words.size() == 1) {
        const std::uint32_t v = read(words[0]);
        return {words[0], static_cast<std::uint16_t>(v & 0xFFFFu), static_cast<std::uint16_t>(v >> 16)};
    }
    if (words.size() >= 3) execute(words[0], static_cast<std::uint32_t>(words[1]) | (static_cast<std::uint32_t>(words[2]) << 16));
    return {};
}

void OneAxisStation::execute(unsigned code, std::uint32_t value) {
    if (writable(code)) {
        if (code == m1code::kWriteMoveAmount) amount_counts_down_ = false;
        write_register(kAxis, code, value);
    } else if (chip_command(code)) {
        command(kAxis, code);
    } else if (code == m1code::kModuleReset) {
        reset();
    } else if (code == m1code::kEmergencyStop) {
        command(kAxis, kChipImmediateStop);
    } else if (code == m1code::kClearCommandCounter) {
        write_register(kAxis, kChipCommandCounter, 0);
    } else if (code == m1code::kClearPositionCounter) {
        write_register(kAxis, kChipPositionCounter, 0);
    }
    // Any other code is not the module's: it is taken and ignored.
}

std::uint32_t OneAxisStation::read(unsigned code) {
    Chip& c = chip(kAxis);
    switch (code) {
        case m1code::kReadStatus: return status_register();
        case m1code::kReadErrorStatus: {
            const std::uint32_t v = c.error_status;
            c.error_status = 0;
            return v;
        }
        case m1code::kReadEventStatus: {
            const std::uint32_t v = c.event_status;
            c.event_status = 0;
            move_ended_ = false;
            return v;
        }
        case m1code::kReadMoveAmount: {
            if (!amount_counts_down_) break;
            const std::uint32_t left = read_register(kAxis, kChipReadRemaining);  // brings the chip up to now
            return c.operation_state() != 0 ? left : amount_left_;
        }
        default: break;
    }
    return chip_readable(code) ? read_register(kAxis, code) : 0;
}

std::uint32_t OneAxisStation::status_register() {
    Chip& c = chip(kAxis);
    std::uint32_t word = c.operation_state() & 0x0Fu;
    for (const StatusBit& b : kStatusBits) {
        if (b.active(c)) word |= 1u << b.bit;
    }
    return word;
}

std::uint8_t OneAxisStation::flags_byte() {
    Chip& c = chip(kAxis);
    std::uint8_t v = 0;
    if (c.operation_state() == 0) v |= kFlagStopped;
    if (move_ended_) v |= kFlagMoveEnded;
    if (c.error_status != 0) v |= kFlagErrorPending;
    if (c.event_status != 0) v |= kFlagEventPending;
    return v;
}

std::uint8_t OneAxisStation::inputs_byte() {
    const ChipInputs& in = chip(kAxis).inputs;
    return static_cast<std::uint8_t>(bit_if(in.el_plus, kInputElPlus) | bit_if(in.el_minus, kInputElMinus) |
                                     (digital_inputs_ << kInputDigital0) | bit_if(in.alarm, kInputAlarm));
}

std::uint16_t OneAxisStation::compose_cyclic(int word, std::uint16_t stored) {
    // The low byte of each word is the module's (ports 0 and 2); the high bytes belong to the
    // host (port 3 carries the outputs, port 1 is unused and keeps what was written).
    const std::uint8_t low = word == 0 ? flags_byte() : inputs_byte();
    return static_cast<std::uint16_t>((stored & 0xFF00u) | low);
}

void OneAxisStation::take_outputs(int word, std::uint16_t value) {
    if (word != 1) return;
    outputs_ = static_cast<std::uint8_t>(value >> 8);
    Chip& c = chip(kAxis);
    const auto set = [&c](unsigned bit, bool on) { c.outputs = on ? c.outputs | (1u << bit) : c.outputs & ~(1u << bit); };
    set(kChipServo, (outputs_ & kOutputServo) != 0);
    set(kChipAlarmReset, (outputs_ & kOutputAlarmReset) != 0);
}

void OneAxisStation::motion_event(int axis, ChipEvent event) {
    Chip& c = chip(axis);
    const std::uint32_t factors = c.int_factor;
    switch (event) {
        case ChipEvent::move_started:
            if (c.motion.positioning) amount_counts_down_ = true;
            break;
        case ChipEvent::move_ended:
            move_ended_ = true;
            amount_left_ = c.motion.positioning ? static_cast<std::uint32_t>(c.motion.target - c.motion.done) : 0;
            c.raise_interrupt(factors & kEventMoveEnded, c.motion.stop_reason & kErrorStatusMask);
            break;
        case ChipEvent::ramp_ended:
            if (c.motion.ramp.direction > 0) c.raise_interrupt(factors & kEventAccelerationEnded, 0);
            break;
        case ChipEvent::ramp_down_begun: c.raise_interrupt(factors & kEventDecelerationBegun, 0); break;
        default: break;
    }
}

void OneAxisStation::reset() {
    reset_chip(kAxis);
    // The servo and alarm-reset outputs keep following the host's output byte.
    take_outputs(1, static_cast<std::uint16_t>(outputs_ << 8));
    move_ended_ = false;
    amount_counts_down_ = false;
}

}  // namespace qsim
