// The virtual chip's origin operations driven through the library: each home mode in both
// directions ends on its home point with the counters at 0, the escape leaves the origin switch,
// the search moves its offset from the home point, a missing sensor lets the run limit end the
// move, and the home end pulses the deviation-clear output.
#include <algorithm>
#include <string>
#include <vector>

#include "motion_fixture.h"
#include "quvex/quvex.h"

namespace quvex::test {
namespace {

// Origin switch on places 3000..3199; index pulses at 120 + k * 500.
constexpr std::int32_t kOrigin = 3000, kOriginWidth = 200;
constexpr std::int32_t kIndexPeriod = 500, kIndexOffset = 120;

class HomeTest : public MotionTest {
protected:
    void SetUp() override {
        MotionTest::SetUp();
        ASSERT_EQ(quvex_sim_set_origin(0, 0, kOrigin, kOriginWidth), 0);
        ASSERT_EQ(quvex_sim_set_index(0, 0, kIndexPeriod, kIndexOffset), 0);
    }
    static std::int64_t place() {
        std::int64_t p = 0;
        EXPECT_EQ(quvex_sim_axis_place(0, 0, &p), 0);
        return p;
    }
    // Puts the axis at a place with an ordinary move.
    static void move_to(std::int32_t where) {
        if (where == place()) return;
        ASSERT_EQ(quvex_start_tr_move(0, static_cast<double>(where - place()), 100, 8000, 0.05, 0.05), 0);
        ASSERT_TRUE(run_until_stopped(0));
        ASSERT_EQ(place(), where);
    }
    static void configure(int mode, bool correction, int count, bool erc = false) {
        ASSERT_EQ(quvex_set_home_config(0, static_cast<int16_t>(mode), correction ? 1 : 0, 0,
                                        static_cast<int16_t>(count), erc ? 1 : 0),
                  0);
    }
    // The command counter's range over the samples taken before the move ended (the home end
    // sets the counters to 0).
    static std::pair<std::int32_t, std::int32_t> sampled_range() {
        const double ended = motion(0).ended_at;
        std::vector<quvex_sim_motion_sample> samples(200000);
        const int n = quvex_sim_motion_samples(0, 0, samples.data(), static_cast<int>(samples.size()));
        std::int32_t lo = INT32_MAX, hi = INT32_MIN;
        for (int k = 0; k < std::min(n, static_cast<int>(samples.size())); ++k) {
            if (samples[k].time >= ended) break;
            lo = std::min(lo, samples[k].position);
            hi = std::max(hi, samples[k].position);
        }
        return {lo, hi};
    }
};

struct ModeCase {
    const char* name;
    int mode;        // 0 origin, 1 origin then index count, 2 index only
    int count;
    int direction;   // sign of max_vel
    std::int32_t start;
    bool correction;
    std::int64_t home_point;
};

class HomeModes : public HomeTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(HomeModes, EndOnTheHomePointWithTheCountersAtZero) {
    const ModeCase c = GetParam();
    move_to(c.start);
    configure(c.mode, c.correction, c.count);
    ASSERT_EQ(quvex_sim_sample_motion(0, 0, 0.0005), 0);
    ASSERT_EQ(quvex_home_move(0, 500, c.direction * 6000.0, 0.1), 0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(place(), c.home_point);
    EXPECT_EQ(motion(0).command_counter, 0);
    EXPECT_EQ(motion(0).position_counter, 0);
    EXPECT_EQ(motion(0).stop_reason, 0u);
    // With the correction phase the axis ran past the home point and came back to it.
    const auto [lo, hi] = sampled_range();
    const std::int64_t beyond = c.direction > 0 ? hi - c.home_point : c.home_point - lo;
    if (c.correction) {
        EXPECT_GT(beyond, 0);
    } else {
        EXPECT_LE(beyond, 0);
    }
}

// From 0 going +: origin on at 3000; indexes after it 3120, 3620; from the start 120, 620, 1120.
// From 6000 going -: origin on at 3199; indexes before it 3120, 2620; from the start 5620, 5120, 4620.
INSTANTIATE_TEST_SUITE_P(
    ModesAndDirections, HomeModes,
    ::testing::Values(ModeCase{"OriginPlus", 0, 0, +1, 0, false, 3000},
                      ModeCase{"OriginMinus", 0, 0, -1, 6000, false, 3199},
                      ModeCase{"OriginPlusCorrected", 0, 0, +1, 0, true, 3000},
                      ModeCase{"OriginMinusCorrected", 0, 0, -1, 6000, true, 3199},
                      ModeCase{"OriginThenSecondIndexPlus", 1, 2, +1, 0, false, 3620},
                      ModeCase{"OriginThenSecondIndexMinus", 1, 2, -1, 6000, true, 2620},
                      ModeCase{"OriginThenIndexCountZeroIsOne", 1, 0, +1, 0, true, 3120},
                      ModeCase{"ThirdIndexPlus", 2, 3, +1, 0, true, 1120},
                      ModeCase{"ThirdIndexMinus", 2, 3, -1, 6000, false, 4620},
                      ModeCase{"OnTheOriginAlready", 0, 0, +1, 3100, false, 3100}),
    [](const auto& tp) { return std::string(tp.param.name); });

TEST_F(HomeTest, WithoutItsSensorTheReturnRunsItsAmountOut) {
    configure(2, false, 1);
    ASSERT_EQ(quvex_sim_set_index(0, 0, 0, 0), 0);
    ASSERT_EQ(quvex_home_move(0, 500, 6000, 0.1), 0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(place(), 10000);
    EXPECT_EQ(motion(0).command_counter, 10000) << "no home end: the counters go on counting";

    configure(0, false, 0);
    ASSERT_EQ(quvex_home_move(0, 500, 6000, 0.1), 0) << "the origin lies behind the axis now";
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(place(), 20000);
}

struct EscapeCase {
    const char* name;
    std::int32_t start;
    int direction;
    std::int64_t end;
};

class Escape : public HomeTest, public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(Escape, StopsOnTheFirstPlaceOffTheOrigin) {
    const EscapeCase c = GetParam();
    move_to(c.start);
    ASSERT_EQ(quvex_escape_home(0, 300, c.direction * 2000.0, 0.1), 0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(place(), c.end);
    EXPECT_EQ(motion(0).command_counter, c.end) << "an escape leaves the counters";
    std::uint16_t io = 0;
    ASSERT_EQ(quvex_get_io_status(0, &io), 0);
    EXPECT_EQ(io & 0x2, 0) << "origin input off";
}

INSTANTIATE_TEST_SUITE_P(BothWays, Escape,
                         ::testing::Values(EscapeCase{"Plus", 3100, +1, 3200}, EscapeCase{"Minus", 3100, -1, 2999},
                                           EscapeCase{"OffTheOriginAlready", 1000, +1, 1000}),
                         [](const auto& tp) { return std::string(tp.param.name); });

struct SearchCase {
    const char* name;
    bool correction;
    double offset;
};

class SearchOffset : public HomeTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(SearchOffset, MovesTheOffsetFromTheHomePoint) {
    const SearchCase c = GetParam();
    configure(0, c.correction, 0);
    ASSERT_EQ(quvex_home_search(0, 500, 6000, 0.1, c.offset), 0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(place(), kOrigin + static_cast<std::int64_t>(c.offset));
    EXPECT_EQ(motion(0).command_counter, static_cast<std::int32_t>(c.offset));
    EXPECT_EQ(motion(0).position_counter, static_cast<std::int32_t>(c.offset));
}

INSTANTIATE_TEST_SUITE_P(AheadAndBack, SearchOffset,
                         ::testing::Values(SearchCase{"Ahead", false, 500}, SearchCase{"Back", false, -700},
                                           SearchCase{"AheadCorrected", true, 500},
                                           SearchCase{"BackCorrected", true, -700},
                                           SearchCase{"NoOffset", false, 0}),
                         [](const auto& tp) { return std::string(tp.param.name); });

TEST_F(HomeTest, SearchWithoutAnOriginRunsUntilALimitStopsIt) {
    ASSERT_EQ(quvex_sim_set_origin(0, 0, 0, 0), 0);
    configure(0, false, 0);
    ASSERT_EQ(quvex_home_search(0, 500, 6000, 0.1, 100), 0);
    quvex_sim_advance(5.0);
    EXPECT_NE(quvex_motion_done(0), 0);
    EXPECT_GT(place(), 20000);
    ASSERT_EQ(quvex_sim_set_axis_input(0, 0, QUVEX_SIM_INPUT_EL_PLUS, 1), 0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(motion(0).stop_reason, QUVEX_SIM_STOP_EL_PLUS);
    EXPECT_EQ(static_cast<std::int64_t>(motion(0).command_counter), place()) << "no home end";
}

TEST_F(HomeTest, AStopEndsTheOperationWhereTheAxisComesToRest) {
    configure(0, true, 0);
    ASSERT_EQ(quvex_home_move(0, 500, 6000, 0.1), 0);
    quvex_sim_advance(0.3);
    ASSERT_EQ(quvex_sd_stop(0, 0.5), 0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_EQ(motion(0).stop_reason, QUVEX_SIM_STOP_DECELERATING);
    EXPECT_EQ(static_cast<std::int64_t>(motion(0).command_counter), place());
}

TEST_F(HomeTest, SensorsShowInTheStatusWhereTheAxisStands) {
    std::uint16_t io = 0;
    const struct {
        std::int32_t where;
        std::uint16_t bits;  // io_status bit 1 origin, bit 2 index
    } cases[] = {{0, 0}, {120, 0x4}, {3000, 0x2}, {3120, 0x6}, {3199, 0x2}, {3200, 0}};
    for (const auto& c : cases) {
        move_to(c.where);
        ASSERT_EQ(quvex_get_io_status(0, &io), 0);
        EXPECT_EQ(io & 0x6, c.bits) << c.where;
    }
}

// Advances in 50 µs steps until the axis stops.
bool run_finely_until_stopped() {
    for (int k = 0; k < 400000; ++k) {
        if (quvex_motion_done(0) == 0) return true;
        quvex_sim_advance(50e-6);
    }
    return false;
}

std::uint32_t outputs() {
    std::uint32_t out = 0;
    EXPECT_EQ(quvex_sim_chip_outputs(0, 0, &out), 0);
    return out;
}

TEST_F(HomeTest, HomeEndPulsesTheDeviationClearOutput) {
    constexpr std::uint32_t kErc = 1u << 8;
    ASSERT_EQ(quvex_set_erc(0, 0, 3), 0);  // 640 µs
    configure(0, false, 0, true);
    ASSERT_EQ(quvex_sim_set_counter(0, 0, 0xE5, 77), 0);
    ASSERT_EQ(quvex_home_move(0, 500, 6000, 0.1), 0);
    ASSERT_TRUE(run_finely_until_stopped());
    EXPECT_NE(outputs() & kErc, 0u);
    std::uint16_t io = 0;
    ASSERT_EQ(quvex_get_io_status(0, &io), 0);
    EXPECT_NE(io & (1u << 12), 0u) << "ERC output in the status";
    std::int16_t deviation = -1;
    ASSERT_EQ(quvex_get_error_counter(0, &deviation), 0);
    EXPECT_EQ(deviation, 0);
    quvex_sim_advance(0.0005);
    EXPECT_NE(outputs() & kErc, 0u);
    quvex_sim_advance(0.0002);
    EXPECT_EQ(outputs() & kErc, 0u) << "the pulse lasts 640 µs";

    // Width code 7 holds the output until it is switched off.
    ASSERT_EQ(quvex_set_erc(0, 0, 7), 0);
    move_to(0);
    ASSERT_EQ(quvex_home_move(0, 500, 6000, 0.1), 0);
    ASSERT_TRUE(run_until_stopped(0));
    EXPECT_NE(outputs() & kErc, 0u);
    ASSERT_EQ(quvex_set_erc_on(0, 0), 0);
    EXPECT_EQ(outputs() & kErc, 0u);

    // Without the home ERC bit nothing pulses.
    configure(0, false, 0, false);
    move_to(0);
    ASSERT_EQ(quvex_home_move(0, 500, 6000, 0.1), 0);
    ASSERT_TRUE(run_finely_until_stopped());
    EXPECT_EQ(outputs() & kErc, 0u);
}

}  // namespace
}  // namespace quvex::test
