// What the front panel shows: the whole virtual machine read in one pass under the machine lock,
// so no axis is ever shown half before and half after a change.
#pragma once

#include <string>

namespace qsim::panel {

struct ClockView {
    double now = 0.0;  // seconds of virtual time
    bool realtime = false;
    double scale = 1.0;
};

// The snapshot as JSON text: clock (and whether the panel paused it), cards with their axes and ring stations, and the last
// `trace_tail` decoded trace events (0..kMaxTraceTail).
constexpr int kMaxTraceTail = 200;
std::string snapshot_json(int trace_tail);

ClockView clock_view();
bool card_present(int device);
// Kind of the station plugged at `slave` ("io", "m1", "m4", "custom"), or null when the card is
// absent, the slave out of range or the place empty.
const char* station_kind(int device, int slave);

}  // namespace qsim::panel
