// Host services of the virtual machine: message boxes, INI reads, local time and the count of
// processes that have the library loaded.
#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

#include "machine.h"
#include "os.h"

namespace qsim::os {
namespace {

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool same_name(const std::string& a, const char* b) {
    const std::size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

// Finds key in section of an INI file as the Windows profile functions do: names compare
// without case, white space around names and values is dropped, and one pair of surrounding
// quotes is stripped from the value.
bool find_profile_value(const char* section, const char* key, const char* file, std::string* value) {
    if (section == nullptr || key == nullptr || file == nullptr) return false;
    std::ifstream in(file);
    if (!in) return false;
    std::string line;
    bool in_section = false;
    while (std::getline(in, line)) {
        const std::string t = trim(line);
        if (t.empty() || t[0] == ';') continue;
        if (t[0] == '[') {
            const auto close = t.find(']');
            in_section = close != std::string::npos && same_name(trim(t.substr(1, close - 1)), section);
            continue;
        }
        if (!in_section) continue;
        const auto eq = t.find('=');
        if (eq == std::string::npos || !same_name(trim(t.substr(0, eq)), key)) continue;
        std::string v = trim(t.substr(eq + 1));
        if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\''))) {
            v = v.substr(1, v.size() - 2);
        }
        *value = v;
        return true;
    }
    return false;
}

}  // namespace

void message_box(const char* text, const char* caption) {
    Machine& m = Machine::get();
    {
        std::lock_guard<std::mutex> lk(m.mu);
        m.message_boxes.emplace_back(text ? text : "", caption ? caption : "");
    }
    std::fprintf(stderr, "[%s] %s\n", caption ? caption : "", text ? text : "");
}

std::uint32_t profile_string(const char* section, const char* key, const char* fallback, char* out,
                             std::uint32_t out_size, const char* file) {
    if (out == nullptr || out_size == 0) return 0;
    std::string value;
    if (!find_profile_value(section, key, file, &value)) value = fallback ? fallback : "";
    const std::size_t n = std::min<std::size_t>(value.size(), out_size - 1);
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
    return static_cast<std::uint32_t>(n);
}

std::int32_t profile_int(const char* section, const char* key, std::int32_t fallback, const char* file) {
    std::string value;
    // An empty value counts as absent, as for the Windows profile functions.
    if (!find_profile_value(section, key, file, &value) || value.empty()) return fallback;
    return static_cast<std::int32_t>(std::strtol(value.c_str(), nullptr, 10));
}

LocalTime local_time() {
    Machine& m = Machine::get();
    std::int64_t ns;
    std::int64_t epoch;
    {
        std::lock_guard<std::mutex> lk(m.mu);
        ns = m.now;
        epoch = m.epoch_seconds;
    }
    const std::time_t t = static_cast<std::time_t>(epoch + ns / kNsPerSecond);
    std::tm tm{};
#if defined(_WIN32)
    gmtime_s(&tm, &t);
#else
    gmtime_r(&t, &tm);
#endif
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday, tm.tm_hour,
                     tm.tm_min, tm.tm_sec, static_cast<int>((ns / kNsPerMs) % 1000)};
}

// Without QUVEX_SIM_MACHINE every process is its own machine, so parallel test processes never
// see each other; processes that name the same machine share one count, as processes on one
// Windows installation share the library's data section.
namespace {

std::string machine_id(const char* name) {
    std::string id;
    for (const char* p = name; *p; ++p) id += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return id;
}

}  // namespace

#if defined(_WIN32)

namespace {

// On Windows the count is one word of a named shared-memory section per machine. Each process
// keeps its view open, so the count lives as long as any process of the machine does.
volatile LONG* machine_count_word(const std::string& id) {
    static std::mutex mu;
    static std::string opened_id;
    static volatile LONG* opened_word = nullptr;
    std::lock_guard<std::mutex> lk(mu);
    if (opened_word != nullptr && opened_id == id) return opened_word;
    const std::string name = "quvex-sim-machine-" + id;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG), name.c_str());
    if (mapping == nullptr) return nullptr;
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(LONG));
    if (view == nullptr) {
        CloseHandle(mapping);
        return nullptr;
    }
    opened_id = id;
    opened_word = static_cast<volatile LONG*>(view);
    return opened_word;
}

}  // namespace

std::int32_t process_count_add(std::int32_t delta) {
    static std::int32_t private_count = 0;
    const char* name = std::getenv("QUVEX_SIM_MACHINE");
    if (name == nullptr || *name == '\0') return private_count += delta;
    volatile LONG* word = machine_count_word(machine_id(name));
    if (word == nullptr) return private_count += delta;
    for (;;) {
        const LONG old = *word;
        const LONG count = std::max<LONG>(0, old + delta);
        if (InterlockedCompareExchange(word, count, old) == old) return count;
    }
}

#else

// The count lives in a small file per named virtual machine, updated under an exclusive file
// lock.
std::int32_t process_count_add(std::int32_t delta) {
    static std::int32_t private_count = 0;
    const char* name = std::getenv("QUVEX_SIM_MACHINE");
    if (name == nullptr || *name == '\0') return private_count += delta;
    const std::string path = "/tmp/quvex-sim-machine-" + machine_id(name);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0600);
    if (fd < 0) return private_count += delta;
    ::flock(fd, LOCK_EX);
    std::int32_t count = 0;
    if (::pread(fd, &count, sizeof count, 0) != static_cast<ssize_t>(sizeof count)) count = 0;
    count = std::max<std::int32_t>(0, count + delta);
    (void)::pwrite(fd, &count, sizeof count, 0);
    ::flock(fd, LOCK_UN);
    ::close(fd);
    return count;
}

#endif

}  // namespace qsim::os
