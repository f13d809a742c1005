// Test support: the decoded trace as typed records, and patterns to find records by their
// fields. A record prints as its text line, so failures read like the bus analyser's listing.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "quvex/sim.h"

namespace quvex::test {

struct TraceEvent {
    quvex_sim_event record{};
    std::string text;
    std::vector<uint16_t> words;  // message words
    std::vector<uint16_t> reply;  // reply words
};

// Every decoded event since the last clear.
std::vector<TraceEvent> trace_events();

// Fields left empty (and kind 0) match anything.
struct EventPattern {
    int kind = 0;
    std::optional<int> device{};
    std::optional<int> axis{};
    std::optional<int> station{};
    std::optional<uint32_t> code{};
    std::optional<uint32_t> value{};
    std::optional<unsigned> flags{};
    bool matches(const quvex_sim_event& r) const;
    bool matches(const TraceEvent& e) const { return matches(e.record); }
};

std::vector<TraceEvent> events_matching(const EventPattern& pattern);

inline void PrintTo(const TraceEvent& e, std::ostream* os) { *os << '"' << e.text << '"'; }

}  // namespace quvex::test
