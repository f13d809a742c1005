// The decoded trace as a CSV table: one row per event, the fields as columns, the words in hex
// and the event's text last, so spreadsheets filter on fields and people read the text. Code and
// value carry 0x: a spreadsheet would read a bare "10" as ten.
#include <string>

#include "trace_export.h"

namespace qsim {

namespace {

std::string hex_words(const std::vector<std::uint16_t>& words) {
    std::string out;
    char buf[8];
    for (std::uint16_t w : words) {
        std::snprintf(buf, sizeof buf, out.empty() ? "%04X" : " %04X", static_cast<unsigned>(w));
        out += buf;
    }
    return out;
}

// A field quoted when it holds a separator, a quote or a line break (quotes doubled).
std::string csv_field(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace

bool write_trace_csv(std::FILE* f, const std::vector<TracedEvent>& events) {
    bool ok = std::fputs("time_s,kind,device,axis,station,code,value,flags,words,reply,text\n", f) >= 0;
    for (const TracedEvent& e : events) {
        const quvex_sim_event& r = e.record;
        ok = std::fprintf(f, "%.9f,%s,%d,%d,%d,0x%X,0x%X,%u,%s,%s,%s\n", r.time, event_kind_name(r.kind), r.device, r.axis,
                          r.station, static_cast<unsigned>(r.code), static_cast<unsigned>(r.value), r.flags,
                          hex_words(e.words).c_str(), hex_words(e.reply).c_str(), csv_field(e.text).c_str()) > 0 &&
             ok;
    }
    return ok;
}

}  // namespace qsim
