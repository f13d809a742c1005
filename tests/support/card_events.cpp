#include "card_events.h"

#include <cstdio>
#include <string>
#include <utility>

namespace quvex::test {
namespace {

std::string register_name(unsigned code) {
    static const char* const operation[] = {"MoveAmount", "StartSpeed", "MaxSpeed", "AccelRate", "DecelRate",
                                            "SpeedRange", "RampDownPoint", "OperationMode", "AuxAmount",
                                            "SAccelSection", "SDecelSection", "CorrectionSpeed", "ArcStepCount"};
    static const char* const environment[] = {"Env1", "Env2", "Env3", "Env4", "Env5", "Env6", "Env7",
                                              "CommandCounter", "PositionCounter", "ErrorCounter", "GeneralCounter",
                                              "Comparator1", "Comparator2", "Comparator3", "Comparator4",
                                              "Comparator5", "IntFactor", "Latch0", "Latch1", "Latch2", "Latch3",
                                              "Status32", "?", "?", "RemainingPulses", "CurrentSpeed"};
    if (code >= 0xD0) code -= 0x40;  // a read code names the register it reads
    if (code >= 0x80 && code <= 0x8C) return operation[code - 0x80];
    if (code >= 0x90 && code <= 0x9B) return std::string("live ") + operation[code - 0x90];
    if (code >= 0x9C && code <= 0xB5) return environment[code - 0x9C];
    return "?";
}

std::string command_name(unsigned word) {
    static const std::pair<unsigned, const char*> names[] = {
        {cmd::kSyncStart, "SyncStart"}, {cmd::kSyncStop, "SyncStop"}, {cmd::kClearErrorCounter, "ClearErrorCounter"},
        {cmd::kErcOn, "ErcOn"}, {cmd::kErcOff, "ErcOff"}, {cmd::kCancelQueuedStart, "CancelQueuedStart"},
        {cmd::kImmediateStop, "ImmediateStop"}, {cmd::kDeceleratingStop, "DeceleratingStop"},
        {cmd::kStartAtStartSpeed, "StartAtStartSpeed"}, {cmd::kStartAtMaxSpeed, "StartAtMaxSpeed"},
        {cmd::kStartDecelerating, "StartDecelerating"}, {cmd::kStartRamped, "StartRamped"}};
    for (const auto& [code, name] : names) {
        if ((word & 0xFF) == code) return name;
    }
    if ((word & 0xF8) == cmd::kOutputOn) return "OutputOn+" + std::to_string(word & 7);
    if ((word & 0xF8) == cmd::kOutputOff) return "OutputOff+" + std::to_string(word & 7);
    return "?";
}

const char* kind_name(int kind) {
    switch (kind) {
        case QUVEX_SIM_EV_CHIP_REG_WRITE: return "write";
        case QUVEX_SIM_EV_CHIP_REG_READ: return "read";
        case QUVEX_SIM_EV_CHIP_COMMAND: return "command";
        case QUVEX_SIM_EV_CHIP_STATUS: return "status";
        case QUVEX_SIM_EV_CHIP_SUBSTATUS: return "substatus";
        case QUVEX_SIM_EV_BOARD_READ: return "board read";
        case QUVEX_SIM_EV_BOARD_WRITE: return "board write";
        case QUVEX_SIM_EV_CARD_PORT_WRITE: return "card port write";
        case QUVEX_SIM_EV_BRIDGE_READ8: return "bridge read8";
        case QUVEX_SIM_EV_BRIDGE_WRITE8: return "bridge write8";
        case QUVEX_SIM_EV_BRIDGE_READ16: return "bridge read16";
        case QUVEX_SIM_EV_BRIDGE_WRITE16: return "bridge write16";
        case QUVEX_SIM_EV_CARD_BYTE_WRITE: return "byte write";
        case QUVEX_SIM_EV_REQUEST: return "driver request";
        case QUVEX_SIM_EV_RING_SCAN: return "ring scan";
        case QUVEX_SIM_EV_RING_RUN: return "ring run";
        case QUVEX_SIM_EV_RING_STOP: return "ring stop";
        case QUVEX_SIM_EV_RING_RESET: return "ring reset";
        case QUVEX_SIM_EV_RING_CONTROL: return "ring control";
        case QUVEX_SIM_EV_RING_ERROR_MAP_WRITE: return "ring error map";
        case QUVEX_SIM_EV_RING_CYCLIC_WRITE: return "cyclic word";
        case QUVEX_SIM_EV_RING_MESSAGE: return "message";
        case QUVEX_SIM_EV_RING_IDENT: return "identification";
        case QUVEX_SIM_EV_RING_REPLY: return "late reply";
        default: return "event";
    }
}

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

bool is_ring_event(int kind) { return kind >= QUVEX_SIM_EV_RING_SCAN && kind <= QUVEX_SIM_EV_RING_REPLY; }

// Events whose record holds no value: a command is its word alone, a mode change or a message is
// what it is.
bool has_value(int kind) {
    switch (kind) {
        case QUVEX_SIM_EV_CHIP_COMMAND:
        case QUVEX_SIM_EV_RING_SCAN:
        case QUVEX_SIM_EV_RING_RUN:
        case QUVEX_SIM_EV_RING_STOP:
        case QUVEX_SIM_EV_RING_RESET:
        case QUVEX_SIM_EV_RING_CONTROL:
        case QUVEX_SIM_EV_RING_MESSAGE:
        case QUVEX_SIM_EV_RING_REPLY: return false;
        default: return true;
    }
}

std::vector<std::uint16_t> trace_words(std::size_t index, int reply, int count) {
    std::vector<std::uint16_t> words(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count > 0) quvex_sim_trace_words(index, reply, words.data(), count);
    return words;
}

void print_words(std::ostream& os, const std::vector<std::uint16_t>& words) {
    os << '[';
    for (std::size_t i = 0; i < words.size(); ++i) os << (i == 0 ? "" : " ") << hex(words[i], 4);
    os << ']';
}

std::vector<CardEvent> events_of(int kind, int device, int axis, std::optional<unsigned> code = std::nullopt) {
    return card_events({.kind = kind, .device = device, .axis = axis, .code = code});
}

}  // namespace

std::vector<CardEvent> on_device(int device, std::vector<CardEvent> events) {
    for (CardEvent& e : events) e.device = device;
    return events;
}

std::vector<CardEvent> written_codes(std::initializer_list<int> axes, std::initializer_list<unsigned> codes) {
    std::vector<CardEvent> out;
    for (int a : axes)
        for (unsigned c : codes) out.push_back(without_value(reg_write(a, c, 0)));
    return out;
}

std::vector<CardEvent> status_reads(std::initializer_list<int> axes) {
    std::vector<CardEvent> out;
    for (int a : axes) out.push_back(without_value(reg_read(a, reg::kReadStatus32, 0)));
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
        CardEvent e{r.kind, r.device, r.axis, r.code, r.value, r.station, r.flags};
        if (!has_value(r.kind)) e.value.reset();
        e.words = trace_words(i, 0, r.word_count);
        e.reply = trace_words(i, 1, r.reply_count);
        out.push_back(std::move(e));
    }
    return out;
}

