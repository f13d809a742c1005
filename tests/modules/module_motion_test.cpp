// The one-axis module's profiles and moves: the arithmetic in the module's units and the
// messages each export sends, with its codes and check order.
#include <random>

#include "module_fixture.h"
#include "modules/one_axis_profile.h"

namespace quvex::test {
namespace {

namespace m1 = modules::m1;
using Writes = std::vector<std::pair<std::uint16_t, std::uint32_t>>;

TEST(ModuleProfile, RangeFollowsTheModuleTable) {
    struct Case {
        double max_vel;
        std::uint32_t range;
    };
    const Case cases[] = {{1000, 1999},     {10000, 1999},    {10000.5, 999},    {20000.1, 399}, {50001, 199},
                          {100001, 99},     {200001, 39},     {500001, 19},      {1000001, 9},   {2000001, 3},
                          {5000001, 2},     {6000000, 2},     {1e12, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.max_vel);
        EXPECT_EQ(m1::kProfile.t_profile(0, c.max_vel, 0.1, 0.1, std::nullopt).speeds.range, c.range);
    }
}

TEST(ModuleProfile, StartFromRestAtOneThousand) {
    const m1::Profile p = m1::kProfile.t_profile(0, 1000, 0.2, 0.1, std::nullopt);
    EXPECT_EQ(p.speeds.range, 1999u);
    EXPECT_EQ(p.speeds.fh, 10000u);
    EXPECT_EQ(p.speeds.fl, 10u);  // the lowest start speed, 1 pps, in tenths
    EXPECT_EQ(p.rates.accel, static_cast<std::uint32_t>(0.2 * 5000000.0 / 9990.0 - 1.0));
    EXPECT_EQ(p.rates.decel, static_cast<std::uint32_t>(0.1 * 5000000.0 / 9990.0 - 1.0));
}

TEST(ModuleProfile, StartSpeedRulesAtTheTopOfTheRange) {
    struct Case {
        const char* name;
        double str_vel, max_vel;
        std::optional<std::uint32_t> pin;
        std::uint32_t fh, fl;
    };
    const Case cases[] = {
        // R 2: one unit is 200/3 pps; 100000 units is the top.
        {"both at the top", 7e6, 8e6, std::nullopt, 100000, 500},
        {"tie at the top", 10000, 20000, std::uint32_t{1999}, 100000, 500},
        {"tie below the top", 999.95, 1000.05, std::nullopt, 10001, 10000},
        {"start below the lowest", 0.2, 5000, std::nullopt, 50000, 10},
        {"peak above the top at a pinned fine range", 0, 50000, std::uint32_t{1999}, 100000, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const motion::SpeedRegisters s = m1::kProfile.speeds(c.str_vel, c.max_vel, c.pin);
        EXPECT_EQ(s.fh, c.fh);
        EXPECT_EQ(s.fl, c.fl);
    }
}

TEST(ModuleProfile, SCurveSectionsAndRates) {
    struct Case {
        const char* name;
        double sv;
        std::uint32_t section;
        double rate_quotient;  // before the floor and the minus one
    };
    // str 0, max 1000, R 1999: FH 10000, FL 10, span 9990; Tacc 0.5.
    const Case cases[] = {
        {"zero section counts as one", 0, 1, 0.5 * 5e6 / 9990},
        {"wider than half the change is pure S", 600, 0, 0.5 * 2.5e6 / 9990},
        {"in between", 100, 1000, 0.5 * 5e6 / (9990 + 2000)},
        {"tiny rounds up to one", 0.01, 1, 0.5 * 5e6 / 9990},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const m1::Profile p = m1::kProfile.s_profile(0, 1000, 0.5, 0.5, c.sv, c.sv, std::nullopt);
        EXPECT_EQ(p.rates.s_accel, c.section);
        EXPECT_EQ(p.rates.s_decel, c.section);
        EXPECT_EQ(p.rates.accel, static_cast<std::uint32_t>(c.rate_quotient - 1.0));
    }
}

TEST(ModuleProfile, RandomProfilesStayWithinPeakAndWidths) {
    std::mt19937_64 rng(17);
    std::uniform_real_distribution<double> log_speed(0.0, 7.2);
    std::uniform_real_distribution<double> time(0.0, 3.0);
    std::uniform_real_distribution<double> fraction(0.0, 0.7);
    for (int i = 0; i < 20000; ++i) {
        const double max_vel = std::pow(10.0, log_speed(rng));
        const double str_vel = max_vel * fraction(rng);
        const bool s_curve = (i & 1) != 0;
        const m1::Profile p = s_curve ? m1::kProfile.s_profile(str_vel, max_vel, time(rng), time(rng),
                                                               max_vel * fraction(rng), max_vel * fraction(rng),
                                                               std::nullopt)
                                      : m1::kProfile.t_profile(str_vel, max_vel, time(rng), time(rng), std::nullopt);
        const double unit = 200.0 / (p.speeds.range + 1.0);
        SCOPED_TRACE(testing::Message() << str_vel << " " << max_vel);
        ASSERT_TRUE(p.speeds.range >= 2 && p.speeds.range <= 1999);
        ASSERT_TRUE(p.speeds.fh >= 1 && p.speeds.fh <= 100000);
        ASSERT_TRUE(p.speeds.fl >= 1 && p.speeds.fl <= 100000);
        ASSERT_NE(p.speeds.fh, p.speeds.fl);
        // The programmed peak is never exceeded, except by the one unit that breaks a tie.
        const double peak = p.speeds.fh * unit;
        ASSERT_LE(peak, std::max(max_vel, unit) + (p.speeds.fh == p.speeds.fl + 1 ? unit : 0.0) + 1e-6);
        ASSERT_LE(p.rates.accel, 65535u);
        ASSERT_LE(p.rates.decel, 65535u);
        ASSERT_LE(p.rates.s_accel, 50000u);
        ASSERT_LE(p.rates.s_decel, 50000u);
    }
}

class ModuleMotion : public ModuleTest {
protected:
    static constexpr std::uint32_t kAccel = 49;  // floor(0.1 · 5e6 / 9990 - 1)
};

TEST_F(ModuleMotion, TCurveProfileMessages) {
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 0, 1000, 0.1, 0.1), 0);
    EXPECT_EQ(writes(), (Writes{{0x95, 1999}, {0x92, 10000}, {0x91, 10}, {0x93, kAccel}, {0x94, kAccel},
                                {0x97, 0}, {0x9B, 10}}));
}

TEST_F(ModuleMotion, SCurveProfileMessagesSetTheCurveBit) {
    ASSERT_EQ(kring_m1_set_smove_speed(r(), kSlave, 0, 1000, 0.1, 0.1, 0, 600), 0);
    EXPECT_EQ(writes(), (Writes{{0x95, 1999}, {0x92, 10000}, {0x91, 10}, {0x99, 1}, {0x93, kAccel},
                                {0x9A, 0}, {0x94, 24}, {0x97, 0x400}, {0x9B, 10}}));
    clear();
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 0, 1000, 0.1, 0.1), 0);
    EXPECT_EQ(writes()[5], (std::pair<std::uint16_t, std::uint32_t>{0x97, 0}));
}

