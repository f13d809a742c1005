// The closed forms of the ramps: step times, their sums and their inverse agree with the step
// times taken one by one, on every part of linear, pure S and sectioned S ramps.
#include <cmath>

#include <gtest/gtest.h>

#include "../../sim/chip/motion_ramp.h"

namespace quvex::test {
namespace {

struct Shape {
    const char* name;
    int steps;
    bool s_curve;
    std::uint32_t section;
};

class RampForms : public ::testing::TestWithParam<Shape> {};

TEST_P(RampForms, SumsAndInverseMatchTheStepTimes) {
    const Shape p = GetParam();
    const qsim::Ramp r = qsim::make_ramp(qsim::kCardChipUnits, 100, p.steps, +1, 49, p.s_curve, p.section, 0);
    double sum = 0;
    for (int k = 1; k <= r.steps; ++k) {
        const double t = r.step_offset(k);
        ASSERT_GT(t, r.step_offset(k - 1)) << "steps in order, k = " << k;
        sum += t;
        ASSERT_NEAR(r.offset_sum(k), sum, 1e-12 * std::max(1.0, sum)) << "k = " << k;
        ASSERT_EQ(r.steps_by(t), k) << "k = " << k;
        ASSERT_EQ(r.steps_by(t - 1e-12), k - 1) << "k = " << k;
    }
    EXPECT_EQ(r.steps_by(r.duration() + 1), r.steps);
}

INSTANTIATE_TEST_SUITE_P(Shapes, RampForms,
                         ::testing::Values(Shape{"linear", 5000, false, 0}, Shape{"pure_s_even", 5000, true, 0},
                                           Shape{"pure_s_odd", 4999, true, 0}, Shape{"sections", 5000, true, 700},
                                           Shape{"section_too_wide", 300, true, 200}),
                         [](const ::testing::TestParamInfo<Shape>& i) { return std::string(i.param.name); });

TEST(SqrtSum, AgreesWithTheSumAcrossTheTableEdge) {
    double sum = 0;
    for (int k = 1; k <= 100000; ++k) {
        sum += std::sqrt(static_cast<double>(k));
        if (k < 40 || k % 997 == 0) {
            ASSERT_NEAR(qsim::sqrt_sum(k), sum, 1e-12 * sum) << "k = " << k;
        }
    }
}

}  // namespace
}  // namespace quvex::test
