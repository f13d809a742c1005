// Writers of the trace for other tools: the decoded events as a CSV table, and the axes and the
// ring as a VCD waveform that logic-analyser viewers open.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "quvex/sim.h"

namespace qsim {

// One decoded event as the installation's C calls give it.
struct TracedEvent {
    quvex_sim_event record{};
    std::string text;
    std::vector<std::uint16_t> words;
    std::vector<std::uint16_t> reply;
};

// One chip axis of an installed card: its motion state now and its recorded samples.
struct TracedAxis {
    int device = 0;
    int axis = 0;
    quvex_sim_motion_info motion{};
    std::vector<quvex_sim_motion_sample> samples;
};

std::vector<TracedEvent> read_trace();
std::vector<TracedAxis> read_axes();

// "chip_reg_write" for QUVEX_SIM_EV_CHIP_REG_WRITE, ...; "unknown" for other numbers.
const char* event_kind_name(int kind);

// Both return false when a write to the file failed.
bool write_trace_csv(std::FILE* f, const std::vector<TracedEvent>& events);
// The waveform runs to `end_ns` (the installation's time when written), not to its last change,
// so viewers show the whole run.
bool write_trace_vcd(std::FILE* f, const std::vector<TracedEvent>& events, const std::vector<TracedAxis>& axes,
                     std::int64_t end_ns);

}  // namespace qsim
