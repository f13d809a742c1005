#include "chip_compare.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "chip.h"
#include "motion_engine.h"

namespace qsim {
namespace {

using Phase = MotionState::Phase;

constexpr double kNoTime = std::numeric_limits<double>::infinity();

// Sources: the counter a comparator watches (comparator 5's third source bit is not decoded).
enum Source : unsigned { kSourceCommandCounter = 0, kSourcePositionCounter = 1, kSourceErrorCounter = 2, kSourceGeneralCounter = 3 };

// Conditions.
constexpr unsigned kEqual = 1, kEqualCountingUp = 2, kEqualCountingDown = 3, kBelow = 4, kAbove = 5,
                   kSoftLimit = 6, kGeneralEqualClear = 8, kGeneralUpClear = 9, kGeneralDownClear = 10;

// Actions.
constexpr unsigned kActionImmediateStop = 1, kActionDeceleratingStop = 2;

// General counter sources that count the axis's pulses (output pulses, feedback pulses).
constexpr unsigned kGeneralCountsOutput = 0, kGeneralCountsFeedback = 1;

// Trigger output types (env2 bits 14-15).
constexpr unsigned kTriggerPulse = 3, kTriggerToggle = 2;

// Interrupt factor bit of comparator n (n = 1..5: bits 8..12) and the driver's stop-reason bit.
constexpr std::uint32_t match_event_bit(int n) { return 1u << (7 + n); }
constexpr std::uint32_t kStopReasonBits[5] = {0x1, 0x2, 0x4, 0x8, 0x10};
constexpr std::uint32_t kMotionStopReasons[5] = {compare_stop::kSoftLimitPlus, compare_stop::kSoftLimitMinus,
                                                 compare_stop::kComparator, compare_stop::kComparator,
                                                 compare_stop::kComparator};

// Auto compare: the block's fields as the driver reads them.
constexpr std::size_t kCount = 0x00, kNextEntry = 0x04, kMode = 0x08, kSeriesStart = 0x10, kSeriesEnd = 0x14,
                      kSeriesStep = 0x18, kSeriesCount = 0x1C, kTable = 0x20;
constexpr std::int16_t kModeTable = 1, kModeSeries = 2;
constexpr std::uint32_t kAutoCompareFactor = 1u << 12;

struct Config {
    unsigned source;
    unsigned condition;
    unsigned action;
};

// Comparator n's configuration, decoded by the chip kind's own layout; a comparator the kind
// does not have reads as condition 0 (never matches).
Config config(const Chip& c, int n) {
    const CompareLayout& layout = *c.units().compare;
    if (n < 1 || n > layout.count) return {0, 0, 0};
    const ComparatorField& f = layout.fields[n - 1];
    const std::uint32_t b = (c.env[f.env] >> f.shift) & 0xFFu;
    return {b & ((1u << f.source_bits) - 1u), (b >> f.source_bits) & ((1u << f.condition_bits) - 1u),
            (b >> f.action_shift) & 0x3u};
}

std::int32_t data(const Chip& c, int n) { return static_cast<std::int32_t>(c.comparator[static_cast<std::size_t>(n - 1)]); }

unsigned general_source(const Chip& c) { return (c.env[chipcode::kEnv3Index] >> 12) & 0x3u; }

std::int64_t counter(const Chip& c, unsigned source) {
    switch (source & 0x3u) {
        case kSourceCommandCounter: return c.command_counter;
        case kSourcePositionCounter: return c.position_counter;
        case kSourceErrorCounter: return c.error_counter;
        default: return c.general_counter;
    }
}

// How a counter follows the axis's pulses: +1 or -1 per pulse in the motion's direction, or 0
// for a counter that motion does not move.
int counting_direction(const Chip& c, unsigned source, int motion_direction) {
    switch (source & 0x3u) {
        case kSourceCommandCounter:
        case kSourcePositionCounter: return motion_direction;
        case kSourceErrorCounter: return 0;
        default: {
            const unsigned g = general_source(c);
            return g == kGeneralCountsOutput || g == kGeneralCountsFeedback ? motion_direction : 0;
        }
    }
}

bool error_counter_watched(const Chip& c) {
    static_assert(kSourceErrorCounter == 2 && chipcode::kEnv4Index == 3 && chipcode::kEnv5Index == 4);
    return error_counter_watched_by(c.env);
}

bool is_stop(unsigned action) { return action == kActionImmediateStop || action == kActionDeceleratingStop; }

bool stopping(const Chip& c) { return c.motion.ramp_down_begun && c.motion.stop_at_start_speed; }

// Pulses the axis still has to count (in direction `dir` of `counter`) until comparator n's
// condition becomes true: 0 for a software limit already reached on the way towards it (the
// move is stopped before its first pulse), none when counting that way never makes it true.
std::optional<std::int64_t> pulses_to_match(const Chip& c, int n, int dir) {
    const Config cfg = config(c, n);
    if (dir == 0) return std::nullopt;
    const std::int64_t v = counter(c, cfg.source);
    const std::int64_t d = data(c, n);
    auto ahead = [](std::int64_t k) { return k > 0 ? std::optional<std::int64_t>(k) : std::nullopt; };
    switch (cfg.condition) {
        case kEqual:
        case kGeneralEqualClear: return ahead((d - v) * dir);
        case kEqualCountingUp:
        case kGeneralUpClear: return dir > 0 ? ahead(d - v) : std::nullopt;
        case kEqualCountingDown:
        case kGeneralDownClear: return dir < 0 ? ahead(v - d) : std::nullopt;
        case kBelow: return dir < 0 && v >= d ? ahead(v - d + 1) : std::nullopt;
        case kAbove: return dir > 0 && v <= d ? ahead(d - v + 1) : std::nullopt;
        case kSoftLimit: {
            if ((n == 1 && dir < 0) || (n == 2 && dir > 0) || n > 2) return std::nullopt;
            const std::int64_t k = (d - v) * dir;
            if (k > 0) return k;
            // Already at the limit: a stop that has not begun stops the move at once.
            if (is_stop(cfg.action) && !stopping(c)) return std::int64_t{0};
            return std::nullopt;
        }
        default: return std::nullopt;
    }
}

// Comparator n's condition for the counters as they are.
bool condition_holds(const Chip& c, int n) {
    const Config cfg = config(c, n);
    std::int64_t v = counter(c, cfg.source);
    const std::int64_t d = data(c, n);
    switch (cfg.condition) {
        case kEqual:
        case kEqualCountingUp:
        case kEqualCountingDown:
        case kGeneralEqualClear:
        case kGeneralUpClear:
        case kGeneralDownClear: return v == d;
        case kBelow: return v < d;
        case kAbove:
            // The deviation counts either way: the error-counter check compares its size.
            if ((cfg.source & 0x3u) == kSourceErrorCounter && v < 0) v = -v;
            return v > d;
        case kSoftLimit: return (n == 1 && v >= d) || (n == 2 && v <= d);
        default: return false;
    }
}

// ---- when the next match comes ----

// Pulses covered from the motion's time up to step j of its ramp (j > taken): the current speed
// held to the next step, then each step's speed held to the step after it (closed form in the
// ramp's step-offset sums).
double ramp_pulses_to(const MotionState& s, int j) {
    const Ramp& r = s.ramp;
    const int a = r.taken + 1;
    const double first = (r.step_offset(a) - (s.time - r.start)) * s.speed;
    double held = 0;
    const int b = j - 1;
    if (b >= a) {
        const double base = r.speed_after(a) * r.step_offset(a) - r.direction * r.offset_sum(a);
        held = r.speed_after(b) * r.step_offset(b + 1) - r.direction * r.offset_sum(b) - base;
    }
    return (first + held) * unit_pps(s);
}

// Virtual time (seconds) at which the motion has covered `need` more pulses, if that happens
// before `segment_end`, the motion's next own event (until then it runs at constant speed or on
// its ramp); kNoTime otherwise.
double time_of_pulses(const MotionState& s, double need, double segment_end) {
    if (need <= 0) return s.time;
    double t = kNoTime;
    if (!s.ramping) {
        const double pps = s.speed * unit_pps(s);
        if (pps > 0) t = s.time + need / pps;
    } else {
        const Ramp& r = s.ramp;
        const int a = r.taken + 1;
        if (r.steps >= a && ramp_pulses_to(s, r.steps) >= need) {
            int low = a, high = r.steps;  // the first step whose pulses reach `need`
            while (low < high) {
                const int mid = low + (high - low) / 2;
                if (ramp_pulses_to(s, mid) >= need) high = mid; else low = mid + 1;
            }
            const bool first = low == a;
            const double from = first ? s.time : r.start + r.step_offset(low - 1);
            const double covered = first ? 0.0 : ramp_pulses_to(s, low - 1);
            const double speed = first ? s.speed : r.speed_after(low - 1);
            t = from + (need - covered) / (speed * unit_pps(s));
        } else {
            // Past the ramp's end at the speed it reaches.
            const double covered = r.steps >= a ? ramp_pulses_to(s, r.steps) : 0.0;
            const double pps = r.speed_after(r.steps) * unit_pps(s);
            if (pps > 0) t = std::max(s.time, r.end_time()) + (need - covered) / pps;
        }
    }
    return t <= segment_end ? t : kNoTime;
}

double motion_event_seconds(const Chip& c) {
    const Ns at = c.motion_event_time();
    return at == kNever ? kNoTime : ns_to_seconds(at);
}

struct Watch {
    double at = kNoTime;  // seconds
    double margin = 0;    // how far past `at` the motion may run without passing the next pulse
};

// The next match of any comparator of the running chip within its current motion stretch.
Watch next_match(const Chip& c) {
    const MotionState& s = c.motion;
    Watch w;
    if (s.phase != Phase::running) return w;
    const double segment_end = motion_event_seconds(c);
    bool immediate = false;
    for (int n = 1; n <= 5; ++n) {
        const int dir = counting_direction(c, config(c, n).source, s.direction);
        const std::optional<std::int64_t> k = pulses_to_match(c, n, dir);
        if (!k) continue;
        immediate = immediate || *k == 0;
        const double at = *k == 0 ? s.time : time_of_pulses(s, static_cast<double>(*k) - s.fraction, segment_end);
        w.at = std::min(w.at, at);
    }
    if (w.at != kNoTime && !immediate) {
        // A quarter of the fastest pulse period of the stretch: far enough that rounding cannot
        // leave the matching pulse uncounted, short of the pulse after it.
        double fastest = std::max(s.speed, s.max_speed);
        if (s.ramping) fastest = std::max(fastest, s.ramp.speed_after(s.ramp.steps));
        fastest *= unit_pps(s);
        w.margin = fastest > 0 ? 0.25 / fastest : 0;
    }
    return w;
}

bool general_counts_pulses(const Chip& c) {
    const unsigned g = general_source(c);
    return g == kGeneralCountsOutput || g == kGeneralCountsFeedback;
}

std::uint64_t total_matches(ChipGroup& group) {
    std::uint64_t total = 0;
    for (int a = 0; a < group.size(); ++a) {
        for (const std::uint32_t m : group.chip(a).compare.matches) total += m;
    }
    return total;
}

bool any_comparator_watching(const Chip& c) {
    for (int n = 1; n <= 5; ++n) {
        if (counting_direction(c, config(c, n).source, c.motion.direction) != 0 &&
            pulses_to_match(c, n, c.motion.direction).has_value()) {
            return true;
        }
    }
    return false;
}

// ---- what a match does ----

void record_trigger(Chip& c, double at) {
    const unsigned type = c.units().compare->trigger_type_in_env2 ? (c.env[chipcode::kEnv2Index] >> 14) & 0x3u : kTriggerPulse;
    if (type != kTriggerPulse && type != kTriggerToggle) return;
    ChipCompare& cc = c.compare;
    ++cc.trigger_pulses;
    if (type == kTriggerToggle) cc.trigger_level = !cc.trigger_level;
    cc.last_trigger = at;
    if (cc.trigger_times.size() < ChipCompare::kMaxTriggerTimes) cc.trigger_times.push_back(at);
}

template <typename T>
T block_get(const std::uint8_t* block, std::size_t offset) {
    T v{};
    std::memcpy(&v, block + offset, sizeof v);
    return v;
}

template <typename T>
void block_put(std::uint8_t* block, std::size_t offset, T v) {
    std::memcpy(block + offset, &v, sizeof v);
}

// The driver's side of auto compare: on a trigger-comparator event it loads comparator 5 with
// the next table entry or series value, advances the block's index, and signals the card's
// compare event E4.
void reload_auto_compare(Chip& c) {
    std::uint8_t* b = c.compare.auto_block;
    if (b == nullptr || (c.int_factor & kAutoCompareFactor) == 0) return;
    const std::int16_t mode = block_get<std::int16_t>(b, kMode);
    if (mode == kModeTable) {
        const std::int32_t next = block_get<std::int32_t>(b, kNextEntry);
        const std::int32_t count = std::min(block_get<std::int32_t>(b, kCount), 1024);
        if (next < 0 || next >= count) return;
        c.comparator[4] = block_get<std::uint32_t>(b, kTable + 4 * static_cast<std::size_t>(next));
        block_put<std::int32_t>(b, kNextEntry, next + 1);
    } else if (mode == kModeSeries) {
        const std::int32_t step = block_get<std::int32_t>(b, kSeriesCount);
        const std::int64_t interval = block_get<std::int32_t>(b, kSeriesStep);
        const std::int64_t end = block_get<std::int32_t>(b, kSeriesEnd);
        const std::int64_t value = block_get<std::int32_t>(b, kSeriesStart) + step * interval;
        if (interval == 0 || (interval > 0 ? value > end : value < end)) return;
        c.comparator[4] = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
        block_put<std::int32_t>(b, kSeriesCount, step + 1);
    } else {
        return;
    }
    Machine& m = c.machine();
    m.signal_event_locked(m.driver_event_locked(Machine::driver_event_name(c.group().device, Machine::kCompareEvent)));
}

Chip& driver_of(Chip& c) {
    return c.motion.phase == Phase::following && c.motion.leader >= 0 ? c.group().chip(c.motion.leader) : c;
}

void take_action(Chip& c, int n, unsigned action) {
    Chip& d = driver_of(c);
    if (d.motion.phase != Phase::running) return;
    const std::uint32_t reason = kMotionStopReasons[n - 1];
    if (action == kActionImmediateStop) {
        finish(d, reason);
    } else if (!stopping(d)) {
        d.motion.stop_reason |= reason;
        d.motion.reversing = false;
        drop_queued_moves(d.group(), 1u << d.axis());
        begin_deceleration(d, true);
    }
}

void match(Chip& c, int n, double at) {
    const Config cfg = config(c, n);
    ++c.compare.matches[static_cast<std::size_t>(n - 1)];
    const bool stops = is_stop(cfg.action) && driver_of(c).motion.phase == Phase::running;
    if (stops) take_action(c, n, cfg.action);
    if (n == 4 && cfg.condition >= kGeneralEqualClear && cfg.condition <= kGeneralDownClear) c.general_counter = 0;
    if (n == c.units().compare->trigger_comparator) {
        record_trigger(c, at);
        reload_auto_compare(c);
    }
    const std::uint32_t events = c.int_factor & match_event_bit(n);
    const std::uint32_t errors = stops ? kStopReasonBits[n - 1] : 0;
    if (events != 0 || errors != 0) c.raise_interrupt(events, errors);
}

// Direction in which an axis counts: its own motion's, or its share of the path it follows.
int path_direction(Chip& c) {
    if (c.motion.phase != Phase::following || c.motion.leader < 0) return c.motion.direction;
    const MotionState& lead = c.group().chip(c.motion.leader).motion;
    if (!lead.path) return 0;
    const PathAxis* a = lead.path->find(c.axis());
    return a != nullptr ? a->direction : 0;
}

// Counters of every chip of the group before a stretch of motion, to find what it crossed.
struct Before {
    std::int32_t command;
    int direction;
    std::array<std::optional<std::int64_t>, 5> pulses_to_match;
};

Before snapshot(Chip& c) {
    const int dir = driver_of(c).motion.phase == Phase::running ? path_direction(c) : 0;
    Before b{c.command_counter, dir, {}};
    for (int n = 1; n <= 5; ++n) {
        b.pulses_to_match[static_cast<std::size_t>(n - 1)] =
            pulses_to_match(c, n, counting_direction(c, config(c, n).source, dir));
    }
    return b;
}

// The general counter follows the pulses its source counts; then each comparator whose match
// lay within the pulses just counted matches.
void settle(Chip& c, const Before& b, double at) {
    const std::int64_t moved = static_cast<std::int64_t>(c.command_counter) - b.command;
    if (general_counts_pulses(c)) {
        c.general_counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(c.general_counter) +
                                                      static_cast<std::uint32_t>(moved));
    }
    const std::int64_t counted = moved < 0 ? -moved : moved;
    for (int n = 1; n <= 5; ++n) {
        const std::optional<std::int64_t>& k = b.pulses_to_match[static_cast<std::size_t>(n - 1)];
        if (k && *k <= counted && b.direction != 0 && (moved != 0 || *k == 0)) match(c, n, at);
    }
}

}  // namespace

