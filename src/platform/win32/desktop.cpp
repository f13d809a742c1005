// Message boxes, private-profile (INI) reads and the local time.
#include "win32_handle.h"

namespace quvex::plat {

void message_box(const char* text, const char* caption) {
    // No owner window, an OK button.
    MessageBoxA(nullptr, text, caption, MB_OK);
}

std::uint32_t profile_string(const char* section, const char* key, const char* fallback, char* out,
                             std::uint32_t out_size, const char* file) {
    if (out == nullptr || out_size == 0) return 0;
    return GetPrivateProfileStringA(section, key, fallback, out, out_size, file);
}

std::int32_t profile_int(const char* section, const char* key, std::int32_t fallback, const char* file) {
    // The OS hands the value back as unsigned; negative values in the file wrap back here.
    return static_cast<std::int32_t>(GetPrivateProfileIntA(section, key, fallback, file));
}

LocalTime local_time() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return LocalTime{t.wYear, t.wMonth, t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

}  // namespace quvex::plat
