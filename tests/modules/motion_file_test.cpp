// The ring motion file: which digit feeds which setting, the calls a file makes, the speed-range
// pin of the slave-type section, and a missing key.
#include <filesystem>
#include <fstream>

#include "config/ring_motion_file.h"
#include "module_fixture.h"

namespace quvex::test {
namespace {

using Writes = std::vector<std::pair<std::uint16_t, std::uint32_t>>;

TEST(MotionFileDigits, PositionsReadAsOneDigitEach) {
    struct Case {
        const char* value;
        std::size_t position;
        std::uint8_t digit;
    };
    const Case cases[] = {
        {"9000000000000000000000", 0, 0},  // position 0 is never read
        {"0900000000000000000000", 1, 9},
        {"0000000000000000000007", 21, 7},
        {"0x10", 1, 0},                    // not a digit
        {"0x10", 2, 1},
        {"0x10", 3, 0},
        {"0x10", 4, 0},                    // past the end of a short value
        {"01", 21, 0},
        {"", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " @" << c.position);
        EXPECT_EQ(config::parse_setting_digits(c.value)[c.position], c.digit);
    }
}

class MotionFile : public ModuleTest {
protected:
    void TearDown() override {
        std::filesystem::remove(path_);
        ModuleTest::TearDown();
    }
    const char* file(const std::string& text) {
        path_ = std::filesystem::temp_directory_path() /
                ("quvex_motion_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini");
        std::ofstream(path_) << text;
        name_ = path_.string();
        return name_.c_str();
    }

private:
    std::filesystem::path path_;
    std::string name_;
};

TEST_F(MotionFile, DigitsConfigureTheModuleInOrder) {
    const char* f = file("[RING0]\nSLAVE3=0111010000000000000000\n");
    ASSERT_EQ(kring_m1_load_motion_file(r(), kSlave, f), 0);
    EXPECT_EQ(writes(), (Writes{
                            {0x9C, 0x300},                      // alarm logic 1, mode 1
                            {0x9C, 0xF300},                     // ERC logic 1, width 7, mode 0
                            {0x9C, 0xF300}, {0x97, 0},          // slow-down, first call
                            {0x9E, 0x1000},                     // feedback source
                            {0x9D, 0x000F},                     // pulse input
                            {0x9C, 0x40F300},                   // INP logic 1 (enable 0 stays in the mirror)
                            {0x9C, 0x40F300}, {0x97, 0},        // slow-down, final call
                            {0x9C, 0x40F300},                   // pulse output
                            {0x9C, 0x40F300}, {0x9D, 0x000F}, {0x9E, 0x701000},  // home
                            {0x9C, 0x40F300},                   // latch logic
                        }));
}

TEST_F(MotionFile, SlowDownLatchAndModeEndTheRightWayRound) {
    // p12 (latch) 1, p13 (mode) 0: the first call has them swapped, the final one does not.
    const char* f = file("[RING0]\nSLAVE3=0000000000001000000000\n");
    ASSERT_EQ(kring_m1_load_motion_file(r(), kSlave, f), 0);
    EXPECT_EQ(master().slave(kSlave).axes[0].env[0], 0x7000u | (1u << 5));  // ERC width 7 and latch
}

TEST_F(MotionFile, SlaveTypeKeyPinsTheSpeedRange) {
    const char* f = file("[RING0]\nSLAVE3=0000000000000000000000\n[Slave_Type]\nKB7T_3=1\nKB7T_4=0\n");
    ASSERT_EQ(kring_m1_load_motion_file(r(), kSlave, f), 0);
    const Writes w = writes();
    ASSERT_GE(w.size(), 3u);
    EXPECT_EQ(Writes(w.end() - 3, w.end()), (Writes{{0x92, 90000}, {0x91, 1}, {0x9B, 1}}));
    const ring::ModuleAxisBlock& b = master().slave(kSlave).axes[0];
    EXPECT_EQ(b.speed_range, 2u);
    EXPECT_EQ(b.speed_range_fixed, 1);
}

TEST_F(MotionFile, MissingKeyOrFileSendsNothing) {
    const char* f = file("[RING1]\nSLAVE3=0111010000000000000000\n[RING0]\nSLAVE4=0111010000000000000000\n");
    EXPECT_EQ(kring_m1_load_motion_file(r(), kSlave, f), KRING_ERR_MOTION_FILE_KEY);
    EXPECT_EQ(kring_m1_load_motion_file(r(), kSlave, "/nonexistent/quvex.ini"), KRING_ERR_MOTION_FILE_KEY);
    EXPECT_EQ(kring_m1_load_motion_file(r(), kSlave, nullptr), KRING_ERR_MOTION_FILE_KEY);
    EXPECT_TRUE(sent().empty());
    // A present key on a ring that is not open is still a success: the set-up calls fail quietly.
    EXPECT_EQ(kring_m1_load_motion_file(1, kSlave, f), 0);
    EXPECT_TRUE(sent().empty());
}

}  // namespace
}  // namespace quvex::test