std::vector<CardEvent> ring_events(int device) {
    std::vector<CardEvent> out = card_events({.device = device});
    std::erase_if(out, [](const CardEvent& e) { return !is_ring_event(e.kind); });
    return out;
}

std::vector<CardEvent> chip_accesses(int device) {
    std::vector<CardEvent> out = card_events({.device = device});
    std::erase_if(out, [](const CardEvent& e) {
        return e.kind != QUVEX_SIM_EV_CHIP_REG_WRITE && e.kind != QUVEX_SIM_EV_CHIP_REG_READ &&
               e.kind != QUVEX_SIM_EV_CHIP_COMMAND;
    });
    return out;
}

std::vector<CardEvent> chip_writes(int axis, int device) {
    std::vector<CardEvent> out = chip_accesses(device);
    std::erase_if(out, [axis](const CardEvent& e) { return e.axis != axis || e.kind == QUVEX_SIM_EV_CHIP_REG_READ; });
    return out;
}

std::vector<std::uint32_t> written_values(int axis, unsigned code, int device) {
    std::vector<std::uint32_t> out;
    for (const CardEvent& e : events_of(QUVEX_SIM_EV_CHIP_REG_WRITE, device, axis, code)) out.push_back(*e.value);
    return out;
}

std::vector<std::uint32_t> read_values(int axis, unsigned read_code, int device) {
    std::vector<std::uint32_t> out;
    for (const CardEvent& e : events_of(QUVEX_SIM_EV_CHIP_REG_READ, device, axis, read_code)) out.push_back(*e.value);
    return out;
}

std::vector<std::uint32_t> commands_of(int axis, int device) {
    std::vector<std::uint32_t> out;
    for (const CardEvent& e : events_of(QUVEX_SIM_EV_CHIP_COMMAND, device, axis)) out.push_back(e.code);
    return out;
}

std::vector<unsigned> read_codes(int axis) {
    std::vector<unsigned> out;
    for (const CardEvent& e : events_of(QUVEX_SIM_EV_CHIP_REG_READ, 0, axis)) out.push_back(e.code);
    return out;
}

std::ostream& operator<<(std::ostream& os, ChipAxis axis) {
    return os << "XYZU?"[axis.number >= 0 && axis.number < 4 ? axis.number : 4];
}

std::ostream& operator<<(std::ostream& os, const CardEvent& e) {
    os << 'd' << e.device;
    if (e.station >= 0) os << " station " << e.station;
    if (e.axis >= 0) os << '.' << ChipAxis{e.axis};
    os << ' ' << kind_name(e.kind);
    switch (e.kind) {
        case QUVEX_SIM_EV_CHIP_REG_WRITE:
        case QUVEX_SIM_EV_CHIP_REG_READ: os << ' ' << register_name(e.code) << '(' << hex(e.code, 2) << ')'; break;
        case QUVEX_SIM_EV_CHIP_COMMAND: os << ' ' << command_name(e.code) << '(' << hex(e.code, 4) << ')'; break;
        case QUVEX_SIM_EV_REQUEST:
            os << ' ' << hex(e.code, 6);
            if (e.value) return os << (*e.value != 0 ? " granted" : " refused");
            break;
        case QUVEX_SIM_EV_RING_MESSAGE:
            print_words(os << ' ', e.words);
            if (!e.reply.empty()) print_words(os << " reply ", e.reply);
            break;
        case QUVEX_SIM_EV_RING_REPLY: print_words(os << ' ', e.reply); break;
        case QUVEX_SIM_EV_CHIP_STATUS:
        case QUVEX_SIM_EV_CHIP_SUBSTATUS:
        case QUVEX_SIM_EV_RING_SCAN:
        case QUVEX_SIM_EV_RING_RUN:
        case QUVEX_SIM_EV_RING_STOP:
        case QUVEX_SIM_EV_RING_RESET: break;
        default: os << ' ' << hex(e.code, 2); break;
    }
    if (e.value) os << " = 0x" << hex(*e.value, 8) << " (" << static_cast<std::int32_t>(*e.value) << ')';
    if ((e.flags & QUVEX_SIM_EVF_NO_ANSWER) != 0) os << " (no answer)";
    if ((e.flags & QUVEX_SIM_EVF_STUCK) != 0) os << " (stuck)";
    return os;
}

}  // namespace quvex::test
