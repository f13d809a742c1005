// Lines on the four-axis module: each axis's share of the move and of the path speed in the
// buffered registers, the start command with its axis bits, the axis-set checks, and what a
// failure part-way leaves behind.
#include "m4_fixture.h"
#include "modules/four_axis_line.h"

namespace quvex::test {
namespace {

namespace m4 = modules::m4;

using FourAxisLine = FourAxisTest;

TEST_F(FourAxisLine, ThreeHundredByFourHundred) {
    const std::int16_t axes[2] = {0, 1};
    ASSERT_EQ(kring_m4_start_tr_line2(r(), kSlave, axes, 300, -400, 10, 5000, 0.1, 0.2), 0);
    // L = 500: each axis runs at |d| / 501 of the path speeds, below 4914 pps, so at u = 0.3
    // (R 3999). X: 5.988 to 2994.01 pps, FL = ceil(19.96) = 20, FH = floor(9980.04) = 9980,
    // UR = floor(0.1 · 19660800 / (2 · 9960) − 1) = 97, DR (0.2 s) = 196.
    // Y: 7.984 to 3992.02 pps, FL = ceil(26.61) = 27, FH = floor(13306.72) = 13306,
    // UR = floor(0.1 · 19660800 / (2 · 13279) − 1) = 73, DR = 147.
    const std::vector<AxisWrite> first = {{0x87, 0x63}, {0x80, 300},  {0x88, 400}, {0x85, 3999}, {0x82, 9980},
                                          {0x81, 20},   {0x83, 97},   {0x84, 196}, {0x87, 0x63}, {0x0353, 0}};
    const std::vector<AxisWrite> second = {{0x87, 0x63}, {0x80, 0x0FFFFE70}, {0x88, 400}, {0x85, 3999},
                                           {0x82, 13306}, {0x81, 27}, {0x83, 73}, {0x84, 147}, {0x87, 0x63}};
    EXPECT_EQ(axis_writes(0), first);
    EXPECT_EQ(axis_writes(1), second);
    EXPECT_EQ(block(0).aux_amount, 400u);
    EXPECT_EQ(block(1).aux_amount, 400u);
    EXPECT_EQ(block(1).target_pos, -400);
    EXPECT_EQ(block(0).last_decel_time, 0.2);
}

TEST_F(FourAxisLine, SCurveLoadsSectionsAndTheCurveBit) {
    block(2).operation_mode = 0xFFFFFFFF;
    ASSERT_EQ(kring_m4_sr_move_zu(r(), kSlave, 0, 1000, 0, 2000, 0.1, 0.1, 100, 100), 0);
    EXPECT_EQ(codes(3), (std::vector<std::uint16_t>{0x87, 0x80, 0x88, 0x85, 0x82, 0x81, 0x89, 0x83, 0x8A, 0x84, 0x87}));
    // The line clears bits 0..6, 10, 13, 14 and 26 of what was there; the S profile sets 10 again.
    EXPECT_EQ(axis_writes(2)[0], (AxisWrite{0x87, 0xFBFF9BE3}));
    EXPECT_EQ(axis_writes(2).back(), (AxisWrite{0x0C53, 0}));
    EXPECT_EQ(axis_writes(2)[10], (AxisWrite{0x87, 0xFBFF9FE3}));
}

TEST_F(FourAxisLine, StartCommandFollowsTheRampTimes) {
    struct Case {
        double tacc, tdec;
        std::uint16_t start;
    };
    const Case cases[] = {{0.1, 0.1, 0x0953}, {0, 0.1, 0x0952}, {0.1, 0, 0x0953}, {0, 0, 0x0951}};
    const std::int16_t axes[2] = {0, 3};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        clear();
        ASSERT_EQ(kring_m4_start_tr_line2(r(), kSlave, axes, 100, 100, 0, 1000, c.tacc, c.tdec), 0);
        EXPECT_EQ(axis_writes(0).back(), (AxisWrite{c.start, 0}));
        EXPECT_NE(codes(3).back(), c.start);
    }
    clear();
    const std::int16_t all[4] = {3, 1, 0, 2};
    ASSERT_EQ(kring_m4_start_tr_line4(r(), kSlave, all, 1, 2, 2, 4, 0, 1000, 0, 0), 0);
    EXPECT_EQ(axis_writes(3).back(), (AxisWrite{0x0F51, 0}));
}

TEST_F(FourAxisLine, InvalidAxisSetsAreRefused) {
    struct Case {
        int count;
        std::vector<std::int16_t> axes;
    };
    const Case cases[] = {
        {2, {1, 0}}, {2, {2, 2}}, {2, {0, 4}}, {2, {-1, 2}}, {3, {0, 2, 1}}, {3, {0, 1, 1}},
        {3, {1, 2, 4}}, {4, {0, 1, 2, 2}}, {4, {0, 1, 2, 4}}, {4, {3, 2, 1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.axes));
        const std::int16_t* a = c.axes.data();
        quvex_status s = 0;
        if (c.count == 2) s = kring_m4_start_tr_line2(r(), kSlave, a, 1, 1, 0, 0, 0, 0);
        if (c.count == 3) s = kring_m4_start_sa_line3(r(), kSlave, a, 1, 1, 1, 0, 0, 0, 0, 0, 0);
        if (c.count == 4) s = kring_m4_start_ta_line4(r(), kSlave, a, 1, 1, 1, 1, 0, 0, 0, 0);
        EXPECT_EQ(s, KRING_ERR_M4_AXES);  // before the zero speed
    }
    EXPECT_EQ(kring_m4_start_tr_line2(r(), kSlave, nullptr, 1, 1, 0, 1000, 0, 0), KRING_ERR_M4_AXES);
    const std::int16_t ok[2] = {0, 1};
    EXPECT_EQ(kring_m4_start_tr_line2(r(), kSlave, ok, 1, 1, 0, -0.0, 0, 0), KRING_ERR_M4_ZERO_MAX_SPEED);
    EXPECT_TRUE(transfers().empty());
}

TEST_F(FourAxisLine, AbsoluteTargetsLessThePositionCounters) {
    station.axis_regs[0][0xE4] = 100;
    station.axis_regs[1][0xE4] = static_cast<std::uint32_t>(-50);
    ASSERT_EQ(kring_m4_ta_move_xy(r(), kSlave, 400, 350, 0, 1000, 0.1, 0.1), 0);
    const std::vector<Words> t = transfers();
    EXPECT_EQ(t[0], (Words{0x0920, 0xE4, 0x1AA4}));
    EXPECT_EQ(t[1], (Words{0x0928, 0xE4, 0x1AAC}));
    EXPECT_EQ(axis_writes(0)[1], (AxisWrite{0x80, 300}));
    EXPECT_EQ(axis_writes(1)[1], (AxisWrite{0x80, 400}));
    EXPECT_EQ(block(1).aux_amount, 400u);
}

// Records the sends and fails the one numbered `fail_at` (1-based).
struct FailingTransport final : m4::Transport {
    int fail_at = 0;
    std::vector<Words> sent;
    std::int16_t send(std::span<const std::uint16_t> words) override {
        sent.emplace_back(words.begin(), words.end());
        return static_cast<int>(sent.size()) == fail_at ? std::int16_t{-12} : std::int16_t{0};
    }
    std::int16_t query(std::span<const std::uint16_t> words, m4::Reply& reply) override {
        reply.fill(0);
        return send(words);
    }
};

TEST(FourAxisLineFailure, PartWayLeavesTheAxesAlreadyLoaded) {
    struct Case {
        const char* name;
        int fail_at;
        bool second_target_moved;
        std::uint32_t second_aux;
    };
    // Sends: axis 0's mode, amount, aux (1..3); axis 1's mode, amount, aux (4..6); profiles 7..18.
    const Case cases[] = {
        {"second axis's operation mode", 4, false, 0},
        {"second axis's amount", 5, true, 0},
        {"second axis's profile", 16, true, 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ring::SlaveRecord record;
        FailingTransport transport;
        transport.fail_at = c.fail_at;
        m4::FourAxisLink link(transport, record);
        const std::int16_t axes[2] = {2, 1};
        const double values[2] = {300, 400};
        const m4::LineRequest q{.axes = axes, .values = values,
                                .path = {.str_vel = 0, .max_vel = 1000, .tacc = 0.1, .tdec = 0.1}};
        EXPECT_EQ(m4::start_line(link, q), KRING_ERR_AXIS_WRITE);
        EXPECT_EQ(static_cast<int>(transport.sent.size()), c.fail_at);  // nothing after the failure, no start
        EXPECT_EQ(record.axes[2].target_pos, 300);
        EXPECT_EQ(record.axes[2].aux_amount, 400u);
        EXPECT_EQ(record.axes[1].target_pos, c.second_target_moved ? 400 : 0);
        EXPECT_EQ(record.axes[1].aux_amount, c.second_aux);
    }
}

}  // namespace
}  // namespace quvex::test
