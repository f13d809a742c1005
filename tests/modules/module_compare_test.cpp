// Comparators, trigger, soft limits and latches of the one-axis module: the env4 fields and data
// messages they send, their codes and where each check stands.
#include <functional>

#include "module_fixture.h"

namespace quvex::test {
namespace {

using Writes = std::vector<std::pair<std::uint16_t, std::uint32_t>>;

class ModuleCompare : public ModuleTest {};

TEST_F(ModuleCompare, RefusedArgumentsSendNothing) {
    double data = 0;
    struct Case {
        const char* name;
        std::function<quvex_status()> call;
        quvex_status code;
    };
    const std::uint16_t g = r();
    const Case cases[] = {
        {"latch 0 before the slave", [&] { return kring_m1_get_latch_data(g, 70, 0, &data); }, KRING_ERR_LATCH_NUMBER},
        {"latch 4 before the ring", [&] { return kring_m1_get_latch_data(2, kSlave, 4, &data); }, KRING_ERR_LATCH_NUMBER},
        {"latch 3 on slave 70", [&] { return kring_m1_get_latch_data(g, 70, 3, &data); }, KRING_ERR_SLAVE},
        {"comparator read 0 after the slave", [&] { return kring_m1_get_comparator_data(g, 70, 0, &data); },
         KRING_ERR_SLAVE},
        {"comparator read 4", [&] { return kring_m1_get_comparator_data(g, kSlave, 4, &data); },
         KRING_ERR_COMPARATOR_READ_NO},
        {"comparator write 0", [&] { return kring_m1_set_comparator_data(g, kSlave, 0, 1.0); },
         KRING_ERR_COMPARATOR_WRITE},
        {"mode of comparator 4", [&] { return kring_m1_set_comparator_mode(g, kSlave, 4, 0, 0, 0); },
         KRING_ERR_COMPARATOR_WRITE},
        {"source 3", [&] { return kring_m1_set_comparator_mode(g, kSlave, 1, 3, 1, 0); }, KRING_ERR_COMPARATOR_SOURCE},
        {"action 3", [&] { return kring_m1_set_comparator_mode(g, kSlave, 2, 0, 1, 3); }, KRING_ERR_COMPARATOR_ACTION},
        {"method 7 on comparator 3", [&] { return kring_m1_set_comparator_mode(g, kSlave, 3, 0, 7, 0); },
         KRING_ERR_COMPARATOR_METHOD},
        {"trigger method 6", [&] { return kring_m1_set_trigger_comparator(g, kSlave, 9, 6); },
         KRING_ERR_COMPARATOR_METHOD},
        {"trigger source 3", [&] { return kring_m1_set_trigger_comparator(g, kSlave, 3, 1); },
         KRING_ERR_COMPARATOR_SOURCE},
        {"auto edge 3", [&] { return kring_m1_set_auto_trigger(g, kSlave, 3, 9, 0, 0); }, KRING_ERR_COMPARATOR_SOURCE},
        {"auto source 4", [&] { return kring_m1_set_auto_trigger(g, kSlave, 2, 4, 0, 0); },
         KRING_ERR_COMPARATOR_METHOD},
        {"soft limit", [&] { return kring_m1_set_soft_limit(g, kSlave, 0, -134217729); }, KRING_ERR_SOFT_LIMIT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.call(), c.code);
    }
    EXPECT_TRUE(sent().empty());
}

TEST_F(ModuleCompare, ModesFillTheirEnv4Fields) {
    // Method 6 on comparator 1 forces the command source even when another one is asked for.
    ASSERT_EQ(kring_m1_set_comparator_mode(r(), kSlave, 1, 2, 6, 2), 0);
    ASSERT_EQ(kring_m1_set_comparator_mode(r(), kSlave, 2, 1, 0xD, 1), 0);
    ASSERT_EQ(kring_m1_set_comparator_mode(r(), kSlave, 3, 7, 0x1F, 7), 0);
    EXPECT_EQ(writes(), (Writes{{0x9F, 0x58}, {0x9F, 0x58 | 0x2000 | 0x1400 | 0x100},
                                {0x9F, 0x3558 | (3u << 16) | (15u << 18) | (3u << 22)}}));
    clear();
    ASSERT_EQ(kring_m1_disable_soft_limit(r(), kSlave), 0);
    EXPECT_EQ(writes(), (Writes{{0x9F, 0xFF3500}, {0x9F, 0xFF0000}}));
}

TEST_F(ModuleCompare, ScaledDataFollowTheMoveRatio) {
    ASSERT_EQ(kring_m1_set_move_ratio(r(), kSlave, 2.5), 0);
    ASSERT_EQ(kring_m1_set_comparator_data(r(), kSlave, 2, -101.9), 0);  // not scaled: truncated
    ASSERT_EQ(kring_m1_set_comparator_mode(r(), kSlave, 1, 1, 1, 0), 0);  // source 1 sets the scale bit
    ASSERT_EQ(kring_m1_set_comparator_data(r(), kSlave, 1, -100), 0);
    EXPECT_EQ(kring_m1_set_comparator_data(r(), kSlave, 1, 60000000), KRING_ERR_MOVE_RANGE);
    EXPECT_EQ(writes(), (Writes{{0xA8, static_cast<std::uint32_t>(-101)}, {0x9F, 0x05},
                                {0xA7, static_cast<std::uint32_t>(-250)}}));

    station.registers[0xE7] = static_cast<std::uint32_t>(-250);
    station.registers[0xEF] = static_cast<std::uint32_t>(-500);
    station.registers[0xEE] = 7;
    double data = 0;
    ASSERT_EQ(kring_m1_get_comparator_data(r(), kSlave, 1, &data), 0);
    EXPECT_DOUBLE_EQ(data, -100.0);
    ASSERT_EQ(kring_m1_get_latch_data(r(), kSlave, 3, &data), 0);
    EXPECT_DOUBLE_EQ(data, -200.0);
    ASSERT_EQ(kring_m1_get_latch_data(r(), kSlave, 2, &data), 0);
    EXPECT_DOUBLE_EQ(data, 7.0);
}

TEST_F(ModuleCompare, SoftLimitsAndAutoTrigger) {
    ASSERT_EQ(kring_m1_set_soft_limit(r(), kSlave, 5000, -5000), 0);
    ASSERT_EQ(kring_m1_enable_soft_limit(r(), kSlave, 0xFE), 0);
    // The edge field (env3 bits 10..12) takes over the bit 12 that initial set.
    ASSERT_EQ(kring_m1_set_auto_trigger(r(), kSlave, 2, 1, 300, 0), 0);
    EXPECT_EQ(writes(), (Writes{{0xA7, 5000}, {0xA8, static_cast<std::uint32_t>(-5000)},
                                {0x9F, 0x58}, {0x9F, 0x5858},
                                {0x9E, 2u << 10}, {0x9F, 0x5858 | ((3u + 9u * 4u) << 16)},
                                {0xA9, 300}}));
}

}  // namespace
}  // namespace quvex::test
