// The move plan on its own, with no card: register order of the emit step, the speed-range
// tables and register limits of each chip's units, and invariants over generated moves.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "motion/move_plan.h"
#include "motion/speed_checks.h"

namespace quvex::test {
namespace {

using motion::Curve;
using motion::MovePlan;
using motion::MoveRequest;
using motion::SpeedUnits;

class RecordingSink final : public chip::RegisterSink {
public:
    void write(chip::OperationRegister n, std::uint32_t value) override { writes.emplace_back(n, value); }
    std::vector<unsigned> registers() const {
        std::vector<unsigned> out;
        for (const auto& w : writes) out.push_back(w.first);
        return out;
    }
    std::vector<std::pair<unsigned, std::uint32_t>> writes;
};

TEST(MovePlanEmit, PositioningOrderOfEachCurve) {
    const MoveRequest t{.curve = Curve::kTrapezoid, .amount = 500, .str_vel = 100, .max_vel = 10000, .tacc = 0.1,
                        .tdec = 0.1, .ramp_down_point = true, .pinned_range = 299};
    RecordingSink t_sink;
    motion::emit_move(motion::plan_move(motion::kLocalChipUnits, t), t_sink);
    // The short T-curve of 500 pulses: FH 10000 lowered to 7082, ramp-down point 249.
    EXPECT_EQ(t_sink.writes, (std::vector<std::pair<unsigned, std::uint32_t>>{
                                 {0, 500}, {5, 299}, {2, 10000}, {1, 100}, {3, 48}, {4, 48}, {2, 7082}, {6, 249}}));

    MoveRequest s = t;
    s.curve = Curve::kSCurve;
    RecordingSink s_sink;
    motion::emit_move(motion::plan_move(motion::kLocalChipUnits, s), s_sink);
    EXPECT_EQ(s_sink.registers(), (std::vector<unsigned>{0, 5, 2, 1, 9, 3, 10, 4, 2, 6}));
}

// ---- each chip's units: table edges and the tie at the top of the speed registers ----

struct RangeCase {
    const char* name;
    const SpeedUnits* units;
    double max_vel;
    std::uint32_t range;
};

class SpeedRangeTable : public ::testing::TestWithParam<RangeCase> {};

TEST_P(SpeedRangeTable, PicksTheFinestRangeThatHoldsTheSpeed) {
    const RangeCase& c = GetParam();
    EXPECT_EQ(motion::plan_speeds(*c.units, 0, c.max_vel, std::nullopt).range, c.range);
}

INSTANTIATE_TEST_SUITE_P(
    ByUnits, SpeedRangeTable,
    ::testing::Values(RangeCase{"card_6553_5", &motion::kLocalChipUnits, 6553.5, 2999},
                      RangeCase{"card_6553_6", &motion::kLocalChipUnits, 6553.6, 1499},
                      RangeCase{"card_zero", &motion::kLocalChipUnits, 0, 2999},
                      RangeCase{"one_axis_10000", &motion::kOneAxisModuleUnits, 10000, 1999},
                      RangeCase{"one_axis_10001", &motion::kOneAxisModuleUnits, 10001, 999},
                      RangeCase{"one_axis_top", &motion::kOneAxisModuleUnits, 6e6, 2},
                      RangeCase{"four_axis_16383", &motion::kFourAxisModuleUnits, 16383, 1199},
                      RangeCase{"four_axis_16384", &motion::kFourAxisModuleUnits, 16384, 599},
                      RangeCase{"four_axis_top", &motion::kFourAxisModuleUnits, 9e6, 1}),
    [](const ::testing::TestParamInfo<RangeCase>& p) { return std::string(p.param.name); });

TEST(SpeedUnitsTie, EqualSpeedsAtTheTopTakeTheUnitsStartSpeed) {
    for (const SpeedUnits* u : {&motion::kLocalChipUnits, &motion::kOneAxisModuleUnits, &motion::kFourAxisModuleUnits}) {
        const motion::SpeedRegisters s = motion::plan_speeds(*u, 1e9, 1e9, u->max_range);
        EXPECT_EQ(s.fh, u->max_speed);
        EXPECT_EQ(s.fl, u->top_tie_start);
    }
}

// ---- invariants over generated moves, in every units set ----

class PlanProperties : public ::testing::TestWithParam<const SpeedUnits*> {};

// Pulses of a ramp from fl up to fh at `rate`: linear, or pure S (twice as long).
double ramp_pulses(const SpeedUnits& u, Curve curve, double fh, double fl, double rate, double m) {
    const double scale = curve == Curve::kSCurve ? u.pure_s_ramp_scale() : u.linear_ramp_scale;
    return (fh + fl) * (fh - fl) * (rate + 1) / (scale * m);
}

TEST_P(PlanProperties, RegistersWithinLimitsPeakWithinRequestAndBothRampsFit) {
    const SpeedUnits& u = *GetParam();
    std::mt19937 rng(20261206);
    auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    for (int i = 0; i < 20000; ++i) {
        MoveRequest q;
        q.curve = i % 2 == 0 ? Curve::kTrapezoid : Curve::kSCurve;  // S-curves without sections: pure S ramps
        q.amount = std::trunc(std::exp(uniform(0, std::log(1e7)))) * (i % 3 == 0 ? -1 : 1);
        q.max_vel = std::exp(uniform(0, std::log(2e7)));
        q.str_vel = uniform(0, 0.6) * q.max_vel;
        q.tacc = uniform(0, 1);
        q.tdec = uniform(0, 1);
        q.ramp_down_point = true;
        const MovePlan p = motion::plan_move(u, q);
        const motion::RampRates& r = p.rates();
        SCOPED_TRACE(::testing::Message() << i << " amount " << q.amount << " str " << q.str_vel << " max "
                                          << q.max_vel << " tacc " << q.tacc << " tdec " << q.tdec);

        ASSERT_GE(p.speeds.range, u.min_range);
        ASSERT_LE(p.speeds.range, u.max_range);
        for (std::uint32_t speed : {p.speeds.fh, p.speeds.fl, p.peak}) {
            ASSERT_GE(speed, 1u);
            ASSERT_LE(speed, u.max_speed);
        }
        ASSERT_LE(r.accel, u.max_rate);
        ASSERT_LE(r.decel, u.max_rate);
        if (q.curve == Curve::kTrapezoid) {
            ASSERT_GE(r.decel, 1u);
        }
        ASSERT_LE(p.ramp_down_point, u.max_ramp_down_point);

        // The peak never exceeds the request, apart from the one unit of the tie-break (and a
        // request below one unit, which still runs at one).
        const double m = SpeedUnits::multiplier(p.speeds.range);
        const double unit = u.unit_numerator / m;
        ASSERT_LE(p.peak, p.speeds.fh);
        ASSERT_LE(p.peak * unit, std::max(q.max_vel, unit) + unit + 1e-9);

        // Acceleration and deceleration at the planned peak fit the move, and so the
        // deceleration starts within it.
        const double pulses = std::fabs(static_cast<double>(p.move_amount));
        const double up = ramp_pulses(u, q.curve, p.peak, p.speeds.fl, r.accel, m);
        const double down = ramp_pulses(u, q.curve, p.peak, p.speeds.fl, r.decel, m);
        ASSERT_LE(up + down, pulses * (1 + 1e-9) + 1e-6);
        ASSERT_LE(p.ramp_down_point, pulses);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryChip, PlanProperties,
                         ::testing::Values(&motion::kLocalChipUnits, &motion::kOneAxisModuleUnits,
                                           &motion::kFourAxisModuleUnits));

// ---- the S-curve reach check ----

// A pass that changes neither section still recomputes the rates from the lowered peak: the
// loop goes on until its pass counter ends it.
TEST(SReach, LoopEndsByItsPassCounterNotByAnUnchangedPass) {
    const motion::SReach reach = motion::check_s_vel(705, 1130, 6216, 0.39, 0.96, 268, 0);
    EXPECT_NEAR(reach.max_vel, 1598.6, 0.05);
    EXPECT_EQ(reach.sv_acc, 268.0);
    EXPECT_EQ(reach.sv_dec, 0.0);
}

}  // namespace
}  // namespace quvex::test
