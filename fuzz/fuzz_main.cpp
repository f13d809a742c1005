// The fuzz target: decodes its input into a virtual installation (cards, ring slaves, driver
// faults, the library started or not) and then a sequence of export calls over every declared
// export, interleaved with actions on the installation (inputs, clock, faults, stations). Every
// call is checked:
//   - its result is one of the named status codes (or in the range of a data result);
//   - its result is in the set documented for the export (docs/statuses.md);
//   - a refused call (non-zero status) wrote nothing through its out-pointers;
//   - it returned within a bound of virtual time (a call that waits too long is a hang);
// and the sanitizers check everything else. A broken invariant aborts with the call named.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_args.h"
#include "fuzz_installation.h"
#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace quvex_fuzz {
namespace {

using CallArgs = quvex_fuzz::CallArgs;

struct ExportCall {
    const char* name;
    std::size_t inputs;
    std::vector<const char*> input_names;
    std::vector<const char*> output_names;
    long long (*call)(CallArgs&);
};

const ExportCall kCalls[] = {
#include "runner_calls.inc"
};
constexpr std::size_t kCallCount = sizeof kCalls / sizeof kCalls[0];

struct NamedStatus {
    long long value;
    const char* name;
};
const NamedStatus kStatuses[] = {
#include "statuses.inc"
};

struct DataRange {
    long long low, high;
};
struct StatusSet {
    const char* name;
    std::vector<long long> codes;
    std::vector<DataRange> data;
    const char* text;

    bool is_data(long long r) const {
        for (const DataRange& d : data) {
            if (r >= d.low && r <= d.high) return true;
        }
        return false;
    }
    bool has_code(long long r) const {
        for (long long c : codes) {
            if (c == r) return true;
        }
        return false;
    }
};

// The documented result set of every export: status codes, and the ranges of a result that is
// data (the Python binding reads data results the same way).
const StatusSet kStatusSets[] = {
#include "status_sets.inc"
};

// Refusals that write their outputs by design: the three-point arc with its centre out of range
// sets both centre outputs to 0.
struct WritingRefusal {
    const char* name;
    long long status;
};
const WritingRefusal kWritingRefusals[] = {
    {"quvex_get_arc_data_from_3points", 54},
};

bool writes_on_refusal(const char* name, long long status) {
    for (const WritingRefusal& w : kWritingRefusals) {
        if (w.status == status && std::strcmp(w.name, name) == 0) return true;
    }
    return false;
}

// The longest a single call may take in virtual time: the ring's identification and message
// time-outs are the longest waits of any export.
constexpr double kCallBoundSeconds = 5.0;

std::vector<unsigned> g_reached(kCallCount, 0);
std::uint64_t g_calls = 0;
constexpr std::uint64_t kProgressEvery = 1'000'000;

bool named_status(long long r) {
    for (const NamedStatus& s : kStatuses) {
        if (s.value == r) return true;
    }
    return false;
}

[[noreturn]] void broken(const ExportCall& e, const char* what, long long result) {
    std::fprintf(stderr, "invariant broken by %s (result %lld): %s\n", e.name, result, what);
    std::abort();
}

// kCalls[i]'s documented set; the generator gives every declared export one.
std::vector<const StatusSet*> sets_by_call() {
    std::vector<const StatusSet*> sets(kCallCount, nullptr);
    for (std::size_t i = 0; i < kCallCount; ++i) {
        for (const StatusSet& s : kStatusSets) {
            if (std::strcmp(s.name, kCalls[i].name) == 0) sets[i] = &s;
        }
        if (sets[i] == nullptr) {
            std::fprintf(stderr, "quvex-fuzz: %s has no documented status set\n", kCalls[i].name);
            std::abort();
        }
    }
    return sets;
}
const std::vector<const StatusSet*> g_sets = sets_by_call();

// With QUVEX_FUZZ_LIST_OUTSIDE set, a result outside the documented set is listed (once per export
// and result) instead of aborting: how the table is checked against the code in one long run.
const bool g_list_outside = std::getenv("QUVEX_FUZZ_LIST_OUTSIDE") != nullptr;

void outside_set(const ExportCall& e, const StatusSet& set, long long r) {
    static std::vector<std::pair<const ExportCall*, long long>> listed;
    if (g_list_outside) {
        for (const auto& l : listed) {
            if (l.first == &e && l.second == r) return;
        }
        listed.emplace_back(&e, r);
        std::fprintf(stderr, "quvex-fuzz: outside its set: %s returned %lld, documented %s\n", e.name, r, set.text);
        return;
    }
    std::fprintf(stderr, "invariant broken by %s (result %lld): outside its documented set %s\n", e.name, r, set.text);
    std::abort();
}

void call_one(FuzzedDataProvider& in) {
    const ExportCall& e = kCalls[in.ConsumeIntegralInRange<std::size_t>(0, kCallCount - 1)];
    CallArgs args(in);
    const double started = quvex_sim_now();
    long long r = e.call(args);
    const double took = quvex_sim_now() - started;
    ++g_calls;
    ++g_reached[static_cast<std::size_t>(&e - kCalls)];
    // A long campaign ends by a crash or an interrupt as often as by its limit, and then no exit
    // handler runs: the running count is printed along the way.
    if (g_calls % kProgressEvery == 0 && std::getenv("QUVEX_FUZZ_REPORT") != nullptr) {
        std::fprintf(stderr, "quvex-fuzz: %" PRIu64 " calls so far\n", g_calls);
    }
    if (took > kCallBoundSeconds) broken(e, "took longer than its bound of virtual time", r);
    // 16-bit results carry negative codes in their unsigned form.
    if (r > 0x7FFF && r <= 0xFFFF && std::strncmp(e.name, "kring_", 6) == 0) r -= 0x10000;
    const StatusSet& set = *g_sets[static_cast<std::size_t>(&e - kCalls)];
    if (set.is_data(r)) return;
    if (!named_status(r)) broken(e, "result is not a named status code", r);
    if (!set.has_code(r)) outside_set(e, set, r);
    if (r != 0 && !writes_on_refusal(e.name, r)) {
        if (const char* out = args.written_output()) {
            std::fprintf(stderr, "output written: %s\n", out);
            broken(e, "a refused call wrote through an out-pointer", r);
        }
    }
}

void report_reach() {
    if (std::getenv("QUVEX_FUZZ_REPORT") == nullptr) return;
    std::size_t reached = 0;
    for (unsigned n : g_reached) reached += n != 0;
    std::fprintf(stderr, "quvex-fuzz: %" PRIu64 " calls, %zu of %zu exports reached\n", g_calls, reached, kCallCount);
    for (std::size_t i = 0; i < kCallCount; ++i) {
        if (g_reached[i] == 0) std::fprintf(stderr, "  not reached: %s\n", kCalls[i].name);
    }
}

}  // namespace
}  // namespace quvex_fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit(quvex_fuzz::report_reach);
    std::atexit(quvex_fuzz::remove_prepared_files);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    quvex_fuzz::start_installation(in);
    constexpr int kMaxSteps = 128;
    for (int step = 0; step < kMaxSteps && in.remaining_bytes() > 0; ++step) {
        if (in.ConsumeIntegralInRange(0, 5) == 0) {
            quvex_fuzz::installation_action(in);
        } else {
            quvex_fuzz::call_one(in);
        }
    }
    quvex_fuzz::end_installation();
    return 0;
}
