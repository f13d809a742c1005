#include "config/ring_motion_file.h"

#include <cstdio>
#include <cstring>

#include "modules/one_axis_signals.h"
#include "common/platform.h"

namespace quvex::config {
namespace {

constexpr char kMissing[] = "Error";        // what the value reads as when the key is absent
constexpr std::uint32_t kValueBuffer = 200;  // characters of the value read, with its terminator

}  // namespace

SettingDigits parse_setting_digits(std::string_view value) {
    SettingDigits p{};
    for (std::size_t i = 1; i < p.size() && i < value.size(); ++i) {
        const char c = value[i];
        p[i] = (c >= '0' && c <= '9') ? static_cast<std::uint8_t>(c - '0') : 0;
    }
    return p;
}

std::optional<SettingDigits> read_module_settings(std::uint16_t ring, std::uint16_t slave, const char* file) {
    if (file == nullptr) return std::nullopt;
    char section[16];
    char key[16];
    std::snprintf(section, sizeof section, "RING%u", static_cast<unsigned>(ring));
    std::snprintf(key, sizeof key, "SLAVE%u", static_cast<unsigned>(slave));
    char value[kValueBuffer] = {};
    const std::uint32_t n = plat::profile_string(section, key, kMissing, value, kValueBuffer, file);
    const std::string_view text(value, std::min<std::size_t>(n, std::strlen(value)));
    if (text == kMissing) return std::nullopt;
    return parse_setting_digits(text);
}

bool pinned_range_requested(std::uint16_t slave, const char* file) {
    if (file == nullptr) return false;
    char key[16];
    std::snprintf(key, sizeof key, "KB7T_%u", static_cast<unsigned>(slave));
    return (static_cast<std::uint32_t>(plat::profile_int("Slave_Type", key, 0, file)) & 0xFFFFu) != 0;
}

void apply_module_settings(modules::m1::OneAxisLink& link, const SettingDigits& p) {
    namespace m1 = modules::m1;
    constexpr std::int32_t kErcWidth = 7;
    m1::set_alarm(link, p[1], p[2]);
    m1::set_erc(link, p[5], kErcWidth, 0);
    // The slow-down input is set twice; the first call has latch and mode the other way round
    // and is overwritten by the second.
    m1::set_slow_down(link, p[10], p[11], p[13], p[12]);
    m1::set_feedback_source(link, p[17]);
    m1::set_pulse_input(link, p[16], p[18]);
    m1::set_in_position(link, p[4], p[3]);
    m1::set_slow_down(link, p[10], p[11], p[12], p[13]);
    m1::set_pulse_output(link, p[15]);
    m1::set_home_config(link, {.home_mode = p[19], .org_logic = p[8], .ez_logic = p[9], .ez_count = p[20],
                               .erc_out = p[21]});
    m1::set_latch_logic(link, p[14]);
}

}  // namespace quvex::config
