// Origin operations: the kind and direction, the registers and the start command each writes,
// and the refusals.
#include <cmath>
#include <cstdio>
#include <limits>

#include "motion_fixture.h"
#include "quvex/quvex.h"

namespace quvex::test {
namespace {

// The start-up operation mode keeps its high half (bit 27); bit 26 stays clear for an origin
// operation, and so does bit 13.
constexpr std::uint32_t kModeHigh = startup::kOperationMode;
// The chip's origin operation kinds, + and - direction.
constexpr std::uint32_t kHomeReturnPlus = 0x10, kHomeReturnMinus = 0x18;
constexpr std::uint32_t kEscapeHomePlus = 0x12, kEscapeHomeMinus = 0x1A;
constexpr std::uint32_t kHomeSearchPlus = 0x15, kHomeSearchMinus = 0x1D;

// -5000 pps at R = 2999: FH 50000, FL 5000, rates over 45000 units in 0.2 s, correction 250 pps.
TEST_F(MotionTest, HomeReturnWithARampWritesItsKindProfileCorrectionAndFullStart) {
    start_trace();
    ASSERT_EQ(quvex_home_move(0, 500, -5000, 0.2), 0);
    const std::uint32_t rate = static_cast<std::uint32_t>(std::floor(0.2 * 4915200 / 45000 - 1));
    EXPECT_EQ(chip_writes(X),
              (Writes{X.write(reg::kOperationMode, kModeHigh | kHomeReturnMinus), X.write(reg::kMoveAmount, 10000),
                      X.write(reg::kSpeedRange, 2999), X.write(reg::kMaxSpeed, 50000),
                      X.write(reg::kStartSpeed, 5000), X.write(reg::live(reg::kCorrectionSpeed), 2500),
                      X.write(reg::kAccelRate, rate), X.write(reg::kDecelRate, rate), X.command(cmd::kStartRamped)}));
}

// Equal speeds: the start speed is the range's lowest (1 pps = 10 units), no rates, run at the
// maximum; the correction speed is half the maximum (500 pps = 5000 units).
TEST_F(MotionTest, HomeReturnAtEqualSpeedsRunsAtTheMaximumWithoutRates) {
    start_trace();
    ASSERT_EQ(quvex_home_move(0, 1000, 1000, 0.1), 0);
    EXPECT_EQ(chip_writes(X),
              (Writes{X.write(reg::kOperationMode, kModeHigh | kHomeReturnPlus), X.write(reg::kMoveAmount, 10000),
                      X.write(reg::kSpeedRange, 2999), X.write(reg::kMaxSpeed, 10000), X.write(reg::kStartSpeed, 10),
                      X.write(reg::live(reg::kCorrectionSpeed), 5000), X.command(cmd::kStartAtMaxSpeed)}));
}

struct HomeCase {
    const char* name;
    int (*start)(double str_vel, double max_vel);
    double str_vel;
    double max_vel;
    std::uint32_t kind;
    std::uint32_t amount;
    unsigned command;
};

int home_return(double s, double m) { return quvex_home_move(1, s, m, 0.1); }
int escape(double s, double m) { return quvex_escape_home(1, s, m, 0.1); }
int search_back_300(double s, double m) { return quvex_home_search(1, s, m, 0.1, -300); }
int search_ahead_750(double s, double m) { return quvex_home_search(1, s, m, 0.1, 750.9); }

class HomeKinds : public MotionTest, public ::testing::WithParamInterface<HomeCase> {};

TEST_P(HomeKinds, KindByDirectionAmountAndStartCommand) {
    const HomeCase c = GetParam();
    start_trace();
    ASSERT_EQ(c.start(c.str_vel, c.max_vel), 0);
    const Writes writes = chip_writes(Y);
    ASSERT_GE(writes.size(), 3u);
    EXPECT_EQ(writes[0], Y.write(reg::kOperationMode, kModeHigh | c.kind));
    EXPECT_EQ(writes[1], Y.write(reg::kMoveAmount, c.amount));
    EXPECT_EQ(writes.back(), Y.command(c.command));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, HomeKinds,
    ::testing::Values(
        HomeCase{"ReturnPlus", home_return, 100, 2000, kHomeReturnPlus, 10000, cmd::kStartRamped},
        HomeCase{"ReturnMinusStartOfOtherSign", home_return, 2000, -2000, kHomeReturnMinus, 10000, cmd::kStartRamped},
        HomeCase{"EscapePlusRamped", escape, 100, 2000, kEscapeHomePlus, 10000, cmd::kStartAtStartSpeed},
        HomeCase{"EscapeMinusConstant", escape, -800, -800, kEscapeHomeMinus, 10000, cmd::kStartAtStartSpeed},
        HomeCase{"SearchMinusOffsetIsTheAmount", search_back_300, 100, -2000, kHomeSearchMinus,
                 static_cast<std::uint32_t>(-300), cmd::kStartRamped},
        HomeCase{"SearchPlusConstantTruncatesTheOffset", search_ahead_750, 900, 900, kHomeSearchPlus, 750,
                 cmd::kStartAtMaxSpeed}),
    [](const auto& tp) { return std::string(tp.param.name); });

TEST_F(MotionTest, HomeRefusalsWriteNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    start_trace();
    EXPECT_EQ(quvex_home_move(0, 100, 0, 0.1), 11) << "no direction and no speed range";
    EXPECT_EQ(quvex_home_move(99, 100, 0, 0.1), 11) << "the speed comes before the axis";
    EXPECT_EQ(quvex_escape_home(99, 100, 1000, 0.1), 30);
    EXPECT_EQ(quvex_escape_home(0, nan, 1000, 0.1), 11);
    EXPECT_EQ(quvex_home_search(0, 100, inf, 0.1, 10), 11);
    EXPECT_EQ(quvex_home_search(0, 100, 1000, inf, 10), 11);
    EXPECT_EQ(quvex_home_search(0, 100, 1000, 0.1, nan), 13);
    EXPECT_TRUE(card_events().empty());
}

}  // namespace
}  // namespace quvex::test
