#include "chip.h"

namespace qsim {

using namespace chipcode;

Chip::Chip(ChipGroup& group, int axis) : card_(group), axis_(axis) {}

std::uint16_t Chip::read_port(unsigned offset) {
    Machine& m = Machine::get();
    update(m.now);
    switch (offset) {
        case 0: {
            const std::uint16_t v = main_status();
            m.trace.event(m.now, TraceKind::chip_status, card_.trace_site(axis_), 0, v);
            return v;
        }
        case 2: {
            const std::uint16_t v = sub_status();
            m.trace.event(m.now, TraceKind::chip_substatus, card_.trace_site(axis_), 0, v);
            return v;
        }
        case 4: return data_low;
        case 6: return data_high;
        default: return 0xFFFF;
    }
}

void Chip::write_port(unsigned offset, std::uint16_t value) {
    switch (offset) {
        case 0: execute(value); break;
        case 4: data_low = value; break;
        case 6: data_high = value; break;
        default: break;
    }
}

void Chip::execute(std::uint16_t word) {
    Machine& m = Machine::get();
    update(m.now);
    const unsigned code = word & 0xFFu;
    const std::uint32_t data = static_cast<std::uint32_t>(data_low) | (static_cast<std::uint32_t>(data_high) << 16);

    if ((code >= kBufferedWrite && code <= kArcStepCount) || (code >= kLiveWrite && code <= kIntFactor)) {
        m.trace.event(m.now, TraceKind::chip_reg_write, card_.trace_site(axis_), code, data);
        write_register(code, data);
        // A live register can change the running move; interrupt factors decide whether anyone
        // takes the chip's events; comparators and counters move the next match.
        if ((code >= kLiveWrite && code < kEnvWrite) || code == kIntFactor || affects_comparators(code)) {
            card_.schedule_next_event(axis_);
        }
        return;
    }
    std::uint32_t value = 0;
    if (code >= kLiveWrite + kReadOffset && read_register(code, &value)) {
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
    Machine& m = Machine::get();
    m.trace.event(m.now, TraceKind::chip_command, card_.trace_site(axis_), word);
}

void Chip::write_register(unsigned code, std::uint32_t value) {
    if (code >= kBufferedWrite && code <= kArcStepCount) {
        buffered[code - kBufferedWrite] = value;
        buffered_written = static_cast<std::uint16_t>(buffered_written | (1u << (code - kBufferedWrite)));
    } else if (code >= kLiveWrite && code < kEnvWrite) {
        live[code - kLiveWrite] = value;
        live_register_written(code - kLiveWrite);
    } else if (code >= kEnvWrite && code < kCommandCounter) {
        env[code - kEnvWrite] = value;
    } else if (code == kCommandCounter) {
        command_counter = static_cast<std::int32_t>(value);
    } else if (code == kPositionCounter) {
        position_counter = static_cast<std::int32_t>(value);
    } else if (code == kGeneralCounter) {
        general_counter = static_cast<std::int32_t>(value);
    } else if (code >= kComparator && code < kIntFactor) {
        comparator[code - kComparator] = value;
    } else if (code == kIntFactor) {
        int_factor = value;
    }
}

bool Chip::read_register(unsigned code, std::uint32_t* value) {
    if (code >= kLiveWrite + kReadOffset && code < kEnvWrite + kReadOffset) {
        *value = live[code - kLiveWrite - kReadOffset];
    } else if (code >= kEnvWrite + kReadOffset && code < kCommandCounter + kReadOffset) {
        *value = env[code - kEnvWrite - kReadOffset];
    } else if (code == kCommandCounter + kReadOffset) {
        *value = static_cast<std::uint32_t>(command_counter);
    } else if (code == kPositionCounter + kReadOffset) {
        *value = static_cast<std::uint32_t>(position_counter);
    } else if (code == kReadErrorCounter) {
        *value = static_cast<std::uint32_t>(error_counter);
    } else if (code == kGeneralCounter + kReadOffset) {
        *value = static_cast<std::uint32_t>(general_counter);
    } else if (code >= kComparator + kReadOffset && code < kIntFactor + kReadOffset) {
        *value = comparator[code - kComparator - kReadOffset];
    } else if (code == kIntFactor + kReadOffset) {
        *value = int_factor;
    } else if (code >= kReadLatch && code < kReadLatch + 4) {
        *value = latch[code - kReadLatch];
    } else if (code == kReadStatus) {
        *value = status_register();
    } else if (code == kReadRemaining) {
        *value = remaining_pulses();
    } else if (code == kReadSpeed) {
        *value = current_speed();
    } else {
        return false;
    }
    return true;
}

bool Chip::peek_register(unsigned code, std::uint32_t* value) {
    update(Machine::get().now);
    if (code >= kBufferedWrite && code <= kArcStepCount) {
        *value = buffered[code - kBufferedWrite];
        return true;
    }
    if (code >= kLiveWrite && code <= kIntFactor) code += kReadOffset;  // a write code names its register
    return read_register(code, value);
}

}  // namespace qsim
