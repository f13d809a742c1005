// The trace as a VCD waveform (time unit 1 ns) that logic-analyser viewers open: per axis the
// command position and speed from the motion samples, the operation state and input signals as
// the status reads showed them, the stop reason, register writes and commands; per ring the
// master's mode and each station's messages, replies and cyclic words.
//
// Library calls run in zero virtual time, so one signal often changes several times at one
// instant (a move writes a dozen registers). A waveform keeps one value per signal and instant;
// each further change of the same signal is therefore placed one tick (1 ns) after the previous
// one, and everything later keeps its order. The CSV table keeps the exact times.
#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "trace_export.h"

namespace qsim {

namespace {

struct Signal {
    std::vector<std::string> scope;  // outermost first
    std::string name;
    const char* type;  // "wire", "integer" or "real"
    int width;
    std::string id;
};

struct Change {
    std::int64_t time;  // ns
    std::size_t order;  // samples before events at one instant, events in trace order
    std::size_t signal;
    bool real;
    std::uint64_t bits;
    double value;
};

// Identifier codes are strings of the printable characters '!'..'~'.
std::string vcd_id(std::size_t n) {
    std::string id;
    do {
        id += static_cast<char>('!' + n % 94);
        n /= 94;
    } while (n != 0);
    return id;
}

std::int64_t to_ns(double seconds) { return static_cast<std::int64_t>(std::llround(seconds * 1e9)); }

class Waveform {
public:
    std::size_t signal(const std::vector<std::string>& scope, const std::string& name, const char* type, int width) {
        std::string key;
        for (const std::string& s : scope) key += s + ".";
        key += name;
        auto it = index_.find(key);
        if (it != index_.end()) return it->second;
        signals_.push_back(Signal{scope, name, type, width, vcd_id(signals_.size())});
        index_.emplace(key, signals_.size() - 1);
        return signals_.size() - 1;
    }
    void bits(std::int64_t time, std::size_t order, std::size_t sig, std::uint64_t value) {
        changes_.push_back(Change{time, order, sig, false, value, 0.0});
    }
    void real(std::int64_t time, std::size_t order, std::size_t sig, double value) {
        changes_.push_back(Change{time, order, sig, true, 0, value});
    }
    bool write(std::FILE* f, std::int64_t end);

private:
    void write_value(std::FILE* f, const Signal& s, const Change& c) const;
    std::vector<Signal> signals_;
    std::map<std::string, std::size_t> index_;
    std::vector<Change> changes_;
};

void Waveform::write_value(std::FILE* f, const Signal& s, const Change& c) const {
    if (c.real) {
        std::fprintf(f, "r%.17g %s\n", c.value, s.id.c_str());
    } else if (s.width == 1) {
        std::fprintf(f, "%d%s\n", c.bits != 0 ? 1 : 0, s.id.c_str());
    } else {
        char buf[72];
        int n = 0;
        for (int b = s.width - 1; b >= 0; --b) {
            if (n == 0 && b > 0 && ((c.bits >> b) & 1u) == 0) continue;  // no leading zeros
            buf[n++] = ((c.bits >> b) & 1u) != 0 ? '1' : '0';
        }
        buf[n] = '\0';
        std::fprintf(f, "b%s %s\n", buf, s.id.c_str());
    }
}

bool Waveform::write(std::FILE* f, std::int64_t end) {
    std::fputs("$date virtual installation trace $end\n$version quvex virtual installation $end\n"
               "$timescale 1ns $end\n",
               f);
    // Declarations grouped by scope, each scope where its first signal was made (devices and
    // axes in their own order, not the alphabet's).
    std::map<std::string, std::size_t> first_seen;
    const auto ranks = [&](const Signal& s) {
        std::vector<std::size_t> r;
        std::string path;
        for (const std::string& part : s.scope) {
            path += part + ".";
            r.push_back(first_seen.emplace(path, first_seen.size()).first->second);
        }
        return r;
    };
    std::vector<std::vector<std::size_t>> rank;
    for (const Signal& s : signals_) rank.push_back(ranks(s));
    std::vector<std::size_t> order(signals_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return rank[a] < rank[b]; });
    std::vector<std::string> open;
    for (std::size_t i : order) {
        const Signal& s = signals_[i];
        std::size_t common = 0;
        while (common < open.size() && common < s.scope.size() && open[common] == s.scope[common]) ++common;
        for (std::size_t k = open.size(); k > common; --k) std::fputs("$upscope $end\n", f);
        open.resize(common);
        for (std::size_t k = common; k < s.scope.size(); ++k) {
            std::fprintf(f, "$scope module %s $end\n", s.scope[k].c_str());
            open.push_back(s.scope[k]);
        }
        std::fprintf(f, "$var %s %d %s %s $end\n", s.type, s.width, s.id.c_str(), s.name.c_str());
    }
    for (std::size_t k = open.size(); k > 0; --k) std::fputs("$upscope $end\n", f);
    std::fputs("$enddefinitions $end\n#0\n$dumpvars\n", f);
    for (const Signal& s : signals_) {
        if (std::string(s.type) == "real") {
            std::fprintf(f, "r0 %s\n", s.id.c_str());
        } else if (s.width == 1) {
            std::fprintf(f, "x%s\n", s.id.c_str());
        } else {
            std::fprintf(f, "bx %s\n", s.id.c_str());
        }
    }
    std::fputs("$end\n", f);

