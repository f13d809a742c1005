// The card configuration file: a binary image of 48 axis records (one per possible AxisNo, in
// AxisNo order), 116 bytes each, packed, little-endian; 5568 bytes in all. Only the signal
// settings, the interrupt factors and the move ratio are applied; the other fields are read and
// skipped.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quvex::config {

constexpr std::size_t kAxisRecordBytes = 116;
constexpr std::size_t kAxisRecordCount = 48;
constexpr std::size_t kCardConfigFileBytes = kAxisRecordBytes * kAxisRecordCount;

// The applied fields of one axis record, named after the argument they are handed to.
struct AxisRecordSettings {
    std::int16_t alm_logic, alm_mode;
    std::int16_t inp_logic, inp_enable;
    std::int16_t el_mode;
    std::int16_t ell_on_off;
    std::int16_t home_flag1, home_flag2, home_count, home_mode, home_erc;
    std::int16_t ltc_logic;
    std::int16_t erc_logic, erc_width;
    std::int16_t sd_logic, sd_enable, sd_mode, sd_latch;
    std::int16_t pls_outmode;
    std::int16_t feedback_src;
    std::int16_t pls_iptmode, pls_logic;
    double move_ratio;  // 0.0 in the file is read as 1.0
    std::uint32_t int_factor;
};

// Decodes one record from its 116 bytes.
AxisRecordSettings decode_axis_record(std::span<const std::uint8_t, kAxisRecordBytes> bytes);

// The records of a file image: one per complete record the image holds, in AxisNo order. An
// image cut inside a record ends before that record.
struct CardConfig {
    std::array<AxisRecordSettings, kAxisRecordCount> records{};
    std::size_t complete = 0;
};
CardConfig decode_card_config(std::span<const std::uint8_t> image);

// Reads the file; nothing when it cannot be opened.
std::optional<CardConfig> read_card_config_file(const char* path);

// Applies record `axis_no` to that axis through the signal-configuration exports, in the file's
// fixed call order.
void apply_axis_record(int axis_no, const AxisRecordSettings& r);

}  // namespace quvex::config