std::uint16_t comparator_status_bits(const Chip& c) {
    std::uint16_t bits = 0;
    for (int n = 1; n <= 5; ++n) {
        if (condition_holds(c, n)) bits = static_cast<std::uint16_t>(bits | (1u << (7 + n)));
    }
    return bits;
}

void integrate_watching_comparators(Chip& c, double until) {
    ChipGroup& group = c.group();
    // Each pass runs to the next match, the next motion event or `until`. A pass that neither
    // moved time on nor matched took an event due now; a few of those in a row mean nothing is
    // left to find before `until`.
    constexpr int kMaxIdlePasses = 8;
    int idle_passes = 0;
    while (c.motion.phase == Phase::running) {
        bool watched = false;
        for (int a = 0; a < group.size(); ++a) {
            watched = watched || any_comparator_watching(group.chip(a)) || general_counts_pulses(group.chip(a));
        }
        if (!watched) {
            integrate(c, until);
            return;
        }
        const Watch w = next_match(c);
        const double segment_end = motion_event_seconds(c);
        const double to = std::min({until, w.at + w.margin, std::max(segment_end, c.motion.time)});
        std::array<Before, 4> before{};
        const int chips = std::min(group.size(), 4);
        for (int a = 0; a < chips; ++a) before[static_cast<std::size_t>(a)] = snapshot(group.chip(a));
        const double from = c.motion.time;
        const std::uint64_t matches_before = total_matches(group);
        integrate(c, to);
        const double at = std::min(to, w.at);
        for (int a = 0; a < chips; ++a) settle(group.chip(a), before[static_cast<std::size_t>(a)], at);
        if (to >= until) return;
        const bool idle = c.motion.time <= from && total_matches(group) == matches_before;
        idle_passes = idle ? idle_passes + 1 : 0;
        if (idle_passes > kMaxIdlePasses) {
            integrate(c, until);
            return;
        }
    }
}

