// The ring motion file: one INI key per one-axis module whose value is a row of single-digit
// settings, and a section marking the modules whose speed range is pinned at load.
//
//   [RING0]
//   SLAVE3=0110101000000000000000     ; positions 1..21, position 0 unread
//   [Slave_Type]
//   KB7T_3=1                          ; pins slave 3's speed range on every ring
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "modules/one_axis_link.h"

namespace quvex::config {

constexpr std::size_t kSettingPositions = 22;  // position 0 is not read
using SettingDigits = std::array<std::uint8_t, kSettingPositions>;

// Digits of a setting value: '0'..'9' give 0..9; a position past the end of the value or
// holding any other character gives 0.
SettingDigits parse_setting_digits(std::string_view value);

// The setting digits of `slave` on `ring`, or nothing when the key is missing.
std::optional<SettingDigits> read_module_settings(std::uint16_t ring, std::uint16_t slave, const char* file);
// True when the slave-type key of `slave` asks for the speed range to be pinned.
bool pinned_range_requested(std::uint16_t slave, const char* file);

// The signal set-up calls of a setting row, in the order the module takes them.
void apply_module_settings(modules::m1::OneAxisLink& link, const SettingDigits& p);

// The maximum speed whose range a pinned module keeps: the table's finest range for it is 2.
constexpr double kPinnedRangeSpeed = 6000000.0;

}  // namespace quvex::config
