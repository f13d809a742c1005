// Speed changes of a running move: the plan's rates, room and register order, the refusals of
// the exports, and the virtual chip carrying a change out.
#include <cmath>
#include <cstdio>
#include <limits>

#include "motion/speed_change.h"
#include "motion_fixture.h"
#include "quvex/quvex.h"

namespace quvex::test {
namespace {

using motion::ChangeOutcome;
using motion::Curve;
using motion::RunningMove;
using motion::SpeedChangePlan;
using Reg = chip::OperationRegister;


// The plan's writes as the live-bank writes of axis X they become.
Writes live_writes(const SpeedChangePlan& p) {
    Writes out;
    for (std::size_t k = 0; k < p.write_count; ++k) out.push_back(X.write(0x90 + p.writes[k].first,
                                                                          p.writes[k].second));
    return out;
}

// Live-bank writes of axis X.
CardEvent live(unsigned buffered_code, std::uint32_t value) { return X.write(reg::live(buffered_code), value); }
// Buffered-bank writes of axis X.
CardEvent buffered(unsigned code, std::uint32_t value) { return X.write(code, value); }

SpeedChangePlan plan(const RunningMove& mv, std::uint32_t cur, std::uint32_t n, double t) {
    return motion::plan_speed_change(motion::kLocalChipUnits, mv, cur, n, t);
}

// ---- the plan ----

constexpr RunningMove kTPositioning{.curve = Curve::kTrapezoid, .positioning = true, .range = 299, .fl = 100,
                                    .last_decel_time = 0.2};

TEST(SpeedChangePlan, TCurveSlowDownShiftsTheRampBy250AndDeceleratesAt97) {
    const SpeedChangePlan p = plan(kTPositioning, 10000, 5000, 0.1);
    ASSERT_EQ(p.outcome, ChangeOutcome::kWrite);
    // rdp = floor(98 * 4900 * 5100 / 300 / 32768) = 249
    EXPECT_EQ(p.ramp_down_point, 249u);
    EXPECT_EQ(p.room_needed, 250.0 + 249.0);
    EXPECT_EQ(live_writes(p),
              (Writes{live(reg::kMaxSpeed, 5000), live(reg::kSDecelSection, 0), live(reg::kDecelRate, 97),
                      live(reg::kRampDownPoint, 249)}));
}

TEST(SpeedChangePlan, TCurveSpeedUpKeepsTheLastDecelerationTime) {
    const SpeedChangePlan p = plan(kTPositioning, 5000, 10000, 0.1);
    const auto ur = static_cast<std::uint32_t>(std::floor(0.1 * 4915200 / 5000 - 1));
    const auto dr = static_cast<std::uint32_t>(std::floor(0.2 * 4915200 / 9900 - 1));
    const auto rdp = static_cast<std::uint32_t>(std::floor((dr + 1.0) * 9900 * 10100 / 300 / 32768));
    EXPECT_EQ(live_writes(p),
              (Writes{live(reg::kMaxSpeed, 10000), live(reg::kSAccelSection, 0), live(reg::kAccelRate, ur),
                      live(reg::kDecelRate, dr), live(reg::kRampDownPoint, rdp)}));
    EXPECT_EQ(p.room_needed, 250.0 + rdp);
}

struct SCase {
    const char* name;
    std::uint32_t us, ds, cur, n;
    Writes writes;
};

class SCurvePlan : public ::testing::TestWithParam<SCase> {};

// S-curve positioning at R = 2999, FL = 1000, T = 0.1 s, last deceleration 0.2 s. Sections
// stay; a pure S ramp counts at half the clock, a sectioned one over span + 2 sections.
TEST_P(SCurvePlan, RatesAndRampDownFromTheSections) {
    const SCase c = GetParam();
    const RunningMove mv{.curve = Curve::kSCurve, .positioning = true, .range = 2999, .fl = 1000, .s_accel = c.us,
                         .s_decel = c.ds, .last_decel_time = 0.2};
    EXPECT_EQ(live_writes(plan(mv, c.cur, c.n, 0.1)), c.writes);
}

// up, pure: UR = floor(0.1*2457600/20000 - 1) = 11, DR = floor(0.2*2457600/39000 - 1) = 11,
//   rdp = floor(12 * 39000 * 41000 / 3000 / 16384) = 390
// up, sections 2000/3000: UR = floor(0.1*4915200/24000 - 1) = 19, DR = floor(0.2*4915200/45000 - 1) = 20,
//   rdp = floor(21 * 45000 * 41000 / 3000 / 32768) = 394
// down, pure: DR = floor(0.2*2457600/20000 - 1) = 23 (the last deceleration time),
//   rdp = floor(24 * 19000 * 21000 / 3000 / 16384) = 194
INSTANTIATE_TEST_SUITE_P(
    Sections, SCurvePlan,
    ::testing::Values(SCase{"UpPure", 0, 0, 20000, 40000, {live(reg::kMaxSpeed, 40000), live(reg::kAccelRate, 11),
                                                           live(reg::kDecelRate, 11), live(reg::kRampDownPoint, 390)}},
                      SCase{"UpSections", 2000, 3000, 20000, 40000,
                            {live(reg::kMaxSpeed, 40000), live(reg::kAccelRate, 19), live(reg::kDecelRate, 20),
                             live(reg::kRampDownPoint, 394)}},
                      SCase{"DownPure", 0, 0, 40000, 20000,
                            {live(reg::kMaxSpeed, 20000), live(reg::kDecelRate, 23), live(reg::kRampDownPoint, 194)}}),
    [](const auto& tp) { return std::string(tp.param.name); });

TEST(SpeedChangePlan, ContinuousMovesNeedNoRoomAndRewriteOneRamp) {
    const RunningMove t{.curve = Curve::kTrapezoid, .positioning = false, .range = 299, .fl = 100};
    const RunningMove s{.curve = Curve::kSCurve, .positioning = false, .range = 299, .fl = 100, .s_accel = 50};
    EXPECT_EQ(live_writes(plan(t, 1000, 3000, 0.1)),
              (Writes{live(reg::kMaxSpeed, 3000), live(reg::kSAccelSection, 0), live(reg::kAccelRate, 244)}));
    EXPECT_EQ(live_writes(plan(t, 3000, 1000, 0.1)),
              (Writes{live(reg::kMaxSpeed, 1000), live(reg::kSDecelSection, 0), live(reg::kDecelRate, 244)}));
    EXPECT_EQ(live_writes(plan(s, 1000, 3000, 0.1)), (Writes{live(reg::kMaxSpeed, 3000), live(reg::kAccelRate, 121)}));
    EXPECT_EQ(plan(t, 1000, 65535, 100.0).room_needed, 0.0);
}

// A new speed of 0 units slows the move like any lower speed: the ramp over cur − 0, and on a
// positioning move no ramp-down left (the deceleration from 0 to FL is no distance).
TEST(SpeedChangePlan, NewSpeedZeroSlowsDownToIt) {
    const RunningMove t{.curve = Curve::kTrapezoid, .positioning = false, .range = 299, .fl = 100};
    EXPECT_EQ(live_writes(plan(t, 1000, 0, 0.1)), (Writes{live(reg::kMaxSpeed, 0), live(reg::kSDecelSection, 0),
                                                          live(reg::kDecelRate, 490)}));
    const SpeedChangePlan p = plan(kTPositioning, 1000, 0, 0.1);
    EXPECT_EQ(live_writes(p),
              (Writes{live(reg::kMaxSpeed, 0), live(reg::kSDecelSection, 0), live(reg::kDecelRate, 490),
                      live(reg::kRampDownPoint, 0)}));
    EXPECT_EQ(p.room_needed, 50.0);  // floor(1000 · 0.05 · 300 / 300)
}

TEST(SpeedChangePlan, ZeroTimeTakesTheSteepestRatesInsteadOfMinusOne) {
    const SpeedChangePlan up = plan(kTPositioning, 1000, 2000, 0.0);
    EXPECT_EQ(up.writes[2].second, 0u) << "acceleration rate";
    const SpeedChangePlan down = plan(kTPositioning, 2000, 1000, 0.0);
    EXPECT_EQ(down.writes[2].second, 1u) << "T-curve deceleration rate";
}

// ---- the exports on the virtual chip (range pinned at R = 299: 1 pps per unit) ----

class SpeedChange : public MotionTest {
protected:
    void SetUp() override {
        MotionTest::SetUp();
        ASSERT_EQ(quvex_fix_speed_range(0, 65535), 0);
    }
    static Writes change_writes() { return chip_writes(X); }
};

TEST_F(SpeedChange, ToTheCurrentOrStartSpeedRefusedWith29) {
    ASSERT_EQ(quvex_tv_move(0, 100, 1000, 0.1), 0);
    quvex_sim_advance(0.5);
    ASSERT_NEAR(motion(0).speed, 1000.0, 0.5);
    start_trace();
    EXPECT_EQ(quvex_v_change(0, 1000.04, 0.1), 29);
    EXPECT_EQ(quvex_v_change(0, -100.5, 0.1), 29);
    EXPECT_EQ(quvex_cmp_v_change(0, 0, 1000, 1000.9, 0.1), 29);
    EXPECT_TRUE(change_writes().empty());
}

TEST_F(SpeedChange, NewSpeedZeroIsAChangeLikeAnyOther) {
    start_trace();
    EXPECT_EQ(quvex_v_change(1, 0, 0.1), 29) << "an idle axis already runs at 0 units";
    EXPECT_EQ(quvex_cmp_v_change(1, 0, 0, 0, 0.1), 29);
    EXPECT_TRUE(chip_writes(Y).empty());

    ASSERT_EQ(quvex_tv_move(0, 100, 1000, 0.1), 0);
    quvex_sim_advance(0.5);
    start_trace();
    // DR = floor(0.1 · 4915200 / 1000 − 1) = 490.
    ASSERT_EQ(quvex_v_change(0, 0, 0.1), 0);
    ASSERT_EQ(quvex_cmp_v_change(0, 0, 1000, -0.0, 0.1), 0);
    EXPECT_EQ(change_writes(),
              (Writes{live(reg::kMaxSpeed, 0), live(reg::kSDecelSection, 0), live(reg::kDecelRate, 490),
                      buffered(reg::kMaxSpeed, 0), buffered(reg::kSDecelSection, 0), buffered(reg::kDecelRate, 490)}));
    ASSERT_EQ(quvex_emg_stop(0), 0);
}

// The 29 test sees the plain floor: a limit to the register's 1..65535 first would turn these
// changes into "the start speed" (1) and "the current speed" (65535).
TEST_F(SpeedChange, NewSpeedIsComparedBeforeAnyLimit) {
    ASSERT_EQ(quvex_tv_move(0, 0, 1000, 0.1), 0);  // FL 1
    quvex_sim_advance(0.5);
    start_trace();
    ASSERT_EQ(quvex_v_change(0, 0.5, 0.1), 0);
    ASSERT_EQ(quvex_cmp_v_change(0, 0, 65535, 70000, 0.1), 0);
    const Writes writes = change_writes();
    ASSERT_EQ(writes.size(), 6u);
    EXPECT_EQ(writes[0], live(reg::kMaxSpeed, 0));
    EXPECT_EQ(writes[3], buffered(reg::kMaxSpeed, 70000));
    ASSERT_EQ(quvex_emg_stop(0), 0);
}

TEST_F(SpeedChange, ContinuousMoveNeverLacksRoom) {
    ASSERT_EQ(quvex_tv_move(0, 100, 1000, 0.1), 0);
    quvex_sim_advance(0.5);
    start_trace();
    ASSERT_EQ(quvex_v_change(0, 60000, 50.0), 0);
    const auto ur = static_cast<std::uint32_t>(std::floor(50.0 * 4915200 / 59000 - 1));
    EXPECT_EQ(change_writes(),
              (Writes{live(reg::kMaxSpeed, 60000), live(reg::kSAccelSection, 0), live(reg::kAccelRate, ur)}));
}

TEST_F(SpeedChange, PositioningMoveWithoutRoomRefusedWith16) {
    ASSERT_EQ(quvex_start_tr_move(0, 3000, 100, 1000, 0.1, 0.1), 0);
    quvex_sim_advance(0.5);
    start_trace();
    EXPECT_EQ(quvex_v_change(0, 20000, 1.0), 16);
    // The current speed first, the remaining pulses only once the change is planned.
    EXPECT_EQ(read_codes(X), (std::vector<unsigned>{reg::kReadCurrentSpeed, reg::kReadRemainingPulses}));
    EXPECT_EQ(quvex_cmp_v_change(0, 0, 1000, 20000, 1.0), 16);
    EXPECT_TRUE(change_writes().empty());
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(motion(0).command_counter, 3000);
}

TEST_F(SpeedChange, PreparedChangeGoesToTheBufferedBankExceptOnSCurvePositioning) {
    ASSERT_EQ(quvex_tv_move(0, 100, 1000, 0.1), 0);
    start_trace();
    ASSERT_EQ(quvex_cmp_v_change(0, 0, 1000, 2000, 0.1), 0);
    EXPECT_EQ(change_writes().front(), buffered(reg::kMaxSpeed, 2000));
    ASSERT_EQ(quvex_emg_stop(0), 0);

    ASSERT_EQ(quvex_start_sr_move(0, 100000, 100, 1000, 0.1, 0.1, 0, 0), 0);
    start_trace();
    EXPECT_EQ(quvex_cmp_v_change(0, 10, 1000, 2000, 0.1), 16) << "checked against the caller's distance";
    ASSERT_EQ(quvex_cmp_v_change(0, 50000, 1000, 2000, 0.1), 0);
    EXPECT_EQ(change_writes().front(), live(reg::kMaxSpeed, 2000));
}

TEST_F(SpeedChange, RefusalsBeforeAnyRead) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    start_trace();
    EXPECT_EQ(quvex_v_change(99, 1000, 0.1), 30);
    EXPECT_EQ(quvex_v_change(0, std::numeric_limits<double>::infinity(), 0.1), 11);
    EXPECT_EQ(quvex_cmp_v_change(0, 100, 100, nan, 0.1), 11);
    EXPECT_EQ(quvex_v_change(0, 1000, nan), 11);
    EXPECT_EQ(quvex_cmp_v_change(0, 100, nan, 1000, 0.1), 11);
    EXPECT_EQ(quvex_cmp_v_change(0, nan, 100, 1000, 0.1), 13);
    EXPECT_TRUE(card_events().empty());
}

struct LiveCase {
    const char* name;
    double new_vel;
};

class SpeedChangeInFlight : public SpeedChange, public ::testing::WithParamInterface<LiveCase> {};

// 100 000 pulses at 10 000 pps; the change lands after a second, well before the ramp-down.
TEST_P(SpeedChangeInFlight, ReachesTheNewSpeedAndEndsOnTarget) {
    const LiveCase c = GetParam();
    ASSERT_EQ(quvex_start_tr_move(0, 100000, 100, 10000, 0.1, 0.1), 0);
    quvex_sim_advance(1.0);
    ASSERT_EQ(quvex_v_change(0, c.new_vel, 0.2), 0);
    quvex_sim_advance(0.4);
    EXPECT_NEAR(motion(0).speed, c.new_vel, 1.0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(motion(0).command_counter, 100000);
}

INSTANTIATE_TEST_SUITE_P(UpAndDown, SpeedChangeInFlight,
                         ::testing::Values(LiveCase{"Raised", 20000}, LiveCase{"Lowered", 4000}),
                         [](const auto& tp) { return std::string(tp.param.name); });

}  // namespace
}  // namespace quvex::test
