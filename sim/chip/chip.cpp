#include "chip.h"

namespace qsim {

using namespace chipcode;

Chip::Chip(ChipGroup& group, int axis) : card_(group), axis_(axis) {}

std::uint16_t Chip::read_port(unsigned offset) {
    Machine& m = machine();
    update(m.now);
    switch (offset) {
        case kCommandPort: {
            const std::uint16_t v = main_status();
            m.trace.event(m.now, TraceKind::chip_status, card_.trace_site(axis_), 0, v);
            return v;
        }
        case kSubStatusPort: {
            const std::uint16_t v = sub_status();
            m.trace.event(m.now, TraceKind::chip_substatus, card_.trace_site(axis_), 0, v);
            return v;
        }
        case kDataLowPort: return data_low;
        case kDataHighPort: return data_high;
        default: return 0xFFFF;
    }
}

void Chip::write_port(unsigned offset, std::uint16_t value) {
    switch (offset) {
        case kCommandPort: execute(value); break;
        case kDataLowPort: data_low = value; break;
        case kDataHighPort: data_high = value; break;
        default: break;
    }
}

void Chip::execute(std::uint16_t word) {
    Machine& m = machine();
    update(m.now);
    const unsigned code = word & kCodeMask;
    const std::uint32_t data = static_cast<std::uint32_t>(data_low) | (static_cast<std::uint32_t>(data_high) << 16);

    if ((code >= kOperationBuffered && code <= kArcStepCount) || (code >= kOperationLive && code <= kIntFactor)) {
        m.trace.event(m.now, TraceKind::chip_reg_write, card_.trace_site(axis_), code, data);
        write_register(code, data);
        // A live register can change the running move; interrupt factors decide whether anyone
        // takes the chip's events; comparators and counters move the next match.
        if ((code >= kOperationLive && code < kEnv1) || code == kIntFactor || affects_comparators(code)) {
            card_.schedule_next_event(axis_);
        }
        return;
    }
    std::uint32_t value = 0;
    if (code >= kOperationLive + kReadOffset && read_register(code, &value)) {
        data_low = static_cast<std::uint16_t>(value & 0xFFFFu);
        data_high = static_cast<std::uint16_t>(value >> 16);
        m.trace.event(m.now, TraceKind::chip_reg_read, card_.trace_site(axis_), code, value);
        return;
    }
    trace_command(word);
    if (code >= kOutputOff && code < kOutputOff + 8) {
        outputs &= ~(1u << (code - kOutputOff));
    } else if (code >= kOutputOn && code < kOutputOn + 8) {
        outputs |= 1u << (code - kOutputOn);
        if (code == kOutputOn + kAlarmResetOutput) drive_reset_alarm(*this);
    } else if (code == kClearErrorCounter) {
        error_counter = 0;
    } else if (code == kErcOn) {
        outputs |= 1u << kErcOutputBit;
        // The drive's deviation goes with the output, and the chip's error counter with it.
        if (drive.on) {
            drive_clear_deviation(*this);
            error_counter = 0;
        }
    } else if (code == kErcOff) {
        outputs &= ~(1u << kErcOutputBit);
    } else {
        motion_command(word);
        // A start, stop or simultaneous command may reach every chip of the group.
        for (int a = 0; a < card_.size(); ++a) card_.schedule_next_event(a);
        return;
    }
    // The drive's servo-on, alarm-reset and deviation-clear outputs change when its next event is.
    if (drive.on) card_.schedule_next_event(axis_);
}

void Chip::trace_command(std::uint16_t word) {
    Machine& m = machine();
    m.trace.event(m.now, TraceKind::chip_command, card_.trace_site(axis_), word);
}

void Chip::write_register(unsigned code, std::uint32_t value) {
    if (code >= kOperationBuffered && code <= kArcStepCount) {
        buffered[code - kOperationBuffered] = value;
        buffered_written = static_cast<std::uint16_t>(buffered_written | (1u << (code - kOperationBuffered)));
    } else if (code >= kOperationLive && code < kEnv1) {
        live[code - kOperationLive] = value;
        live_register_written(code - kOperationLive);
    } else if (code >= kEnv1 && code < kCommandCounter) {
        env[code - kEnv1] = value;
    } else if (code == kCommandCounter) {
        command_counter = static_cast<std::int32_t>(value);
    } else if (code == kPositionCounter) {
        position_counter = static_cast<std::int32_t>(value);
    } else if (code == kGeneralCounter) {
        general_counter = static_cast<std::int32_t>(value);
    } else if (code >= kComparator1 && code < kIntFactor) {
        comparator[code - kComparator1] = value;
    } else if (code == kIntFactor) {
        int_factor = value;
    }
}

bool Chip::read_register(unsigned code, std::uint32_t* value) {
    if (code >= kOperationLive + kReadOffset && code < kEnv1 + kReadOffset) {
        *value = live[code - kOperationLive - kReadOffset];
    } else if (code >= kEnv1 + kReadOffset && code < kCommandCounter + kReadOffset) {
        *value = env[code - kEnv1 - kReadOffset];
    } else if (code == kCommandCounter + kReadOffset) {
        *value = static_cast<std::uint32_t>(command_counter);
    } else if (code == kPositionCounter + kReadOffset) {
        *value = static_cast<std::uint32_t>(position_counter);
    } else if (code == kReadErrorCounter) {
        *value = static_cast<std::uint32_t>(error_counter);
    } else if (code == kGeneralCounter + kReadOffset) {
        *value = static_cast<std::uint32_t>(general_counter);
    } else if (code >= kComparator1 + kReadOffset && code < kIntFactor + kReadOffset) {
        *value = comparator[code - kComparator1 - kReadOffset];
    } else if (code == kIntFactor + kReadOffset) {
        *value = int_factor;
    } else if (code >= kReadLatch0 && code < kReadLatch0 + 4) {
        *value = latch[code - kReadLatch0];
    } else if (code == kReadStatus32) {
        *value = status_register();
    } else if (code == kReadRemainingPulses) {
        *value = remaining_pulses();
    } else if (code == kReadCurrentSpeed) {
        *value = current_speed();
    } else {
        return false;
    }
    return true;
}

bool Chip::peek_register(unsigned code, std::uint32_t* value) {
    update(machine().now);
    if (code >= kOperationBuffered && code <= kArcStepCount) {
        *value = buffered[code - kOperationBuffered];
        return true;
    }
    if (code >= kOperationLive && code <= kIntFactor) code += kReadOffset;  // a write code names its register
    return read_register(code, value);
}

}  // namespace qsim
