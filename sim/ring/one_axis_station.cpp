#include "one_axis_station.h"

#include "../chip/status_bits.h"

namespace qsim {
namespace {

constexpr int kAxis = 0;

// Codes the one-axis module decodes itself rather than handing them to its chip.
namespace m1code {
constexpr unsigned kEmergencyStop = 0x05;
constexpr unsigned kReadStatus = 0xF1;
constexpr unsigned kReadErrorStatus = 0xF2;
constexpr unsigned kReadEventStatus = 0xF3;
constexpr unsigned kWriteMoveAmount = chipcode::live_write(chipcode::kMoveAmount);
constexpr unsigned kReadMoveAmount = chipcode::read_code(kWriteMoveAmount);
}  // namespace m1code

bool in(unsigned code, unsigned first, unsigned last) { return code >= first && code <= last; }

// Registers the host may write: the live operation registers and env1..env4 (0x90..0x9F), the
// command and position counters, comparators 1..3, the interrupt factors.
bool writable(unsigned code) {
    using namespace chipcode;
    return in(code, kOperationLive, kEnv1 + kEnv4Index) || code == kCommandCounter || code == kPositionCounter ||
           in(code, kComparator1, kComparator1 + 2) || code == kIntFactor;
}

// Commands the chip executes for the module: error-counter clear, ERC on and off, decelerating
// stop, ramped start.
bool chip_command(unsigned code) {
    using namespace chipcode;
    return code == kClearErrorCounter || code == kErcOn || code == kErcOff || code == kDeceleratingStop ||
           code == kStartRamped;
}

// Chip registers the host may read: operation registers and env1..env4, the counters,
// comparators 1..3, interrupt factors, the first three latches, remaining pulses, current speed.
bool chip_readable(unsigned code) {
    using namespace chipcode;
    return in(code, read_code(kOperationLive), read_code(kEnv1 + kEnv4Index)) ||
           in(code, read_code(kCommandCounter), kReadErrorCounter) ||
           in(code, read_code(kComparator1), read_code(kComparator1 + 2)) || code == read_code(kIntFactor) ||
           in(code, kReadLatch0, kReadLatch0 + 2) || code == kReadRemainingPulses || code == kReadCurrentSpeed;
}

// Error status: the chip's stop reasons that the module reports (limits, stops by command).
constexpr std::uint32_t kErrorStatusMask = 0x0F;
constexpr std::uint32_t kEventMoveEnded = 1u << 0, kEventAccelerationEnded = 1u << 1, kEventDecelerationBegun = 1u << 2;

// Cyclic bytes.
constexpr std::uint8_t kFlagStopped = 1u << 0, kFlagMoveEnded = 1u << 1, kFlagErrorPending = 1u << 2,
                       kFlagEventPending = 1u << 3;
constexpr unsigned kInputElPlus = 0, kInputElMinus = 1, kInputDigital0 = 4, kInputAlarm = 6;
constexpr std::uint8_t kOutputServo = 1u << 0, kOutputAlarmReset = 1u << 1;

constexpr StatusBit kModuleStatusBits[] = {
    {4, [](const Chip& c) { return c.inputs.latch; }},
    {5, [](const Chip& c) { return c.inputs.origin; }},
    {6, [](const Chip& c) { return c.inputs.index; }},
    {7, [](const Chip& c) { return c.inputs.in_position; }},
    {8, [](const Chip& c) { return c.inputs.slow_down; }},
    {9, [](const Chip& c) { return c.inputs.general_pin(3); }},
    {13, [](const Chip& c) { return c.inputs.general_pin(0); }},
    {14, [](const Chip& c) { return c.inputs.general_pin(1); }},
    {15, [](const Chip& c) { return c.inputs.general_pin(2); }},
    {16, [](const Chip& c) { return c.output_on(chipcode::kServoOutput); }},
    {17, [](const Chip& c) { return c.output_on(chipcode::kAlarmResetOutput); }},
    {18, [](const Chip& c) { return c.output_on(chipcode::kErcOutputBit); }},
    {19, [](const Chip& c) { return c.output_on(chipcode::kGeneralOutput); }},
};

std::uint8_t bit_if(bool on, unsigned bit) { return static_cast<std::uint8_t>(on ? 1u << bit : 0u); }

}  // namespace

OneAxisStation::OneAxisStation(Machine& machine, int device, int slave)
    : ModuleStation(machine, device, slave, kOneAxisModuleUnits, 1, kOneAxisModuleType, kOneAxisModuleIdent) {}

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
    } else if (code == modulecode::kReset) {
        reset();
    } else if (code == m1code::kEmergencyStop) {
        command(kAxis, chipcode::kImmediateStop);
    } else if (code == modulecode::kClearCommandCounter) {
        write_register(kAxis, chipcode::kCommandCounter, 0);
    } else if (code == modulecode::kClearPositionCounter) {
        write_register(kAxis, chipcode::kPositionCounter, 0);
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
            const std::uint32_t left = read_register(kAxis, chipcode::kReadRemainingPulses);  // brings the chip up to now
            return c.operation_state() != 0 ? left : amount_left_;
        }
        default: break;
    }
    return chip_readable(code) ? read_register(kAxis, code) : 0;
}

std::uint32_t OneAxisStation::status_register() {
    Chip& c = chip(kAxis);
    return (c.operation_state() & 0x0Fu) | compose_status(c, kModuleStatusBits);
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
    c.set_output(chipcode::kServoOutput, (outputs_ & kOutputServo) != 0);
    c.set_output(chipcode::kAlarmResetOutput, (outputs_ & kOutputAlarmReset) != 0);
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