TEST_F(ModuleMotion, ProfileChecks) {
    EXPECT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 100, 100, 0.1, 0.1), KRING_ERR_SPEED_ORDER);
    EXPECT_EQ(kring_m1_set_tmove_speed(r(), kSlave, -5, 0, 0.1, 0.1), KRING_ERR_ZERO_MAX_SPEED);
    EXPECT_EQ(kring_m1_set_smove_speed(r(), kSlave, 10, 5, 0.1, 0.1, 0, 0), KRING_ERR_SPEED_ORDER);
    EXPECT_EQ(kring_m1_set_smove_speed(r(), kSlave, 0, NAN, 0.1, 0.1, 0, 0), KRING_ERR_SPEED_ORDER);
    EXPECT_EQ(kring_m1_set_tmove_speed(r(), 64, 100, 100, 0.1, 0.1), KRING_ERR_SLAVE);
    EXPECT_TRUE(sent().empty());
}

TEST_F(ModuleMotion, MoveBeforeAnyProfileSendsNothing) {
    EXPECT_EQ(kring_m1_start_r_move(r(), kSlave, 100), KRING_ERR_NO_PROFILE);
    EXPECT_EQ(kring_m1_start_a_move(r(), kSlave, 100), KRING_ERR_NO_PROFILE);
    EXPECT_EQ(kring_m1_v_move(r(), kSlave, 1), KRING_ERR_NO_PROFILE);
    EXPECT_TRUE(sent().empty());
}

