#include "thread_support.h"

#include <cstdio>
#include <thread>

#include "quvex/sim.h"

namespace quvex::test {

std::array<std::atomic<int>, 48>& callbacks_per_axis() {
    static std::array<std::atomic<int>, 48> counts{};
    return counts;
}

void clear_callback_counts() {
    for (auto& c : callbacks_per_axis()) c.store(0);
}

void QUVEX_CALL count_callback(int32_t axis_no) {
    if (axis_no >= 0 && axis_no < 48) callbacks_per_axis()[static_cast<std::size_t>(axis_no)].fetch_add(1);
}

namespace {

std::int64_t event_sets(int device, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "PCIQUVEXW%dE%d", device, index);
    return quvex_sim_event_sets(name);
}

}  // namespace

std::int64_t axis_event_sets(int device, int axis) { return event_sets(device, axis); }
std::int64_t compare_event_sets(int device) { return event_sets(device, 4); }

bool wait_wall(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return done();
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return true;
}

bool advance_until(const std::function<bool()>& done, double limit, double step) {
    for (double t = 0; t < limit; t += step) {
        if (done()) return true;
        quvex_sim_advance(step);
    }
    return done();
}

RealtimeClock::RealtimeClock(double scale) { quvex_sim_clock_realtime(scale); }
RealtimeClock::~RealtimeClock() { quvex_sim_clock_manual(); }

}  // namespace quvex::test
