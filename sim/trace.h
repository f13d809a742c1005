// The bus analyser of the virtual installation: raw accesses and their decoded meaning.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// MinGW's printf checks follow the Microsoft runtime unless told that the GNU formats (%zu) are in use.
#if defined(__MINGW32__)
#define QSIM_PRINTF_FORMAT gnu_printf
#else
#define QSIM_PRINTF_FORMAT printf
#endif

namespace qsim {

enum class AccessKind : int { in8 = 1, out8, in16, out16, window_read, window_write, request };

struct Access {
    std::int64_t time;
    AccessKind kind;
    std::uint32_t address;
    std::uint32_t value;
    int device;
};

struct DecodedEvent {
    std::int64_t time;
    std::string text;
};

class Trace {
public:
    bool enabled = false;
    std::vector<Access> accesses;
    std::vector<DecodedEvent> decoded;

    void access(std::int64_t time, AccessKind kind, std::uint32_t address, std::uint32_t value, int device) {
        if (enabled) accesses.push_back(Access{time, kind, address, value, device});
    }
    // printf-style decoded event; formats only while tracing is on.
    void event(std::int64_t time, const char* format, ...) __attribute__((format(QSIM_PRINTF_FORMAT, 3, 4)));
    void clear() {
        accesses.clear();
        decoded.clear();
    }
};

// "X", "Y", "Z", "U"
const char* axis_letter(int axis);

}  // namespace qsim
