// Absolute arcs measure centre and end from where their pair stands: each absolute form writes
// the amounts of the relative arc of the differences, on the same pair, and takes the absolute
// end as the pair's new targets. One row per family and axes form.
#include <functional>

#include "card/card_table.h"
#include "line_support.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {

using ArcStart = std::function<quvex_status(double cx, double cy, double ex, double ey)>;

struct ReferenceCase {
    const char* name;
    int16_t first, second;  // the pair's axes on card 0
    ArcStart relative;
    ArcStart absolute;
};

const int16_t kPairXU[2] = {0, 3};

class AbsoluteArc : public CardTest, public ::testing::WithParamInterface<ReferenceCase> {
protected:
    struct Amounts {
        std::uint32_t move[2];
        std::uint32_t aux[2];
    };
    Amounts amounts() const {
        const ReferenceCase& c = GetParam();
        return {{chip_register(c.first, 0x80), chip_register(c.second, 0x80)},
                {chip_register(c.first, 0x88), chip_register(c.second, 0x88)}};
    }
};

TEST_P(AbsoluteArc, MeasuresFromWhereThePairStands) {
    const ReferenceCase& c = GetParam();
    // The relative arc about (100, -40) to (200, 60), run from where the axes stand (0, 0).
    ASSERT_EQ(c.relative(100, -40, 200, 60), QUVEX_OK);
    const Amounts relative = amounts();

    // The same arc from (30, -20): its absolute centre (130, -60) and end (230, 40).
    ASSERT_EQ(quvex_set_position(c.first, 30), QUVEX_OK);
    ASSERT_EQ(quvex_set_position(c.second, -20), QUVEX_OK);
    ASSERT_EQ(c.absolute(130, -60, 230, 40), QUVEX_OK);
    const Amounts absolute = amounts();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(absolute.move[i], relative.move[i]) << "move amount of axis " << i;
        EXPECT_EQ(absolute.aux[i], relative.aux[i]) << "centre amount of axis " << i;
    }
    EXPECT_EQ(axis_record(c.first).target_pos, 230);
    EXPECT_EQ(axis_record(c.second).target_pos, 40);
}

INSTANTIATE_TEST_SUITE_P(
    Families, AbsoluteArc,
    ::testing::Values(
        ReferenceCase{"constant_xy", 0, 1,
                      [](double cx, double cy, double ex, double ey) {
                          return quvex_start_r_arc_xy(0, cx, cy, ex, ey, 0, 1000);
                      },
                      [](double cx, double cy, double ex, double ey) {
                          return quvex_start_a_arc_xy(0, cx, cy, ex, ey, 0, 1000);
                      }},
        ReferenceCase{"constant_given_pair", 0, 3,
                      [](double cx, double cy, double ex, double ey) {
                          return quvex_start_r_arc2(0, kPairXU, cx, cy, ex, ey, 1, 1000);
                      },
                      [](double cx, double cy, double ex, double ey) {
                          return quvex_start_a_arc2(0, kPairXU, cx, cy, ex, ey, 1, 1000);
                      }},
        ReferenceCase{"trapezoid_zu", 2, 3,
                      [](double cx, double cy, double ex, double ey) {
                          return quvex_start_tr_arc_zu(0, cx, cy, ex, ey, 0, 100, 1000, 0.1, 0.2);
                      },
                      [](double cx, double cy, double ex, double ey) {
                          return quvex_start_ta_arc_zu(0, cx, cy, ex, ey, 0, 100, 1000, 0.1, 0.2);
                      }},
        ReferenceCase{"s_curve_given_pair", 0, 3,
                      [](double cx, double cy, double ex, double ey) {
                          return quvex_start_sr_arc2(0, kPairXU, cx, cy, ex, ey, 1, 100, 1000, 0.1, 0.1, 0, 0);
                      },
                      [](double cx, double cy, double ex, double ey) {
                          return quvex_start_sa_arc2(0, kPairXU, cx, cy, ex, ey, 1, 100, 1000, 0.1, 0.1, 0, 0);
                      }}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quvex::test
