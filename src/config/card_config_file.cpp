#include "config/card_config_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "quvex/quvex.h"

namespace quvex::config {
namespace {

// Little-endian fields at fixed offsets of a record.
class RecordReader {
public:
    explicit RecordReader(std::span<const std::uint8_t, kAxisRecordBytes> bytes) : bytes_(bytes) {}

    std::int16_t i16(std::size_t offset) const { return static_cast<std::int16_t>(u(offset, 2)); }
    std::uint32_t u32(std::size_t offset) const { return static_cast<std::uint32_t>(u(offset, 4)); }
    double f64(std::size_t offset) const {
        const std::uint64_t bits = u(offset, 8);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }

private:
    std::uint64_t u(std::size_t offset, std::size_t n) const {
        std::uint64_t v = 0;
        for (std::size_t i = n; i-- > 0;) v = (v << 8) | bytes_[offset + i];
        return v;
    }
    std::span<const std::uint8_t, kAxisRecordBytes> bytes_;
};

}  // namespace

AxisRecordSettings decode_axis_record(std::span<const std::uint8_t, kAxisRecordBytes> bytes) {
    const RecordReader r(bytes);
    AxisRecordSettings s{};
    s.alm_logic = r.i16(0);
    s.alm_mode = r.i16(2);
    s.inp_logic = r.i16(4);
    s.inp_enable = r.i16(6);
    // offset 8: not applied
    s.el_mode = r.i16(10);
    s.ell_on_off = r.i16(12);
    s.home_flag1 = r.i16(14);
    s.home_flag2 = r.i16(16);
    s.home_count = r.i16(18);
    s.home_mode = r.i16(20);
    s.home_erc = r.i16(22);
    s.ltc_logic = r.i16(24);
    s.erc_logic = r.i16(26);
    s.erc_width = r.i16(28);
    s.sd_logic = r.i16(30);
    s.sd_enable = r.i16(32);
    s.sd_mode = r.i16(34);
    s.sd_latch = r.i16(36);
    s.pls_outmode = r.i16(38);
    s.feedback_src = r.i16(40);
    s.pls_iptmode = r.i16(42);
    s.pls_logic = r.i16(44);
    s.move_ratio = r.f64(46);
    if (s.move_ratio == 0.0) s.move_ratio = 1.0;
    // offset 54: not applied
    s.int_factor = r.u32(56);
    // offsets 60..115: two words and six doubles, not applied
    return s;
}

CardConfig decode_card_config(std::span<const std::uint8_t> image) {
    CardConfig config;
    config.complete = std::min(image.size() / kAxisRecordBytes, kAxisRecordCount);
    for (std::size_t n = 0; n < config.complete; ++n) {
        config.records[n] = decode_axis_record(image.subspan(n * kAxisRecordBytes).first<kAxisRecordBytes>());
    }
    return config;
}

std::optional<CardConfig> read_card_config_file(const char* path) {
    if (path == nullptr) return std::nullopt;
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return std::nullopt;
    std::vector<std::uint8_t> image(kCardConfigFileBytes);
    image.resize(std::fread(image.data(), 1, image.size(), f));
    std::fclose(f);
    return decode_card_config(image);
}

void apply_axis_record(int axis_no, const AxisRecordSettings& r) {
    const auto axis = static_cast<std::int16_t>(axis_no);
    // The results are not looked at: a value an export refuses leaves that setting as it was.
    quvex_set_alm(axis, r.alm_logic, r.alm_mode);
    quvex_set_inp(axis, r.inp_enable, r.inp_logic);
    quvex_set_el(axis, r.el_mode);
    quvex_set_ell(axis, r.ell_on_off);
    // Twice in a row, with the same values.
    for (int pass = 0; pass < 2; ++pass) {
        quvex_set_home_config(axis, r.home_mode, r.home_flag1, r.home_flag2, r.home_count, r.home_erc);
    }
    quvex_set_ltc_logic(axis, r.ltc_logic);
    quvex_set_erc(axis, r.erc_logic, r.erc_width);
    quvex_set_sd(axis, r.sd_enable, r.sd_logic, r.sd_latch, r.sd_mode);
    quvex_set_int_factor(axis, r.int_factor);
    quvex_set_pls_outmode(axis, r.pls_outmode);
    quvex_set_feedback_src(axis, r.feedback_src);
    quvex_set_pls_iptmode(axis, r.pls_iptmode, r.pls_logic);
    quvex_set_move_ratio(axis, r.move_ratio);
}

}  // namespace quvex::config
