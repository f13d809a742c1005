// The one-axis module's comparators, trigger comparator and soft limits acting on its own chip:
// each setting the library sends must be read with the module's field layout (comparator 3's
// method in bits 18-21, its action in 22-23), so the move stops, or does not, where it should.
#include <functional>

#include "module_station_fixture.h"

namespace quvex::test {
namespace {

class ModuleStationCompare : public ModuleStationTest {};

constexpr std::int32_t kMove = 4000;
constexpr std::int32_t kData = 1000;

struct CompareCase {
    const char* name;
    std::function<void(std::uint16_t ring, std::uint16_t slave)> configure;
    std::int32_t end_low, end_high;  // where the move comes to rest
    std::uint32_t stop_reason;
    std::uint32_t triggers;
};

TEST_F(ModuleStationCompare, SettingsActOnTheModulesMove) {
    const CompareCase cases[] = {
        {"comparator 3 equal, decelerating stop",
         [](std::uint16_t g, std::uint16_t s) {
             ASSERT_EQ(kring_m1_set_comparator_data(g, s, 3, kData), 0);
             ASSERT_EQ(kring_m1_set_comparator_mode(g, s, 3, 0, 1, 2), 0);
         },
         kData + 2, kMove - 1, QUVEX_SIM_STOP_COMPARATOR, 1},
        {"comparator 3 equal, immediate stop",
         [](std::uint16_t g, std::uint16_t s) {
             ASSERT_EQ(kring_m1_set_comparator_data(g, s, 3, kData), 0);
             ASSERT_EQ(kring_m1_set_comparator_mode(g, s, 3, 0, 1, 1), 0);
         },
         kData, kData, QUVEX_SIM_STOP_COMPARATOR, 1},
        {"trigger comparator, method 9 (equal counting up): a pulse, no stop",
         [](std::uint16_t g, std::uint16_t s) {
             ASSERT_EQ(kring_m1_set_trigger_comparator(g, s, 0, 9), 0);
             ASSERT_EQ(kring_m1_set_trigger_comparator_data(g, s, kData), 0);
         },
         kMove, kMove, 0, 1},
        {"auto trigger on the general counter: a pulse, no stop",
         [](std::uint16_t g, std::uint16_t s) { ASSERT_EQ(kring_m1_set_auto_trigger(g, s, 0, 1, kData, 0), 0); },
         kMove, kMove, 0, 1},
        {"soft limit +, immediate",
         [](std::uint16_t g, std::uint16_t s) {
             ASSERT_EQ(kring_m1_set_soft_limit(g, s, 1500, -100), 0);
             ASSERT_EQ(kring_m1_enable_soft_limit(g, s, 1), 0);
         },
         1500, 1500, QUVEX_SIM_STOP_SOFT_LIMIT_PLUS, 0},
        {"soft limit +, decelerating",
         [](std::uint16_t g, std::uint16_t s) {
             ASSERT_EQ(kring_m1_set_soft_limit(g, s, 1500, -100), 0);
             ASSERT_EQ(kring_m1_enable_soft_limit(g, s, 2), 0);
         },
         1502, kMove - 1, QUVEX_SIM_STOP_SOFT_LIMIT_PLUS, 0},
        {"soft limits enabled then disabled",
         [](std::uint16_t g, std::uint16_t s) {
             ASSERT_EQ(kring_m1_set_soft_limit(g, s, 1500, -100), 0);
             ASSERT_EQ(kring_m1_enable_soft_limit(g, s, 1), 0);
             ASSERT_EQ(kring_m1_disable_soft_limit(g, s), 0);
         },
         kMove, kMove, 0, 0},
    };
    for (const CompareCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(kring_m1_initial(r(), kSlave), 0);
        ASSERT_EQ(kring_m1_set_command(r(), kSlave, 0), 0);
        quvex_sim_compare_info before{};
        ASSERT_EQ(quvex_sim_module_compare_info(0, kSlave, 0, &before), 0);
        c.configure(r(), kSlave);
        ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 100, 2000, 0.2, 0.2), 0);
        ASSERT_EQ(kring_m1_start_r_move(r(), kSlave, kMove), 0);
        ASSERT_TRUE(run_until_stopped());
        const quvex_sim_motion_info info = chip();
        EXPECT_GE(info.command_counter, c.end_low);
        EXPECT_LE(info.command_counter, c.end_high);
        EXPECT_EQ(info.stop_reason, c.stop_reason);
        quvex_sim_compare_info after{};
        ASSERT_EQ(quvex_sim_module_compare_info(0, kSlave, 0, &after), 0);
        EXPECT_EQ(after.trigger_pulses - before.trigger_pulses, c.triggers);
    }
}

// 0xD0 reads the amount as written until a move starts from it, then the pulses left: counting
// down while the move runs, 0 after it ran out, what a stop left undone.
TEST_F(ModuleStationCompare, MoveAmountCountsDownWhileTheMoveRuns) {
    double now = 0, set = 0;
    ASSERT_EQ(kring_m1_set_tmove_speed(r(), kSlave, 100, 2000, 0.1, 0.1), 0);
    ASSERT_EQ(kring_m1_start_r_move(r(), kSlave, kMove), 0);
    double last = kMove + 1.0;
    for (int i = 0; i < 5; ++i) {
        quvex_sim_advance(0.3);
        ASSERT_EQ(kring_m1_get_rmv(r(), kSlave, &now, &set), 0);
        EXPECT_LT(now, last);
        EXPECT_EQ(now, static_cast<double>(chip().remaining));
        EXPECT_EQ(set, static_cast<double>(kMove));
        last = now;
    }
    ASSERT_TRUE(run_until_stopped());
    ASSERT_EQ(kring_m1_get_rmv(r(), kSlave, &now, &set), 0);
    EXPECT_EQ(now, 0.0);

    ASSERT_EQ(kring_m1_start_r_move(r(), kSlave, kMove), 0);
    quvex_sim_advance(0.5);
    ASSERT_EQ(kring_m1_emg_stop(r(), kSlave), 0);
    const std::int32_t moved = chip().command_counter - kMove;
    ASSERT_EQ(kring_m1_get_rmv(r(), kSlave, &now, &set), 0);
    EXPECT_EQ(now, static_cast<double>(kMove - moved));

}

}  // namespace
}  // namespace quvex::test
