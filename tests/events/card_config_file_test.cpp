#include <cstring>
#include <limits>
#include <fstream>
#include <string>
#include <vector>

#include "axis/move_ratio.h"
#include "card_events.h"
#include "config/card_config_file.h"
#include "events_fixture.h"
#include "card/card_table.h"

namespace quvex::test {
namespace {

using Image = std::vector<std::uint8_t>;

void put16(Image& image, std::size_t at, std::int16_t v) {
    image[at] = static_cast<std::uint8_t>(v & 0xFF);
    image[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}
void put32(Image& image, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) image[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put_double(Image& image, std::size_t at, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) image[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// Settings that differ from axis to axis and from field to field, within each field's range.
config::AxisRecordSettings settings_of(int n) {
    const auto v = [n](int k, int mod) { return static_cast<std::int16_t>((n + k) % mod); };
    return {v(0, 2), v(1, 2), v(2, 2), v(3, 2), v(4, 2), v(5, 2), v(6, 2), v(7, 2), v(0, 16), v(1, 3), v(8, 2),
            v(9, 2), v(10, 2), v(0, 8), v(11, 2), v(12, 2), v(13, 2), v(14, 2), v(3, 8), v(15, 2), v(1, 4), v(16, 2),
            1.5 + n, 0x100u + static_cast<std::uint32_t>(n)};
}

// The file image of the settings, the fields that are not applied filled with noise.
Image image_of(const std::vector<config::AxisRecordSettings>& records) {
    Image image(records.size() * config::kAxisRecordBytes, 0xEE);
    for (std::size_t n = 0; n < records.size(); ++n) {
        const config::AxisRecordSettings& r = records[n];
        const std::size_t b = n * config::kAxisRecordBytes;
        const std::int16_t words[] = {r.alm_logic, r.alm_mode, r.inp_logic, r.inp_enable, 0x5A5A, r.el_mode,
                                      r.ell_on_off, r.home_flag1, r.home_flag2, r.home_count, r.home_mode, r.home_erc,
                                      r.ltc_logic, r.erc_logic, r.erc_width, r.sd_logic, r.sd_enable, r.sd_mode,
                                      r.sd_latch, r.pls_outmode, r.feedback_src, r.pls_iptmode, r.pls_logic};
        for (std::size_t k = 0; k < std::size(words); ++k) put16(image, b + 2 * k, words[k]);
        put_double(image, b + 46, r.move_ratio);
        put32(image, b + 56, r.int_factor);
    }
    return image;
}

std::vector<config::AxisRecordSettings> all_records() {
    std::vector<config::AxisRecordSettings> records;
    for (int n = 0; n < static_cast<int>(config::kAxisRecordCount); ++n) records.push_back(settings_of(n));
    return records;
}

std::string write_file(const std::string& name, const Image& image) {
    std::ofstream out(scratch_file(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    return name;
}

class CardConfigFile : public EventsTest {
protected:
    CardConfigFile() : EventsTest(2) {}
};

// Every present axis takes its own record; the records of absent cards are read and ignored.
TEST_F(CardConfigFile, LoadConfiguresEveryPresentAxisAndNoOther) {
    const std::string path = write_file("events_config_full.bin", image_of(all_records()));
    ASSERT_EQ(quvex_config_from_file(path.c_str()), QUVEX_OK);
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(axis::move_ratio(n), 1.5 + n) << "axis " << n;
        EXPECT_EQ(axis_record(n).mirror[chip::kMirrorIntFactor], 0x100u + static_cast<std::uint32_t>(n)) << "axis " << n;
    }
    EXPECT_EQ(axis::move_ratio(8), 1.0);
}

// The words the hand-made record below must produce on axis Y, worked out from the start-up words:
// each export changes its fields in the word the one before it left. env1 fields: pulse output
// mode 0-2, end-limit stop 3, slow-down mode 4, latch 5, logic 6, home flag 7, alarm mode 8 and
// logic 9, home ERC 11, ERC width 12-14 and logic 15, in-position logic 22, latch logic 23.
namespace hand_made {
constexpr std::uint32_t kAlarm = with_bits(startup::kEnv1, 8, 2, 0b10);  // logic 1, mode 0
constexpr std::uint32_t kInPosition = with_bits(kAlarm, 22, 1, 1);
constexpr std::uint32_t kEndLimit = with_bits(kInPosition, 3, 1, 1);
constexpr std::uint32_t kHomeEnv1 = with_bits(with_bits(kEndLimit, 7, 1, 0), 11, 1, 1);  // flag1 0, ERC 1
constexpr std::uint32_t kHomeEnv2 = with_bits(startup::kEnv2, 23, 1, 1);                // flag2 1
constexpr std::uint32_t kHomeEnv3 = with_bits(with_bits(startup::kEnv3, 0, 4, 9), 4, 4, 5);  // mode 9, count 5
constexpr std::uint32_t kLatch = with_bits(kHomeEnv1, 23, 1, 0);
constexpr std::uint32_t kErc = with_bits(with_bits(kLatch, 15, 1, 1), 12, 3, 6);  // logic 1, width 6
constexpr std::uint32_t kSlowDown = with_bits(kErc, 4, 3, 0b001);                 // logic 0, latch 0, mode 1
constexpr std::uint32_t kSlowDownEnable = with_bits(startup::kOperationMode, 8, 2, 0b01);  // in-position 0
constexpr std::uint32_t kPulseOutput = with_bits(kSlowDown, 0, 3, 4);
constexpr std::uint32_t kFeedback = with_bits(kHomeEnv3, 8, 2, 2);
constexpr std::uint32_t kPulseInput = with_bits(with_bits(kHomeEnv2, 20, 2, 1), 22, 1, 0);  // mode 1, logic 0
}  // namespace hand_made

// One record made by hand at its file offsets, and the register words it must produce on axis
// Y. Every pair of arguments differs, so a field handed to the wrong argument, or an argument
// taken from the wrong offset, changes a word.
TEST_F(CardConfigFile, HandMadeRecordWritesTheseWords) {
    Image image(2 * config::kAxisRecordBytes, 0);
    put16(image, 12, 2);  // axis X: the end-limit word is written back unchanged
    const std::size_t y = config::kAxisRecordBytes;
    const std::pair<std::size_t, std::int16_t> fields[] = {
        {0, 1},   {2, 0},            // alarm logic 1, mode 0
        {4, 1},   {6, 0},            // in-position logic 1, enable 0
        {8, 0x7FFF},                 // not applied
        {10, 1},                     // end limit: decelerating stop
        {12, 1},                     // end-limit logic word bit 2 (axis Y) set
        {14, 0},  {16, 1}, {18, 5}, {20, 9}, {22, 1},  // home flag1, flag2, count, mode, ERC
        {24, 0},                     // latch logic 0
        {26, 1},  {28, 6},           // ERC logic 1, width 6
        {30, 0},  {32, 1}, {34, 1}, {36, 0},  // slow-down logic 0, enable 1, mode 1, latch 0
        {38, 4},                     // pulse output mode 4
        {40, 2},                     // feedback source 2
        {42, 1},  {44, 0},           // pulse input mode 1, logic 0
        {54, 0x7FFF},                // not applied
    };
    for (const auto& [offset, value] : fields) put16(image, y + offset, value);
    put_double(image, y + 46, 2.5);
    put32(image, y + 56, 0x1234);
    put32(image, y + 60, 0xFFFFFFFF);  // not applied

    const std::string path = write_file("events_config_hand.bin", image);
    const int board_word = quvex_sim_board_port(0, board::kEndLimitLogic);
    start_trace();
    ASSERT_EQ(quvex_config_from_file(path.c_str()), QUVEX_OK);
    using namespace hand_made;
    const std::vector<CardEvent> expected = {
        Y.write(reg::kEnv1, kAlarm),
        Y.write(reg::kEnv1, kInPosition),
        Y.write(reg::kEnv1, kEndLimit),
        // the home configuration, twice
        Y.write(reg::kEnv1, kHomeEnv1), Y.write(reg::kEnv2, kHomeEnv2), Y.write(reg::kEnv3, kHomeEnv3),
        Y.write(reg::kEnv1, kHomeEnv1), Y.write(reg::kEnv2, kHomeEnv2), Y.write(reg::kEnv3, kHomeEnv3),
        Y.write(reg::kEnv1, kLatch),
        Y.write(reg::kEnv1, kErc),
        Y.write(reg::kEnv1, kSlowDown),
        Y.write(reg::live(reg::kOperationMode), kSlowDownEnable),
        Y.write(reg::kIntFactor, 0x1234),
        Y.write(reg::kEnv1, kPulseOutput),
        Y.write(reg::kEnv3, kFeedback),
        Y.write(reg::kEnv2, kPulseInput),
    };
    EXPECT_EQ(chip_writes(Y), expected);
    EXPECT_EQ(quvex_sim_board_port(0, board::kEndLimitLogic), (board_word < 0 ? 0 : board_word) | 0x4);
    EXPECT_EQ(axis::move_ratio(1), 2.5);
    EXPECT_EQ(axis_record(1).mirror[chip::kMirrorOperationMode] & 0x300u, 0x100u);
}

class TwelveCards : public EventsTest {
protected:
    TwelveCards() : EventsTest(12) {}
};

TEST_F(TwelveCards, OneFileConfiguresAllFortyEightAxes) {
    const std::string path = write_file("events_config_48.bin", image_of(all_records()));
    ASSERT_EQ(quvex_config_from_file(path.c_str()), QUVEX_OK);
    for (int n = 0; n < 48; ++n) {
        EXPECT_EQ(axis::move_ratio(n), 1.5 + n) << "axis " << n;
        EXPECT_EQ(axis_record(n).mirror[chip::kMirrorIntFactor], 0x100u + static_cast<std::uint32_t>(n)) << "axis " << n;
    }
}

TEST_F(CardConfigFile, RatioOfZeroBecomesOneAndFeedbackSourceDoesNotOverrideIt) {
    std::vector<config::AxisRecordSettings> records = all_records();
    records[5].move_ratio = 0.0;
    records[6].feedback_src = 1;
    records[6].move_ratio = 2.5;
    ASSERT_EQ(quvex_set_move_ratio(5, 3.0), QUVEX_OK);
    const std::string path = write_file("events_config_ratio.bin", image_of(records));
    ASSERT_EQ(quvex_config_from_file(path.c_str()), QUVEX_OK);
    EXPECT_EQ(axis::move_ratio(5), 1.0);
    EXPECT_EQ(axis::move_ratio(6), 2.5);
}

// A short file configures the axes whose records it holds completely and no others.
TEST_F(CardConfigFile, ShortFileAppliesOnlyItsCompleteRecords) {
    Image image = image_of(all_records());
    image.resize(5 * config::kAxisRecordBytes + 60);
    const std::string path = write_file("events_config_short.bin", image);
    start_trace();
    ASSERT_EQ(quvex_config_from_file(path.c_str()), QUVEX_OK);
    // Records 0-4 are whole: card 0's axes and card 1's X; records 5-7 are not.
    for (const auto& [device, axis] : {std::pair{0, X}, std::pair{0, U}, std::pair{1, X}}) {
        EXPECT_FALSE(chip_writes(axis, device).empty()) << "d" << device << "." << axis;
    }
    for (const auto& [device, axis] : {std::pair{1, Y}, std::pair{1, Z}, std::pair{1, U}}) {
        EXPECT_EQ(chip_writes(axis, device), std::vector<CardEvent>{}) << "d" << device << "." << axis;
    }
    EXPECT_EQ(axis::move_ratio(4), 5.5);
    EXPECT_EQ(axis::move_ratio(5), 1.0);
}

TEST_F(CardConfigFile, UnreadableOrEmptyFileConfiguresNothing) {
    struct Case {
        const char* name;
        const char* path;
        quvex_status expected;
    };
    const std::string empty = write_file("events_config_empty.bin", {});
    const Case cases[] = {
        {"missing", "no_such_folder/config.bin", QUVEX_ERR_CONFIG_FILE},
        {"null_path", nullptr, QUVEX_ERR_CONFIG_FILE},
        {"empty", empty.c_str(), QUVEX_OK},
    };
    for (const Case& c : cases) {
        start_trace();
        EXPECT_EQ(quvex_config_from_file(c.path), c.expected) << c.name;
        EXPECT_EQ(card_events(), std::vector<CardEvent>{}) << c.name;
    }
}

// A damaged value is handed on like any other; the export it reaches refuses it.
TEST_F(CardConfigFile, NotANumberRatioLeavesTheRatioAsItWas) {
    std::vector<config::AxisRecordSettings> records = all_records();
    records[0].move_ratio = std::numeric_limits<double>::quiet_NaN();
    records[0].feedback_src = 0;  // a feedback source of 1 sets the ratio back to 1.0 first
    ASSERT_EQ(quvex_set_move_ratio(0, 4.0), QUVEX_OK);
    const std::string path = write_file("events_config_nan.bin", image_of(records));
    ASSERT_EQ(quvex_config_from_file(path.c_str()), QUVEX_OK);
    EXPECT_EQ(axis::move_ratio(0), 4.0);
    EXPECT_EQ(axis::move_ratio(1), 2.5);
}

TEST(CardConfigFileWithoutCards, ReadsTheFileAndConfiguresNothing) {
    install_cards({0});
    const std::string path = write_file("events_config_nocard.bin", image_of(all_records()));
    quvex_sim_trace_clear();
    quvex_sim_trace_enable(1);
    EXPECT_EQ(quvex_config_from_file(path.c_str()), QUVEX_OK);
    quvex_sim_trace_enable(0);
    EXPECT_EQ(card_events(), std::vector<CardEvent>{});
    EXPECT_EQ(axis::move_ratio(0), 1.0);
}

}  // namespace
}  // namespace quvex::test
