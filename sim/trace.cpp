#include "trace.h"

#include <cstdio>

namespace qsim {
namespace {

std::string format(const char* fmt, auto... args) {
    char text[96];
    std::snprintf(text, sizeof text, fmt, args...);
    return text;
}

std::string words_text(const std::uint16_t* words, std::size_t count) {
    if (count == 0) return "-";
    std::string s;
    s.reserve(count * 5);
    for (std::size_t i = 0; i < count; ++i) s += format(i == 0 ? "%04X" : " %04X", words[i]);
    return s;
}

// "d0" for the card, "d0.X" for a chip axis of the card, "d0 slave 3.X" for a chip axis of a
// station's own chips.
std::string chip_site(const TraceRecord& r) {
    std::string s = format("d%d", r.device);
    if (r.station >= 0) s += format(" slave %d", r.station);
    if (r.axis >= 0) s += format(".%s", axis_letter(r.axis));
    return s;
}

}  // namespace

TraceRecord Trace::make(std::int64_t time, TraceKind kind, TraceSite site, std::uint32_t code, std::uint32_t value,
                        std::uint8_t flags) {
    TraceRecord r;
    r.time = time;
    r.kind = kind;
    r.flags = flags;
    r.device = static_cast<std::int8_t>(site.device);
    r.axis = static_cast<std::int8_t>(site.axis);
    r.station = static_cast<std::int8_t>(site.station);
    r.code = code;
    r.value = value;
    return r;
}

void Trace::message(std::int64_t time, TraceKind kind, TraceSite site, const std::vector<std::uint16_t>& words,
                    const std::vector<std::uint16_t>& reply, std::uint8_t flags) {
    if (!enabled) return;
    TraceRecord r = make(time, kind, site, 0, 0, flags);
    r.words_at = static_cast<std::uint32_t>(word_pool.size());
    r.word_count = static_cast<std::uint16_t>(words.size());
    r.reply_count = static_cast<std::uint16_t>(reply.size());
    word_pool.insert(word_pool.end(), words.begin(), words.end());
    word_pool.insert(word_pool.end(), reply.begin(), reply.end());
    records.push_back(r);
}

std::vector<std::uint16_t> Trace::words_of(const TraceRecord& r) const {
    const auto first = word_pool.begin() + r.words_at;
    return {first, first + r.word_count};
}

std::vector<std::uint16_t> Trace::reply_of(const TraceRecord& r) const {
    const auto first = word_pool.begin() + r.words_at + r.word_count;
    return {first, first + r.reply_count};
}

std::string Trace::text(const TraceRecord& r) const {
    const int d = r.device;
    const unsigned c = r.code;
    const unsigned v = r.value;
    const bool unanswered = (r.flags & kTraceNoAnswer) != 0;
    switch (r.kind) {
        case TraceKind::chip_status: return chip_site(r) + format(" status -> %04X", v);
        case TraceKind::chip_substatus: return chip_site(r) + format(" substatus -> %04X", v);
        case TraceKind::chip_reg_write: return chip_site(r) + format(" reg %02X <- %08X", c, v);
        case TraceKind::chip_reg_read: return chip_site(r) + format(" read %02X -> %08X", c, v);
        case TraceKind::chip_command: return chip_site(r) + format(" cmd %04X", c);
        case TraceKind::card_port_write: return format("d%d card %02X <- %04X", d, c, v);
        case TraceKind::board_read: return format("d%d board %02X -> %04X", d, c, v);
        case TraceKind::board_write: return format("d%d board %02X <- %04X", d, c, v);
        case TraceKind::bridge_read16: return format("d%d bridge %02X -> %04X", d, c, v);
        case TraceKind::bridge_write16: return format("d%d bridge %02X <- %04X", d, c, v);
        case TraceKind::bridge_read8: return format("d%d bridge %02X -> %02X", d, c, v);
        case TraceKind::bridge_write8: return format("d%d bridge %02X <- %02X", d, c, v);
        case TraceKind::card_byte_write: return format("d%d byte %04X <- %02X", d, c, v);
        case TraceKind::request: return format("d%d request %06X %s", d, c, v != 0 ? "ok" : "failed");
        case TraceKind::port_read8: return format("port %04X -> %02X", c, v);
        case TraceKind::port_write8: return format("port %04X <- %02X", c, v);
        case TraceKind::port_read16: return format("port %04X -> %04X", c, v);
        case TraceKind::port_write16: return format("port %04X <- %04X", c, v);
        case TraceKind::ring_scan: return format("d%d ring scan", d);
        case TraceKind::ring_run: return format("d%d ring run", d);
        case TraceKind::ring_stop: return format("d%d ring stop", d);
        case TraceKind::ring_reset: return format("d%d ring reset", d);
        case TraceKind::ring_control: return format("d%d ring control %04X", d, c);
        case TraceKind::ring_error_map_write: return format("d%d ring error map %u <- %04X", d, c, v);
        case TraceKind::ring_cyclic_write:
            return format("d%d ring slave %d cyclic %u <- %04X%s", d, r.station, c, v,
                          (r.flags & kTraceStuck) != 0 ? " (stuck)" : "");
        case TraceKind::ring_message: {
            const std::uint16_t* words = word_pool.data() + r.words_at;
            std::string s = format("d%d ring slave %d msg ", d, r.station) + words_text(words, r.word_count);
            if (unanswered) return s + " (no answer)";
            return s + " -> " + words_text(words + r.word_count, r.reply_count);
        }
        case TraceKind::ring_ident:
            if (unanswered) return format("d%d ring slave %d ident (no answer)", d, r.station);
            return format("d%d ring slave %d ident -> %08X", d, r.station, v);
        case TraceKind::ring_reply:
            return format("d%d ring slave %d reply -> ", d, r.station) +
                   words_text(word_pool.data() + r.words_at + r.word_count, r.reply_count);
    }
    return format("event %d", static_cast<int>(r.kind));
}

const char* axis_letter(int axis) {
    static const char* const letters[] = {"X", "Y", "Z", "U"};
    return (axis >= 0 && axis < 4) ? letters[axis] : "?";
}

}  // namespace qsim
