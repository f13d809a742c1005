// Private-profile (INI) reads through the Win32 backend, and the same reads through the virtual
// installation, which must answer exactly as the operating system does.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "os.h"
#include "common/platform.h"
#include "win32_test_support.h"

namespace quvex::win32test {
namespace {

constexpr const char* kIniText =
    "; ring motion file\r\n"
    "[RING0]\r\n"
    "BaudRate=2\r\n"
    "Name= \"quoted value\"\r\n"
    "Single='single'\r\n"
    "Negative=-5\r\n"
    "Padded   =   padded value   \r\n"
    "Empty=\r\n"
    "Trailing=12abc\r\n"
    "\r\n"
    "[ Slave_Type ]\r\n"
    "Type0=1\r\n";

struct ProfileCase {
    const char* name;
    const char* section;
    const char* key;
    std::uint32_t out_size;
    const char* text;   // expected string (fallback "dflt")
    std::int32_t value; // expected integer (fallback 99)
};

constexpr std::int32_t kFallbackInt = 99;

class ProfileRead : public ::testing::TestWithParam<ProfileCase> {
protected:
    static void SetUpTestSuite() {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        path_ = std::string(dir) + "quvex-profile-" + std::to_string(GetCurrentProcessId()) + ".ini";
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(kIniText, f);
        std::fclose(f);
    }
    static void TearDownTestSuite() { DeleteFileA(path_.c_str()); }
    static std::string path_;
};
std::string ProfileRead::path_;

TEST_P(ProfileRead, OperatingSystemAndVirtualInstallationAgree) {
    const ProfileCase& c = GetParam();
    char text[64] = "untouched";
    const std::uint32_t n = plat::profile_string(c.section, c.key, "dflt", text, c.out_size, path_.c_str());
    EXPECT_STREQ(text, c.text);
    EXPECT_EQ(n, std::string(c.text).size());
    EXPECT_EQ(plat::profile_int(c.section, c.key, kFallbackInt, path_.c_str()), c.value);

    char sim_text[64] = "untouched";
    const std::uint32_t sim_n = qsim::os::profile_string(c.section, c.key, "dflt", sim_text, c.out_size, path_.c_str());
    EXPECT_STREQ(sim_text, c.text) << "virtual installation";
    EXPECT_EQ(sim_n, n) << "virtual installation";
    EXPECT_EQ(qsim::os::profile_int(c.section, c.key, kFallbackInt, path_.c_str()), c.value) << "virtual installation";
}

INSTANTIATE_TEST_SUITE_P(
    RingMotionFile, ProfileRead,
    ::testing::Values(ProfileCase{"plain", "RING0", "BaudRate", 64, "2", 2},
                      ProfileCase{"names_ignore_case", "ring0", "baudrate", 64, "2", 2},
                      ProfileCase{"section_name_trimmed", "Slave_Type", "Type0", 64, "1", 1},
                      ProfileCase{"double_quotes_dropped", "RING0", "Name", 64, "quoted value", 0},
                      ProfileCase{"single_quotes_dropped", "RING0", "Single", 64, "single", 0},
                      ProfileCase{"negative", "RING0", "Negative", 64, "-5", -5},
                      ProfileCase{"blanks_around_trimmed", "RING0", "Padded", 64, "padded value", 0},
                      ProfileCase{"empty_value", "RING0", "Empty", 64, "", kFallbackInt},
                      ProfileCase{"digits_then_text", "RING0", "Trailing", 64, "12abc", 12},
                      ProfileCase{"truncated_to_buffer", "RING0", "Padded", 4, "pad", 0},
                      ProfileCase{"missing_key", "RING0", "Nothing", 64, "dflt", kFallbackInt},
                      ProfileCase{"missing_section", "RING9", "BaudRate", 64, "dflt", kFallbackInt},
                      ProfileCase{"key_of_other_section", "Slave_Type", "BaudRate", 64, "dflt", kFallbackInt}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quvex::win32test
