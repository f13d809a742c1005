// The stop-reason log: one text line per axis interrupt with stop reasons, written by the
// callback threads of every card while a log file is open.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/platform.h"

namespace quvex::events {

// The log's state, a piece of the library context (frame/library_context.h).
struct StopReasonLog {
    std::atomic<std::FILE*> file{nullptr};
    // Shared by the callback threads of every card; each line takes the next number.
    std::atomic<std::uint32_t> line_counter{0};

    // Back to no log and a line counter of 0.
    void reset();
};

// The stop-reason log of the library context.
StopReasonLog& stop_reason_log();

// Opens `path` (created or truncated) unless a log is open already; a file that cannot be opened
// leaves the log closed.
void open_error_log(const char* path);
// Closes the log when one is open.
void close_error_log();
bool error_log_open();

// Writes the line of one axis interrupt, numbered by the process-wide line counter, when the
// log is open and the stop reasons are not 0.
void log_stop_reasons(int axis_no, std::uint32_t stop_reasons);

// The text of one log line, ending in the line end as it lies on disk (0x0D 0x0D 0x0A).
std::string format_log_line(std::uint32_t counter, const plat::LocalTime& time, int axis_no, std::uint32_t stop_reasons);

}  // namespace quvex::events