Ns comparator_event_time(const Chip& c) {
    const Watch w = next_match(c);
    return w.at == kNoTime ? kNever : seconds_to_ns_ceil(w.at + w.margin);
}

Ns Chip::next_event_time() const { return std::min(motion_event_time(), comparator_event_time(*this)); }

// The latch input is the pin's level; env1 bit 23 picks the edge that latches: rising when set
// (as at power-up), falling when clear.
void set_latch_input(Chip& c, bool level) {
    const bool rising_edge = (c.env[chipcode::kEnv1Index] & chipcode::kEnv1LatchOnRisingEdge) != 0;
    const bool edge = rising_edge ? level && !c.inputs.latch : !level && c.inputs.latch;
    if (edge) {
        c.latch[0] = static_cast<std::uint32_t>(c.command_counter);
        c.latch[1] = static_cast<std::uint32_t>(c.error_counter);
        c.latch[2] = static_cast<std::uint32_t>(c.position_counter);
        c.latch[3] = static_cast<std::uint32_t>(c.general_counter);
    }
    c.inputs.latch = level;
}

// Out of line, so that the common answer of error_counter_moved (nothing watches the error
// counter) costs no frame.
[[gnu::noinline]] static void error_comparators_moved(Chip& c, std::int32_t before, double at) {
    const std::int32_t now = c.error_counter;
    for (int n = 1; n <= 5; ++n) {
        if ((config(c, n).source & 0x3u) != kSourceErrorCounter) continue;
        c.error_counter = before;
        const bool was = condition_holds(c, n);
        c.error_counter = now;
        if (!was && condition_holds(c, n)) match(c, n, at);
    }
}

