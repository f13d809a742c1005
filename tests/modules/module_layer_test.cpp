// The sequences both module kinds share, driven against a recording axis that fails one write
// on cue: each kind's policy (which writes still go out after a failure, which result counts,
// which bank and which trailing copy) decides what reaches the module.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "modules/module_kind.h"
#include "modules/module_motion.h"

namespace quvex::test {
namespace {

using Sent = std::vector<std::pair<std::uint16_t, std::uint32_t>>;
constexpr std::int16_t kWriteFailed = -49;

// What the recording axis shares with the test; the axis itself is a handle passed by value.
struct Recording {
    ring::ModuleAxisBlock block;
    Sent sent;
    int fail_at = 0;  // 1-based index of the write that fails, 0 for none

    explicit Recording(int fail = 0) : fail_at(fail) {}
};

template <const auto& Kind>
struct RecordingAxis {
    static constexpr const auto& kind = Kind;
    Recording* r;
    ring::ModuleAxisBlock& block() { return r->block; }
    std::int16_t write(std::uint16_t code, std::uint32_t value) {
        r->sent.emplace_back(code, value);
        return static_cast<int>(r->sent.size()) == r->fail_at ? kWriteFailed : std::int16_t{0};
    }
    std::int16_t command(std::uint16_t code) { return write(code, 0); }
    bool read(std::uint16_t, std::uint32_t* value) {
        *value = 0;
        return true;
    }
};
using OneAxis = RecordingAxis<modules::m1::kOneAxis>;
using FourAxis = RecordingAxis<modules::m4::kFourAxis>;

std::vector<std::uint16_t> codes(const Sent& sent) {
    std::vector<std::uint16_t> out;
    for (const auto& [code, value] : sent) out.push_back(code);
    return out;
}

TEST(ModuleLayer, PositioningStartFollowsTheKindsFailurePolicy) {
    struct Case {
        const char* name;
        bool four_axis;
        int fail_at;
        std::vector<std::uint16_t> codes;
        std::int16_t result;
    };
    // Mode (0x97), amount (0x90), then the ramped start (0x53).
    const Case cases[] = {
        {"one-axis, nothing fails", false, 0, {0x97, 0x90, 0x53}, 0},
        {"one-axis, the mode fails: the amount's result counts", false, 1, {0x97, 0x90, 0x53}, 0},
        {"one-axis, the amount fails", false, 2, {0x97, 0x90}, kWriteFailed},
        {"four-axis, nothing fails", true, 0, {0x97, 0x90, 0x53}, 0},
        {"four-axis, the mode fails and ends it", true, 1, {0x97}, kWriteFailed},
        {"four-axis, the amount fails", true, 2, {0x97, 0x90}, kWriteFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recording r(c.fail_at);
        const std::int16_t result =
            c.four_axis ? modules::start_relative(FourAxis{&r}, -5) : modules::start_relative(OneAxis{&r}, -5);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(codes(r.sent), c.codes);
        EXPECT_EQ(r.block.move_amount, 0x0FFFFFFBu) << "the amount as the 28-bit register holds -5";
        EXPECT_EQ(r.block.target_pos, -5);
    }
}

TEST(ModuleLayer, ProfileAndPinWritesDependOnBankAndKind) {
    struct Case {
        const char* name;
        int fail_at;
        bool buffered;
        std::uint16_t first_code;
        std::size_t writes;  // a T-curve profile sends range, FH, FL, UR, DR, mode (+ the FL copy)
        std::int16_t result;
    };
    const Case cases[] = {
        {"live: every write, then the start-speed copy", 0, false, 0x95, 7, 0},
        {"live: a failure midway still sends the rest", 2, false, 0x95, 7, 0},
        {"buffered: no copy", 0, true, 0x85, 6, 0},
        {"buffered: the first failure ends it", 2, true, 0x85, 2, kWriteFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recording r(c.fail_at);
        const modules::SpeedArgs a{.str_vel = 0, .max_vel = 1000, .tacc = 0.1, .tdec = 0.2};
        const modules::ProfileLoad& how = c.buffered ? modules::kBufferedProfile : modules::kLiveProfile;
        const std::int16_t result = modules::load_profile(FourAxis{&r}, motion::Curve::kTrapezoid, a, how);
        EXPECT_EQ(result, c.result);
        ASSERT_EQ(r.sent.size(), c.writes);
        EXPECT_EQ(r.sent[0].first, c.first_code);
        if (!c.buffered) {
            EXPECT_EQ(r.sent.back(), (std::pair<std::uint16_t, std::uint32_t>{0x9B, r.block.start_speed_reg}));
        }
        EXPECT_EQ(r.block.last_decel_time, 0.2) << "the mirrors are kept whatever the writes return";
    }

    Recording one, four;
    modules::pin_speed_range(OneAxis{&one}, 1000);
    modules::pin_speed_range(FourAxis{&four}, 1000);
    EXPECT_EQ(codes(one.sent), (std::vector<std::uint16_t>{0x92, 0x91, 0x9B})) << "the one-axis pin copies FL";
    EXPECT_EQ(codes(four.sent), (std::vector<std::uint16_t>{0x92, 0x91}));
    EXPECT_EQ(one.block.speed_range_fixed, 1);
    EXPECT_EQ(four.block.speed_range_fixed, 1);
}

}  // namespace
}  // namespace quvex::test
