#include "trace.h"

#include <cstdarg>
#include <cstdio>

namespace qsim {

void Trace::event(std::int64_t time, const char* format, ...) {
    if (!enabled) return;
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    decoded.push_back(DecodedEvent{time, text});
}

const char* axis_letter(int axis) {
    static const char* const letters[] = {"X", "Y", "Z", "U"};
    return (axis >= 0 && axis < 4) ? letters[axis] : "?";
}

}  // namespace qsim
