// The trace written for other tools: a CSV table of the decoded events, and a VCD waveform of the
// axes and the ring over virtual time. Both read the installation through its own C calls (the
// trace records, the motion samples, the motion state), so they see exactly what any other tool
// sees and do not depend on how the installation keeps them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "machine.h"
#include "quvex/sim.h"
#include "trace_export.h"

namespace qsim {

namespace {

constexpr int kAxesPerCard = 4;

std::string text_of(std::size_t index) {
    char buf[256];
    const int n = quvex_sim_trace_text(index, buf, sizeof buf);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < sizeof buf) return buf;
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    quvex_sim_trace_text(index, big.data(), big.size());
    big.resize(static_cast<std::size_t>(n));
    return big;
}

std::vector<std::uint16_t> words_of(std::size_t index, int reply, int count) {
    std::vector<std::uint16_t> words(static_cast<std::size_t>(count > 0 ? count : 0));
    if (words.empty()) return words;
    const int n = quvex_sim_trace_words(index, reply, words.data(), count);
    words.resize(static_cast<std::size_t>(n < 0 ? 0 : std::min(n, count)));
    return words;
}

}  // namespace

std::vector<TracedEvent> read_trace() {
    std::vector<TracedEvent> events;
    const std::size_t count = quvex_sim_trace_count();
    events.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        TracedEvent e;
        if (quvex_sim_trace_get(i, &e.record) != 0) break;  // cleared meanwhile
        e.text = text_of(i);
        e.words = words_of(i, 0, e.record.word_count);
        e.reply = words_of(i, 1, e.record.reply_count);
        events.push_back(std::move(e));
    }
    return events;
}

std::vector<TracedAxis> read_axes() {
    std::vector<TracedAxis> axes;
    quvex_sim_card_info info;
    for (int d = 0; d < kMaxDevices; ++d) {
        if (quvex_sim_card_info_get(d, &info) != 0) continue;
        for (int a = 0; a < kAxesPerCard; ++a) {
            TracedAxis axis;
            axis.device = d;
            axis.axis = a;
            if (quvex_sim_motion_info_get(d, a, &axis.motion) != 0) continue;
            const int n = quvex_sim_motion_samples(d, a, nullptr, 0);
            if (n > 0) {
                axis.samples.resize(static_cast<std::size_t>(n));
                const int got = quvex_sim_motion_samples(d, a, axis.samples.data(), n);
                axis.samples.resize(static_cast<std::size_t>(std::max(0, std::min(got, n))));
            }
            axes.push_back(std::move(axis));
        }
    }
    return axes;
}

const char* event_kind_name(int kind) {
    static const char* const names[] = {
        "",                   "chip_status",        "chip_substatus",  "chip_reg_write",  "chip_reg_read",
        "chip_command",       "card_port_write",    "board_read",      "board_write",     "bridge_read16",
        "bridge_write16",     "bridge_read8",       "bridge_write8",   "card_byte_write", "request",
        "port_read8",         "port_write8",        "port_read16",     "port_write16",    "ring_scan",
        "ring_run",           "ring_stop",          "ring_reset",      "ring_control",    "ring_error_map_write",
        "ring_cyclic_write",  "ring_message",       "ring_ident",      "ring_reply",
    };
    if (kind <= 0 || kind >= static_cast<int>(sizeof names / sizeof names[0])) return "unknown";
    return names[kind];
}

}  // namespace qsim

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_trace_write_csv(const char* path) {
    if (path == nullptr) return -1;
    std::FILE* f = std::fopen(path, "w");
    if (f == nullptr) return -1;
    bool ok = false;
    try {
        ok = qsim::write_trace_csv(f, qsim::read_trace());
    } catch (...) {  // out of memory for a huge trace: the file stays incomplete
    }
    return std::fclose(f) == 0 && ok ? 0 : -1;
}

QUVEX_API int QUVEX_CALL quvex_sim_trace_write_vcd(const char* path) {
    if (path == nullptr) return -1;
    std::FILE* f = std::fopen(path, "w");
    if (f == nullptr) return -1;
    bool ok = false;
    try {
        ok = qsim::write_trace_vcd(f, qsim::read_trace(), qsim::read_axes(),
                                   static_cast<std::int64_t>(std::llround(quvex_sim_now() * 1e9)));
    } catch (...) {
    }
    return std::fclose(f) == 0 && ok ? 0 : -1;
}

}  // extern "C"