    std::stable_sort(changes_.begin(), changes_.end(), [](const Change& a, const Change& b) {
        return a.time != b.time ? a.time < b.time : a.order < b.order;
    });
    std::vector<std::int64_t> last(signals_.size(), -1);
    std::int64_t cursor = 0;
    std::int64_t written = 0;
    for (const Change& c : changes_) {
        std::int64_t t = std::max(c.time, cursor);
        if (last[c.signal] >= t) t = last[c.signal] + 1;
        cursor = t;
        last[c.signal] = t;
        if (t != written) {
            std::fprintf(f, "#%lld\n", static_cast<long long>(t));
            written = t;
        }
        write_value(f, signals_[c.signal], c);
    }
    if (end > written) std::fprintf(f, "#%lld\n", static_cast<long long>(end));
    return std::ferror(f) == 0;
}

const char* const kAxisNames[] = {"X", "Y", "Z", "U"};

// Sub-status bits of the input signals.
struct InputBit {
    const char* name;
    int bit;
};
const InputBit kInputBits[] = {{"el_plus", 0},  {"el_minus", 1},     {"alarm", 3},    {"origin", 11},
                               {"index", 12},   {"in_position", 13}, {"slow_down", 14}};

// "d3", "slave12": built by appending (GCC 12 warns falsely about "literal" + std::string).
std::string numbered(const char* prefix, int n) {
    std::string s = prefix;
    s += std::to_string(n);
    return s;
}

std::vector<std::string> axis_scope(int device, int station, int axis) {
    std::vector<std::string> scope{numbered("d", device)};
    if (station >= 0) scope.push_back(numbered("slave", station));
    scope.push_back(axis >= 0 && axis < 4 ? kAxisNames[axis] : numbered("axis", axis));
    return scope;
}

std::vector<std::string> station_scope(int device, int station) {
    return {numbered("d", device), "ring", numbered("slave", station)};
}

void add_axis(Waveform& w, const TracedAxis& a) {
    const auto scope = axis_scope(a.device, -1, a.axis);
    if (!a.samples.empty()) {
        const std::size_t pos = w.signal(scope, "position", "integer", 32);
        const std::size_t speed = w.signal(scope, "speed", "real", 64);
        // A waveform holds changes: a sample repeating the previous value adds nothing.
        const quvex_sim_motion_sample* previous = nullptr;
        for (const quvex_sim_motion_sample& s : a.samples) {
            if (previous == nullptr || s.position != previous->position) {
                w.bits(to_ns(s.time), 0, pos, static_cast<std::uint32_t>(s.position));
            }
            if (previous == nullptr || s.speed != previous->speed) w.real(to_ns(s.time), 0, speed, s.speed);
            previous = &s;
        }
    }
    const std::size_t stop = w.signal(scope, "stop_reason", "wire", 8);
    w.bits(0, 0, stop, 0);
    const quvex_sim_motion_info& m = a.motion;
    if (m.state == QUVEX_SIM_STATE_STOPPED && m.stop_reason != 0 && m.ended_at >= m.started_at) {
        w.bits(to_ns(m.ended_at), 0, stop, m.stop_reason);
    }
}

void add_event(Waveform& w, const TracedEvent& e, std::size_t order) {
    const quvex_sim_event& r = e.record;
    const std::int64_t t = to_ns(r.time);
    if (r.device < 0) return;  // a port nobody decodes: in the CSV only
    const bool chip = r.kind >= QUVEX_SIM_EV_CHIP_STATUS && r.kind <= QUVEX_SIM_EV_CHIP_COMMAND && r.axis >= 0;
    if (chip) {
        const auto scope = axis_scope(r.device, r.station, r.axis);
        switch (r.kind) {
        case QUVEX_SIM_EV_CHIP_STATUS:
            w.bits(t, order, w.signal(scope, "state", "wire", 4), r.value & 0xFu);
            break;
        case QUVEX_SIM_EV_CHIP_SUBSTATUS:
            for (const InputBit& in : kInputBits) {
                w.bits(t, order, w.signal(scope, in.name, "wire", 1), (r.value >> in.bit) & 1u);
            }
            break;
        case QUVEX_SIM_EV_CHIP_REG_WRITE:
            w.bits(t, order, w.signal(scope, "reg_code", "wire", 8), r.code);
            w.bits(t, order, w.signal(scope, "reg_data", "wire", 32), r.value);
            break;
        case QUVEX_SIM_EV_CHIP_COMMAND:
            w.bits(t, order, w.signal(scope, "command", "wire", 16), r.code);
            break;
        default:
            break;
        }
        return;
    }
    const std::vector<std::string> ring{numbered("d", r.device), "ring"};
    switch (r.kind) {
    case QUVEX_SIM_EV_RING_SCAN:
    case QUVEX_SIM_EV_RING_RUN:
    case QUVEX_SIM_EV_RING_STOP:
    case QUVEX_SIM_EV_RING_RESET: {
        // The master's mode as quvex_sim_ring_mode numbers it: 0 idle, 1 scanned, 2 running, 3 stopped.
        const std::uint64_t mode = r.kind == QUVEX_SIM_EV_RING_SCAN  ? 1
                                   : r.kind == QUVEX_SIM_EV_RING_RUN ? 2
                                   : r.kind == QUVEX_SIM_EV_RING_STOP ? 3
                                                                      : 0;
        w.bits(t, order, w.signal(ring, "mode", "wire", 2), mode);
        break;
    }
    case QUVEX_SIM_EV_RING_CONTROL:
        w.bits(t, order, w.signal(ring, "control", "wire", 16), r.code);
        break;
    case QUVEX_SIM_EV_RING_CYCLIC_WRITE:
        if (r.station >= 0 && r.code < 2) {
            const std::string name = r.code == 0 ? "cyclic0" : "cyclic1";
            w.bits(t, order, w.signal(station_scope(r.device, r.station), name, "wire", 16), r.value);
        }
        break;
    case QUVEX_SIM_EV_RING_MESSAGE:
    case QUVEX_SIM_EV_RING_REPLY:
        if (r.station >= 0) {
            const auto scope = station_scope(r.device, r.station);
            if (r.kind == QUVEX_SIM_EV_RING_MESSAGE && !e.words.empty()) {
                w.bits(t, order, w.signal(scope, "message", "wire", 16), e.words.front());
            }
            if (!e.reply.empty()) w.bits(t, order, w.signal(scope, "reply", "wire", 16), e.reply.front());
        }
        break;
    case QUVEX_SIM_EV_RING_IDENT:
        if (r.station >= 0) w.bits(t, order, w.signal(station_scope(r.device, r.station), "ident", "wire", 32), r.value);
        break;
    default:
        break;
    }
}

}  // namespace

bool write_trace_vcd(std::FILE* f, const std::vector<TracedEvent>& events, const std::vector<TracedAxis>& axes,
                     std::int64_t end_ns) {
    Waveform w;
    for (const TracedAxis& a : axes) add_axis(w, a);
    for (std::size_t i = 0; i < events.size(); ++i) add_event(w, events[i], i + 1);
    return w.write(f, end_ns);
}

}  // namespace qsim
