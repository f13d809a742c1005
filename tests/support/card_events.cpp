#include "card_events.h"

#include <cstdio>
#include <string>
#include <utility>

namespace quvex::test {
namespace {

CardEvent axis_event(int kind, int axis, unsigned code, std::optional<std::uint32_t> value) {
    return CardEvent{kind, 0, axis, code, value};
}

CardEvent port_event(int kind, unsigned offset, std::uint32_t value) { return CardEvent{kind, 0, -1, offset, value}; }

std::string register_name(unsigned code) {
    static const char* const operation[] = {"MoveAmount", "StartSpeed", "MaxSpeed", "AccelRate",
                                            "DecelRate", "SpeedRange", "RampDownPoint", "OperationMode",
                                            "AuxAmount", "SAccelSection", "SDecelSection", "CorrectionSpeed",
                                            "ArcStepCount"};
    static const char* const environment[] = {"Env1", "Env2", "Env3", "Env4", "Env5", "Env6", "Env7",
                                              "CommandCounter", "PositionCounter", "ErrorCounter",
                                              "GeneralCounter", "Comparator1", "Comparator2", "Comparator3",
                                              "Comparator4", "Comparator5", "IntFactor"};
    if (code >= 0xD0) code -= 0x40;  // a read code names the register it reads
    if (code >= 0x80 && code <= 0x8C) return operation[code - 0x80];
    if (code >= 0x90 && code <= 0x9B) return std::string("live ") + operation[code - 0x90];
    if (code >= 0x9C && code <= 0xAC) return environment[code - 0x9C];
    if (code >= 0xAD && code <= 0xB0) return "Latch" + std::to_string(code - 0xAD);
    if (code == 0xB1) return "Status32";
    if (code == 0xB4) return "RemainingPulses";
    if (code == 0xB5) return "CurrentSpeed";
    return "?";
}

const char* command_name(unsigned word) {
    switch (word & 0xFF) {
        case cmd::kSyncStart: return "SyncStart";
        case cmd::kSyncStop: return "SyncStop";
        case cmd::kClearErrorCounter: return "ClearErrorCounter";
        case cmd::kErcOn: return "ErcOn";
        case cmd::kErcOff: return "ErcOff";
        case cmd::kCancelQueuedStart: return "CancelQueuedStart";
        case cmd::kImmediateStop: return "ImmediateStop";
        case cmd::kDeceleratingStop: return "DeceleratingStop";
        case cmd::kStartAtStartSpeed: return "StartAtStartSpeed";
        case cmd::kStartAtMaxSpeed: return "StartAtMaxSpeed";
        case cmd::kStartDecelerating: return "StartDecelerating";
        case cmd::kStartRamped: return "StartRamped";
        default: break;
    }
    if ((word & 0xF8) == cmd::kOutputOn) return "OutputOn";
    if ((word & 0xF8) == cmd::kOutputOff) return "OutputOff";
    return "?";
}

const char* port_kind_name(int kind) {
    switch (kind) {
        case QUVEX_SIM_EV_BOARD_READ: return "board read";
        case QUVEX_SIM_EV_BOARD_WRITE: return "board write";
        case QUVEX_SIM_EV_CARD_PORT_WRITE: return "card port write";
        case QUVEX_SIM_EV_BRIDGE_READ8: return "bridge read8";
        case QUVEX_SIM_EV_BRIDGE_WRITE8: return "bridge write8";
        case QUVEX_SIM_EV_BRIDGE_READ16: return "bridge read16";
        case QUVEX_SIM_EV_BRIDGE_WRITE16: return "bridge write16";
        default: return nullptr;
    }
}

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

bool is_chip_access(int kind) {
    return kind == QUVEX_SIM_EV_CHIP_REG_WRITE || kind == QUVEX_SIM_EV_CHIP_REG_READ ||
           kind == QUVEX_SIM_EV_CHIP_COMMAND;
}

}  // namespace

CardEvent reg_write(int axis, unsigned code, std::uint32_t value) {
    return axis_event(QUVEX_SIM_EV_CHIP_REG_WRITE, axis, code, value);
}
CardEvent reg_read(int axis, unsigned code, std::uint32_t value) {
    return axis_event(QUVEX_SIM_EV_CHIP_REG_READ, axis, code, value);
}
CardEvent command(int axis, unsigned code) {
    return axis_event(QUVEX_SIM_EV_CHIP_COMMAND, axis, code, std::nullopt);
}
CardEvent status_read(int axis, std::uint32_t value) { return axis_event(QUVEX_SIM_EV_CHIP_STATUS, axis, 0, value); }
CardEvent substatus_read(int axis, std::uint32_t value) {
    return axis_event(QUVEX_SIM_EV_CHIP_SUBSTATUS, axis, 0, value);
}
CardEvent board_read(unsigned offset,
                     std::uint32_t value) { return port_event(QUVEX_SIM_EV_BOARD_READ, offset, value); }
CardEvent board_write(unsigned offset, std::uint32_t value) {
    return port_event(QUVEX_SIM_EV_BOARD_WRITE, offset, value);
}
CardEvent card_port_write(unsigned offset, std::uint32_t value) {
    return port_event(QUVEX_SIM_EV_CARD_PORT_WRITE, offset, value);
}
CardEvent bridge_read8(unsigned offset, std::uint32_t value) {
    return port_event(QUVEX_SIM_EV_BRIDGE_READ8, offset, value);
}
CardEvent bridge_write8(unsigned offset, std::uint32_t value) {
    return port_event(QUVEX_SIM_EV_BRIDGE_WRITE8, offset, value);
}
CardEvent bridge_write16(unsigned offset, std::uint32_t value) {
    return port_event(QUVEX_SIM_EV_BRIDGE_WRITE16, offset, value);
}

std::vector<CardEvent> on_device(int device, std::vector<CardEvent> events) {
    for (CardEvent& e : events) e.device = device;
    return events;
}

std::vector<CardEvent> written_codes(std::initializer_list<int> axes, std::initializer_list<unsigned> codes) {
    std::vector<CardEvent> out;
    for (int a : axes)
        for (unsigned c : codes) out.push_back(axis_event(QUVEX_SIM_EV_CHIP_REG_WRITE, a, c, std::nullopt));
    return out;
}

std::vector<CardEvent> status_reads(std::initializer_list<int> axes) {
    std::vector<CardEvent> out;
    for (int a : axes) out.push_back(axis_event(QUVEX_SIM_EV_CHIP_REG_READ, a, reg::kReadStatus32, std::nullopt));
    return out;
}

std::vector<CardEvent> operator+(std::vector<CardEvent> a, const std::vector<CardEvent>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<CardEvent> without_values(std::vector<CardEvent> events) {
    for (CardEvent& e : events) e = without_value(e);
    return events;
}

std::vector<CardEvent> card_events(const EventPattern& pattern) {
    std::vector<CardEvent> out;
    const std::size_t n = quvex_sim_trace_count();
    for (std::size_t i = 0; i < n; ++i) {
        quvex_sim_event r{};
        quvex_sim_trace_get(i, &r);
        if (!pattern.matches(r)) continue;
        CardEvent e{r.kind, r.device, r.axis, r.code, r.value};
        if (r.kind == QUVEX_SIM_EV_CHIP_COMMAND) e.value.reset();  // a command is its code alone
        out.push_back(e);
    }
    return out;
}

std::vector<CardEvent> card_events() { return card_events(EventPattern{}); }

std::vector<CardEvent> chip_writes(int axis, int device) {
    std::vector<CardEvent> out;
    for (const CardEvent& e : card_events()) {
        const bool write = e.kind == QUVEX_SIM_EV_CHIP_REG_WRITE || e.kind == QUVEX_SIM_EV_CHIP_COMMAND;
        if (write && e.device == device && e.axis == axis) out.push_back(e);
    }
    return out;
}

std::vector<CardEvent> chip_accesses(int device) {
    std::vector<CardEvent> out;
    for (const CardEvent& e : card_events()) {
        if (is_chip_access(e.kind) && e.device == device) out.push_back(e);
    }
    return out;
}

std::vector<std::uint32_t> written_values(int axis, unsigned code, int device) {
    std::vector<std::uint32_t> out;
    for (const CardEvent& e : card_events({.kind = QUVEX_SIM_EV_CHIP_REG_WRITE, .device = device, .axis = axis,
                                           .code = code})) {
        out.push_back(*e.value);
    }
    return out;
}

std::vector<std::uint32_t> read_values(int axis, unsigned read_code, int device) {
    std::vector<std::uint32_t> out;
    for (const CardEvent& e : card_events({.kind = QUVEX_SIM_EV_CHIP_REG_READ, .device = device, .axis = axis,
                                           .code = read_code})) {
        out.push_back(*e.value);
    }
    return out;
}

std::vector<std::uint32_t> commands_of(int axis, int device) {
    std::vector<std::uint32_t> out;
    for (const CardEvent& e : card_events({.kind = QUVEX_SIM_EV_CHIP_COMMAND, .device = device, .axis = axis})) {
        out.push_back(e.code);
    }
    return out;
}

std::vector<unsigned> read_codes(int axis) {
    std::vector<unsigned> out;
    for (const CardEvent& e : chip_accesses()) {
        if (e.kind == QUVEX_SIM_EV_CHIP_REG_READ && e.axis == axis) out.push_back(e.code);
    }
    return out;
}

std::size_t reads_of(int axis, unsigned read_code) { return read_values(axis, read_code).size(); }

CardEvent without_value(CardEvent e) {
    e.value.reset();
    return e;
}

std::ostream& operator<<(std::ostream& os,
                         ChipAxis axis) { return os << "XYZU?"[axis.number >= 0 && axis.number < 4 ? axis.number : 4]; }

std::ostream& operator<<(std::ostream& os, const CardEvent& e) {
    os << 'd' << e.device;
    if (e.axis >= 0) os << '.' << "XYZU?"[e.axis < 4 ? e.axis : 4];
    std::string value;
    if (e.value) value = "0x" + hex(*e.value, 8) + " (" + std::to_string(static_cast<std::int32_t>(*e.value)) + ")";
    const std::string code = "(" + hex(e.code, 2) + ")";
    switch (e.kind) {
        case QUVEX_SIM_EV_CHIP_REG_WRITE: os << " write " << register_name(e.code) << code; break;
        case QUVEX_SIM_EV_CHIP_REG_READ: os << " read " << register_name(e.code) << code; break;
        case QUVEX_SIM_EV_CHIP_COMMAND:
            return os << " command " << command_name(e.code) << "(" << hex(e.code, 4) << ")";
        case QUVEX_SIM_EV_CHIP_STATUS: os << " status"; break;
        case QUVEX_SIM_EV_CHIP_SUBSTATUS: os << " substatus"; break;
        default:
            if (const char* name = port_kind_name(e.kind)) os << ' ' << name << ' ' << hex(e.code, 2);
            else os << " event kind " << e.kind << " code " << hex(e.code, 4);
    }
    return e.value ? os << " = " << value : os;
}

}  // namespace quvex::test