TEST_F(ModuleMotion, MoveChecksTheDistanceBeforeTheSlave) {
    struct Case {
        std::uint16_t ring, slave;
        std::int32_t dist;
        quvex_status code;
    };
    const Case cases[] = {
        {2, 70, 134217728, KRING_ERR_MOVE_RANGE}, {2, 70, -134217729, KRING_ERR_MOVE_RANGE},
        {2, 70, 134217727, KRING_ERR_SLAVE},       {2, kSlave, -134217728, KRING_ERR_NOT_OPEN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dist);
        EXPECT_EQ(kring_m1_start_r_move(c.ring, c.slave, c.dist), c.code);
        EXPECT_EQ(kring_m1_start_a_move(c.ring, c.slave, c.dist), c.code);
    }
}

TEST_F(ModuleMotion, MovesSendModeAmountAndStart) {
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 0, 1000, 0.1, 0.1), 0);
    clear();
    ASSERT_EQ(kring_m1_start_r_move(r(), kSlave, -10), 0);
    station.registers[0xE4] = static_cast<std::uint32_t>(-400);
    ASSERT_EQ(kring_m1_start_a_move(r(), kSlave, 600), 0);
    ASSERT_EQ(kring_m1_v_move(r(), kSlave, 0), 0);
    EXPECT_EQ(sent(), (std::vector<Frame>{frame(0x97, 0x41), frame(0x90, 0x0FFFFFF6), frame(0x53), {0xE4},
                                          frame(0x97, 0x41), frame(0x90, 1000), frame(0x53), frame(0x97, 0x08),
                                          frame(0x53)}));
    const ring::ModuleAxisBlock& b = master().slave(kSlave).axes[0];
    EXPECT_EQ(b.prev_target_pos, -10.0);
    EXPECT_EQ(b.target_pos, 600.0);
    double now = 0, set = 0;
    ASSERT_EQ(kring_m1_get_rmv(r(), kSlave, &now, &set), 0);
    EXPECT_EQ(set, 1000.0);
}

TEST_F(ModuleMotion, PinnedRangeKeepsTheMultiplier) {
    ASSERT_EQ(kring_m1_fix_speed_range(r(), kSlave, 6000000), 0);
    EXPECT_EQ(writes(), (Writes{{0x92, 90000}, {0x91, 1}, {0x9B, 1}}));
    clear();
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 0, 1000, 0.1, 0.1), 0);
    EXPECT_EQ(writes()[0], (std::pair<std::uint16_t, std::uint32_t>{0x95, 2}));
    ASSERT_EQ(kring_m1_unfix_speed_range(r(), kSlave), 0);
    clear();
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 0, 1000, 0.1, 0.1), 0);
    EXPECT_EQ(writes()[0], (std::pair<std::uint16_t, std::uint32_t>{0x95, 1999}));
}

TEST_F(ModuleMotion, SpeedChangeOfAVelocityMove) {
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 0, 1000, 0.1, 0.1), 0);
    ASSERT_EQ(kring_m1_v_move(r(), kSlave, 1), 0);
    station.registers[0xF5] = 10000;
    clear();
    EXPECT_EQ(kring_m1_v_change(r(), kSlave, 1000, 0.1), KRING_ERR_SPEED_CHANGE_SAME);
    EXPECT_EQ(kring_m1_v_change(r(), kSlave, 1, 0.1), KRING_ERR_SPEED_CHANGE_SAME);  // the start speed
    ASSERT_EQ(kring_m1_v_change(r(), kSlave, 500, 0.1), 0);
    ASSERT_EQ(kring_m1_v_change(r(), kSlave, -2000, 0.2), 0);
    EXPECT_EQ(writes(), (Writes{{0x92, 5000}, {0x9A, 0}, {0x94, 99}, {0x92, 20000}, {0x99, 0}, {0x93, 99}}));
}