void error_counter_moved(Chip& c, std::int32_t before, double at) {
    if (c.error_counter != before && error_counter_watched(c)) error_comparators_moved(c, before, at);
}

double error_check_level(const Chip& c) {
    double level = -1;
    if (!error_counter_watched(c)) return level;
    for (int n = 1; n <= 5; ++n) {
        const Config cfg = config(c, n);
        if ((cfg.source & 0x3u) != kSourceErrorCounter || cfg.condition != kAbove || condition_holds(c, n)) continue;
        const double d = static_cast<double>(data(c, n));
        if (d >= 0 && (level < 0 || d < level)) level = d;
    }
    return level;
}

bool affects_comparators(unsigned write_code) {
    return (write_code >= chipcode::kEnv1 + chipcode::kEnv2Index && write_code <= chipcode::kEnv1 + chipcode::kEnv5Index) ||
           (write_code >= chipcode::kCommandCounter && write_code < chipcode::kIntFactor);
}

quvex_sim_compare_info compare_info(const ChipCompare& compare) {
    quvex_sim_compare_info info{};
    std::copy(compare.matches.begin(), compare.matches.end(), info.matches);
    info.trigger_pulses = compare.trigger_pulses;
    info.trigger_level = compare.trigger_level ? 1 : 0;
    info.last_trigger = compare.last_trigger;
    return info;
}

}  // namespace qsim
