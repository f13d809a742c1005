#include "events/error_log.h"

namespace quvex::events {
namespace {

// The log is opened in binary mode and the line end written in full, so the bytes on disk are
// the same on every platform: the CR LF of the line, with its LF expanded to CR LF as a text-mode
// stream on the card's original platform does it.
constexpr char kLineEnd[] = "\r\r\n";

struct StopReasonText {
    std::uint32_t bit;
    const char* text;
};

// In ascending bit order; bits not listed add no text.
constexpr StopReasonText kStopReasonTexts[] = {
    {0x1, "+Soft Limit on and stop"},
    {0x2, "-Soft Limit on and stop"},
    {0x8, "General Comparator on and Stop"},
    {0x20, "+End Limit on and stop"},
    {0x40, "-End Limit on and stop"},
    {0x80, "ALM happen and stop"},
    {0x100, "CSTP, Sync. Stop on and stop"},
    {0x200, "CEMG, Emergency on and stop"},
    {0x400, "SD on and slow down to stop"},
    {0x1000, "Interpolation Error and stop"},
    {0x2000, "Other Axis stop on Interpolation"},
    {0x4000, "Pulser input buffer overflow and stop"},
    {0x8000, "Interpolation counter overflow"},
    {0x10000, "Encoder input signal error"},
    {0x20000, "Pulser input signal error"},
};

constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// "Www Mmm dd hh:mm": 16 characters, the day space-padded.
std::string time_field(const plat::LocalTime& t) {
    const int weekday = t.weekday >= 0 && t.weekday < 7 ? t.weekday : 0;
    const int month = t.month >= 1 && t.month <= 12 ? t.month - 1 : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d", kWeekdays[weekday], kMonths[month], t.day % 100,
                  t.hour % 100, t.minute % 100);
    return text;
}

}  // namespace

void open_error_log(const char* path) {
    std::atomic<std::FILE*>& stop_log = stop_reason_log().file;
    if (stop_log.load() != nullptr || path == nullptr) return;
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return;
    std::FILE* expected = nullptr;
    if (!stop_log.compare_exchange_strong(expected, f)) std::fclose(f);  // another thread opened one first
}

void close_error_log() {
    if (std::FILE* f = stop_reason_log().file.exchange(nullptr)) std::fclose(f);
}

bool error_log_open() { return stop_reason_log().file.load() != nullptr; }

std::string format_log_line(std::uint32_t counter, const plat::LocalTime& time, int axis_no, std::uint32_t stop_reasons) {
    std::string line = std::to_string(counter) + "," + time_field(time) + "    Axis:" + std::to_string(axis_no);
    for (const StopReasonText& r : kStopReasonTexts) {
        if ((stop_reasons & r.bit) != 0) line += std::string(",") + r.text;
    }
    return line + kLineEnd;
}

void log_stop_reasons(int axis_no, std::uint32_t stop_reasons) {
    StopReasonLog& stop_log = stop_reason_log();
    std::FILE* f = stop_log.file.load();
    if (f == nullptr || stop_reasons == 0) return;
    const std::string line = format_log_line(stop_log.line_counter.fetch_add(1), plat::local_time(), axis_no, stop_reasons);
    std::fwrite(line.data(), 1, line.size(), f);  // one write per line; buffered, not flushed
}

void StopReasonLog::reset() {
    if (std::FILE* f = file.exchange(nullptr)) std::fclose(f);
    line_counter.store(0);
}

}  // namespace quvex::events
