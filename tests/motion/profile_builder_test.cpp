// The shared profile builder with each of its users' units and rules: the same request gives
// each chip kind its own register words, and a rule wired to the wrong user shows as a wrong word.
#include <gtest/gtest.h>

#include <optional>

#include "modules/four_axis_profile.h"
#include "modules/one_axis_profile.h"
#include "motion/profile_builder.h"

namespace quvex::test {
namespace {

using motion::Curve;

struct Words {
    std::uint32_t range, fh, fl, accel, decel, section;
};

struct Row {
    const char* name;
    Curve curve;
    double str_vel, max_vel;
    double card_time, one_axis_time, four_axis_time;  // tacc = tdec
    double sv;                                        // sv_acc = sv_dec
    Words card, one_axis, four_axis;
};

// 0 to 1000 pps: the card at R 2999 and the one-axis module at R 1999 count 0.1 pps a unit (FH
// 10000, FL 10 from the lowest start of 1 pps), the four-axis module at R 3999 0.3 pps (FH 3333,
// FL ceil(1 / 0.3) = 4). A rate is floor(t · clock / span - 1) with clock / span = 4915200 / 9990,
// 5000000 / 9990 and 9830400 / 3329; an S section is floor(sv / unit).
constexpr double kCardQuotient1_5 = 1.5 * 9990 / 4915200.0;  // times whose rate floors to 0
constexpr double kOneAxisQuotient1_5 = 1.5 * 9990 / 5000000.0;
constexpr double kFourAxisQuotient1_5 = 1.5 * 3329 / 9830400.0;

const Row kRows[] = {
    // floor(-1): the card's acceleration keeps 0, its deceleration and both module rates take 1.
    {"zero ramp times", Curve::kTrapezoid, 0, 1000, 0, 0, 0, 0,
     {2999, 10000, 10, 0, 1, 0}, {1999, 10000, 10, 1, 1, 0}, {3999, 3333, 4, 1, 1, 0}},
    // floor(0.5) = 0: kept by the modules, raised to 1 by the card's deceleration.
    {"rates that floor to 0", Curve::kTrapezoid, 0, 1000, kCardQuotient1_5, kOneAxisQuotient1_5,
     kFourAxisQuotient1_5, 0, {2999, 10000, 10, 0, 1, 0}, {1999, 10000, 10, 0, 0, 0}, {3999, 3333, 4, 0, 0, 0}},
    // sv 0: pure S at half the clock (card 0.1 · 2457600 / 9990 - 1, four-axis 0.1 · 4915200 / 3329 - 1);
    // the one-axis module takes section 1 and ramps linearly (0.1 · 5000000 / 9990 - 1).
    {"no section", Curve::kSCurve, 0, 1000, 0.1, 0.1, 0.1, 0,
     {2999, 10000, 10, 23, 23, 0}, {1999, 10000, 10, 49, 49, 1}, {3999, 3333, 4, 146, 146, 0}},
    // sv 100: sections 1000, 1000, 333; the span widens by twice the section on the card
    // (491520 / 11990 - 1) and the one-axis module (500000 / 11990 - 1), not on the four-axis one.
    {"section of 100 pps", Curve::kSCurve, 0, 1000, 0.1, 0.1, 0.1, 100,
     {2999, 10000, 10, 39, 39, 1000}, {1999, 10000, 10, 40, 40, 1000}, {3999, 3333, 4, 294, 294, 333}},
    // sv 600 is over half the 999 pps change: pure S on the one-axis module only (250000 / 9990 - 1).
    {"section over half the change", Curve::kSCurve, 0, 1000, 0.1, 0.1, 0.1, 600,
     {2999, 10000, 10, 21, 21, 6000}, {1999, 10000, 10, 24, 24, 0}, {3999, 3333, 4, 294, 294, 2000}},
    // A long S ramp: the four-axis module's S rates run to 65535 where its T rates stop at 16383.
    {"long S ramp", Curve::kSCurve, 0, 1000, 1000, 1000, 1000, 100,
     {2999, 10000, 10, 65535, 65535, 1000}, {1999, 10000, 10, 65535, 65535, 1000},
     {3999, 3333, 4, 65535, 65535, 333}},
    // Both speeds above the registers at the coarsest range: the card breaks the tie at its top
    // with FL 65534, the one-axis module sends FL 500; the four-axis module still counts them
    // (R 1: 8e6 / 600 and 7e6 / 600 rounded up).
    {"start above the top", Curve::kTrapezoid, 7e6, 8e6, 0.1, 0.1, 0.1, 0,
     {2, 65535, 65534, 65535, 65535, 0}, {2, 100000, 500, 4, 4, 0}, {1, 13333, 11667, 589, 589, 0}},
    // A start above the maximum: only the four-axis module raises FH to FL (3334), then breaks
    // the tie; elsewhere the span is negative and the rates take their floors.
    {"start above the maximum", Curve::kTrapezoid, 1000, 999, 0.1, 0.1, 0.1, 0,
     {2999, 9990, 10000, 0, 1, 0}, {1999, 9990, 10000, 1, 1, 0}, {3999, 3335, 3334, 16383, 16383, 0}},
};

motion::Profile build(const motion::ProfileBuilder& b, const Row& r, double t) {
    if (r.curve == Curve::kSCurve) return b.s_profile(r.str_vel, r.max_vel, t, t, r.sv, r.sv, std::nullopt);
    return b.t_profile(r.str_vel, r.max_vel, t, t, std::nullopt);
}

void expect_words(const motion::Profile& p, const Words& w) {
    EXPECT_EQ(p.speeds.range, w.range);
    EXPECT_EQ(p.speeds.fh, w.fh);
    EXPECT_EQ(p.speeds.fl, w.fl);
    EXPECT_EQ(p.rates.accel, w.accel);
    EXPECT_EQ(p.rates.decel, w.decel);
    EXPECT_EQ(p.rates.s_accel, w.section);
    EXPECT_EQ(p.rates.s_decel, w.section);
}

TEST(ProfileBuilder, EachUserWritesItsOwnWordsForTheSameRequest) {
    const motion::ProfileBuilder card(chip::kLocalChipUnits);
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.name);
        {
            SCOPED_TRACE("card");
            expect_words(build(card, r, r.card_time), r.card);
        }
        {
            SCOPED_TRACE("one-axis module");
            expect_words(build(modules::m1::kProfile, r, r.one_axis_time), r.one_axis);
        }
        {
            SCOPED_TRACE("four-axis module");
            expect_words(build(modules::m4::kProfile, r, r.four_axis_time), r.four_axis);
        }
    }
}

}  // namespace
}  // namespace quvex::test
