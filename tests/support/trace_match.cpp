#include "trace_match.h"

namespace quvex::test {
namespace {

std::vector<uint16_t> words_of(std::size_t index, int reply) {
    const int n = quvex_sim_trace_words(index, reply, nullptr, 0);
    std::vector<uint16_t> words(static_cast<std::size_t>(n > 0 ? n : 0));
    if (n > 0) quvex_sim_trace_words(index, reply, words.data(), n);
    return words;
}

template <typename T>
bool field_matches(const std::optional<T>& want, T have) {
    return !want || *want == have;
}

}  // namespace

std::vector<TraceEvent> trace_events() {
    std::vector<TraceEvent> out;
    const std::size_t n = quvex_sim_trace_count();
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        TraceEvent e;
        quvex_sim_trace_get(i, &e.record);
        char text[512];
        quvex_sim_trace_text(i, text, sizeof text);
        e.text = text;
        e.words = words_of(i, 0);
        e.reply = words_of(i, 1);
        out.push_back(std::move(e));
    }
    return out;
}

bool EventPattern::matches(const quvex_sim_event& r) const {
    return (kind == 0 || r.kind == kind) && field_matches(device, r.device) && field_matches(axis, r.axis) &&
           field_matches(station, r.station) && field_matches(code, r.code) && field_matches(value, r.value) &&
           field_matches(flags, r.flags);
}

std::vector<TraceEvent> events_matching(const EventPattern& pattern) {
    std::vector<TraceEvent> out;
    for (TraceEvent& e : trace_events()) {
        if (pattern.matches(e)) out.push_back(std::move(e));
    }
    return out;
}

}  // namespace quvex::test