TEST_F(ModuleMotion, SpeedChangeOfAPositioningMoveNeedsRoom) {
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 0, 1000, 0.1, 0.1), 0);
    ASSERT_EQ(kring_m1_start_r_move(r(), kSlave, 100000), 0);
    station.registers[0xF5] = 10000;
    // Slowing to 500 pps in 0.1 s: DR 99, d = floor(5000 · 0.05 · 0.1) = 25,
    // RDP = floor(100 · 4990 · 5010 / 2000 / 50000) = 24.
    station.registers[0xF4] = 48;
    clear();
    EXPECT_EQ(kring_m1_v_change(r(), kSlave, 500, 0.1), KRING_ERR_SPEED_CHANGE_ROOM);
    EXPECT_EQ(writes(), Writes{});
    station.registers[0xF4] = 49;
    ASSERT_EQ(kring_m1_v_change(r(), kSlave, 500, 0.1), 0);
    EXPECT_EQ(writes(), (Writes{{0x92, 5000}, {0x9A, 0}, {0x94, 99}, {0x96, 24}}));
}

// Running at 10000 units (R 1999, FL 10) the change to 999.95 pps (FH 9999) in 0.1 s slows by one
// unit: DR = floor(5e6 / 1 · 0.1 − 1) = 499999, d = 0, RDP = floor(500000 · 9989 · 10009 / 2000 / 50000)
// = 499899. A rate clamped to 65535 would give an RDP of 65522 and accept too early.
TEST_F(ModuleMotion, SpeedChangeRatesAreSentUnclamped) {
    struct Case {
        const char* name;
        bool positioning;
        double tdec, new_vel, time;
        std::uint32_t remaining;
        quvex_status code;
        Writes sent;
    };
    const Case cases[] = {
        {"positioning, the room of the unclamped rate", true, 0.1, 999.95, 0.1, 141072, KRING_ERR_SPEED_CHANGE_ROOM,
         {}},
        {"positioning, one pulse short", true, 0.1, 999.95, 0.1, 499898, KRING_ERR_SPEED_CHANGE_ROOM, {}},
        {"positioning, just enough", true, 0.1, 999.95, 0.1, 499899, 0,
         {{0x92, 9999}, {0x9A, 0}, {0x94, 499999}, {0x96, 499899}}},
        {"continuous, a rate above 16 bits", false, 0.1, 999.95, 0.1, 0, 0,
         {{0x92, 9999}, {0x9A, 0}, {0x94, 499999}}},
        {"continuous, zero time is the floor -1", false, 0.1, 2000, 0.0, 0, 0,
         {{0x92, 20000}, {0x99, 0}, {0x93, 0xFFFFFFFF}}},
        // Speeding up to 20000 units, the new DR keeps 0.8 of the last deceleration time (400 s):
        // floor(5e6 / 19990 · 400 · 0.8 − 1) = 80039, RDP 320159, d = 50.
        {"positioning, speeding up with a long last deceleration", true, 400, 2000, 0.1, 320209, 0,
         {{0x92, 20000}, {0x99, 0}, {0x93, 49}, {0x94, 80039}, {0x96, 320159}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 0, 1000, 0.1, c.tdec), 0);
        ASSERT_EQ(c.positioning ? kring_m1_start_r_move(r(), kSlave, 100000) : kring_m1_v_move(r(), kSlave, 1), 0);
        station.registers[0xF5] = 10000;
        station.registers[0xF4] = c.remaining;
        clear();
        EXPECT_EQ(kring_m1_v_change(r(), kSlave, c.new_vel, c.time), c.code);
        EXPECT_EQ(writes(), c.sent);
    }
}

TEST_F(ModuleMotion, SpeedChangeWithValuesThatAreNotNumbersSendsNothing) {
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 0, 1000, 0.1, 0.1), 0);
    ASSERT_EQ(kring_m1_v_move(r(), kSlave, 1), 0);
    clear();
    EXPECT_EQ(kring_m1_v_change(r(), kSlave, NAN, 0.1), KRING_ERR_SPEED_ORDER);
    EXPECT_EQ(kring_m1_v_change(r(), kSlave, 500, INFINITY), KRING_ERR_SPEED_ORDER);
    EXPECT_TRUE(sent().empty());
}

}  // namespace
}  // namespace quvex::test
