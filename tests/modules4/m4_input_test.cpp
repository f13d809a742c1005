// Input policy over every four-axis module export: bad ring, slave and axis numbers, null
// out-pointers and values that are not numbers are refused (or ignored) without a message.
#include <cmath>
#include <functional>
#include <limits>

#include "m4_fixture.h"
#include "special_values.h"

namespace quvex::test {
namespace {

struct Export {
    const char* name;
    std::function<quvex_status(std::uint16_t ring, std::uint16_t slave, int axis)> call;
    quvex_status bad_axis;  // for axis 4; 0: the export takes no axis
};

std::vector<Export> every_export() {
    static std::uint16_t u16;
    static std::uint32_t u32;
    static double dbl;
    static std::uint16_t six[6];
    const auto ax = [](int a) { return static_cast<std::uint16_t>(a); };
    const auto pair_of = [](int a) {
        static std::int16_t axes[4];
        axes[0] = 0;
        axes[1] = axes[2] = axes[3] = static_cast<std::int16_t>(a);
        return axes;
    };
    using R = std::uint16_t;
    return {
        {"initial", [](R g, R s, int) { return kring_m4_initial(g, s); }, 0},
        {"get_idnum", [](R g, R s, int) { return kring_m4_get_idnum(g, s, &u16); }, 0},
        {"read_cpld", [](R g, R s, int) { return kring_m4_read_cpld(g, s, 0, &u16); }, 0},
        {"write_cpld", [](R g, R s, int) { return kring_m4_write_cpld(g, s, 0, 0); }, 0},
        {"read_asic_reg", [=](R g, R s, int a) { return kring_m4_read_asic_reg(g, s, ax(a), 0xF1, &u32); }, -50},
        {"write_asic_reg", [=](R g, R s, int a) { return kring_m4_write_asic_reg(g, s, ax(a), 0x88, 0); }, -50},
        {"set_pls_outmode", [=](R g, R s, int a) { return kring_m4_set_pls_outmode(g, s, ax(a), 0); }, -50},
        {"set_pls_iptmode", [=](R g, R s, int a) { return kring_m4_set_pls_iptmode(g, s, ax(a), 0, 0); }, -50},
        {"set_pulser_iptmode", [=](R g, R s, int a) { return kring_m4_set_pulser_iptmode(g, s, ax(a), 0, 0); }, -50},
        {"set_feedback_src", [=](R g, R s, int a) { return kring_m4_set_feedback_src(g, s, ax(a), 0); }, -50},
        {"set_alm", [=](R g, R s, int a) { return kring_m4_set_alm(g, s, ax(a), 0, 0); }, -50},
        {"set_inp", [=](R g, R s, int a) { return kring_m4_set_inp(g, s, ax(a), 0, 0); }, -50},
        {"set_erc", [=](R g, R s, int a) { return kring_m4_set_erc(g, s, ax(a), 0, 0, 0); }, -50},
        {"set_erc_on", [=](R g, R s, int a) { return kring_m4_set_erc_on(g, s, ax(a), 1); }, -50},
        {"set_sd", [=](R g, R s, int a) { return kring_m4_set_sd(g, s, ax(a), 0, 0, 0, 0); }, -50},
        {"set_ltc_logic", [=](R g, R s, int a) { return kring_m4_set_ltc_logic(g, s, ax(a), 0); }, -50},
        {"set_home_config", [=](R g, R s, int a) { return kring_m4_set_home_config(g, s, ax(a), 0, 0, 0, 0, 0); }, -50},
        {"set_svon", [=](R g, R s, int a) { return kring_m4_set_svon(g, s, ax(a), 1); }, -50},
        {"set_ralm", [=](R g, R s, int a) { return kring_m4_set_ralm(g, s, ax(a), 1); }, -50},
        {"set_ell", [](R g, R s, int a) { return kring_m4_set_ell(g, s, static_cast<std::int16_t>(a), 1); }, -50},
        {"set_tmove_speed", [=](R g, R s, int a) { return kring_m4_set_tmove_speed(g, s, ax(a), 0, 1000, 0.1, 0.1); },
         -50},
        {"set_smove_speed",
         [=](R g, R s, int a) { return kring_m4_set_smove_speed(g, s, ax(a), 0, 1000, 0.1, 0.1, 10, 10); }, -50},
        {"fix_speed_range", [=](R g, R s, int a) { return kring_m4_fix_speed_range(g, s, ax(a), 1000); }, -50},
        {"unfix_speed_range", [=](R g, R s, int a) { return kring_m4_unfix_speed_range(g, s, ax(a)); }, -50},
        {"start_r_move", [](R g, R s, int a) { return kring_m4_start_r_move(g, s, static_cast<std::int16_t>(a), 1); },
         -50},
        {"start_a_move", [=](R g, R s, int a) { return kring_m4_start_a_move(g, s, ax(a), 1); }, -50},
        {"v_move", [=](R g, R s, int a) { return kring_m4_v_move(g, s, ax(a), 1); }, -50},
        {"start_home_move", [=](R g, R s, int a) { return kring_m4_start_home_move(g, s, ax(a), 1); }, -50},
        {"sd_stop", [=](R g, R s, int a) { return kring_m4_sd_stop(g, s, ax(a)); }, -50},
        {"emg_stop", [=](R g, R s, int a) { return kring_m4_emg_stop(g, s, ax(a)); }, -50},
        {"set_command", [=](R g, R s, int a) { return kring_m4_set_command(g, s, ax(a), 0); }, -50},
        {"set_position", [=](R g, R s, int a) { return kring_m4_set_position(g, s, ax(a), 0); }, -50},
        {"reset_command", [=](R g, R s, int a) { return kring_m4_reset_command(g, s, ax(a)); }, -50},
        {"reset_position", [=](R g, R s, int a) { return kring_m4_reset_position(g, s, ax(a)); }, -50},
        {"get_command", [=](R g, R s, int a) { return kring_m4_get_command(g, s, ax(a), &u32); }, -50},
        {"get_position", [=](R g, R s, int a) { return kring_m4_get_position(g, s, ax(a), &u32); }, -50},
        {"get_current_speed", [=](R g, R s, int a) { return kring_m4_get_current_speed(g, s, ax(a), &dbl); }, -50},
        {"motion_done", [=](R g, R s, int a) { return kring_m4_motion_done(g, s, ax(a), &u16); }, -50},
        {"get_motion_data", [=](R g, R s, int a) { return kring_m4_get_motion_data(g, s, ax(a), six); }, -50},
        {"get_io_status", [=](R g, R s, int a) { return kring_m4_get_io_status(g, s, ax(a), &u32); }, -50},
        {"get_latch_data", [=](R g, R s, int a) { return kring_m4_get_latch_data(g, s, ax(a), 1, &dbl); }, -50},
        {"set_mof_config", [](R g, R s, int) { return kring_m4_set_mof_config(g, s, 0); }, 0},
        {"disable_mof", [](R g, R s, int) { return kring_m4_disable_mof(g, s); }, 0},
        {"manual_mpg", [](R g, R s, int a) { return kring_m4_manual_mpg(g, s, static_cast<std::int16_t>(a)); }, -52},
        {"get_mof_status", [](R g, R s, int) { return kring_m4_get_mof_status(g, s, &u16); }, 0},
        {"set_mof_mpg_velocity",
         [=](R g, R s, int a) { return kring_m4_set_mof_mpg_velocity(g, s, ax(a), 0, 1000, 0.1, 0.1); }, -50},
        {"set_mof_jog_velocity",
         [=](R g, R s, int a) { return kring_m4_set_mof_jog_velocity(g, s, ax(a), 0, 1000, 0.1, 0.1, 50); }, -50},
        {"set_mof_step_velocity",
         [=](R g, R s, int a) { return kring_m4_set_mof_step_velocity(g, s, ax(a), 0, 1000, 0.1, 0.1, 50); }, -50},
        {"set_mof_step_distance", [=](R g, R s, int a) { return kring_m4_set_mof_step_distance(g, s, ax(a), 10); },
         -52},
        {"start_tr_line2", [=](R g, R s, int a) { return kring_m4_start_tr_line2(g, s, pair_of(a), 1, 1, 0, 1, 0, 0); },
         -57},
        {"start_ta_line2", [=](R g, R s, int a) { return kring_m4_start_ta_line2(g, s, pair_of(a), 1, 1, 0, 1, 0, 0); },
         -57},
        {"start_sr_line2",
         [=](R g, R s, int a) { return kring_m4_start_sr_line2(g, s, pair_of(a), 1, 1, 0, 1, 0, 0, 0, 0); }, -57},
        {"start_sa_line2",
         [=](R g, R s, int a) { return kring_m4_start_sa_line2(g, s, pair_of(a), 1, 1, 0, 1, 0, 0, 0, 0); }, -57},
        {"start_tr_line3",
         [=](R g, R s, int a) { return kring_m4_start_tr_line3(g, s, pair_of(a), 1, 1, 1, 0, 1, 0, 0); }, -57},
        {"start_ta_line3",
         [=](R g, R s, int a) { return kring_m4_start_ta_line3(g, s, pair_of(a), 1, 1, 1, 0, 1, 0, 0); }, -57},
        {"start_sr_line3",
         [=](R g, R s, int a) { return kring_m4_start_sr_line3(g, s, pair_of(a), 1, 1, 1, 0, 1, 0, 0, 0, 0); }, -57},
        {"start_sa_line3",
         [=](R g, R s, int a) { return kring_m4_start_sa_line3(g, s, pair_of(a), 1, 1, 1, 0, 1, 0, 0, 0, 0); }, -57},
        {"start_tr_line4",
         [=](R g, R s, int a) { return kring_m4_start_tr_line4(g, s, pair_of(a), 1, 1, 1, 1, 0, 1, 0, 0); }, -57},
        {"start_ta_line4",
         [=](R g, R s, int a) { return kring_m4_start_ta_line4(g, s, pair_of(a), 1, 1, 1, 1, 0, 1, 0, 0); }, -57},
        {"start_sr_line4",
         [=](R g, R s, int a) { return kring_m4_start_sr_line4(g, s, pair_of(a), 1, 1, 1, 1, 0, 1, 0, 0, 0, 0); },
         -57},
        {"start_sa_line4",
         [=](R g, R s, int a) { return kring_m4_start_sa_line4(g, s, pair_of(a), 1, 1, 1, 1, 0, 1, 0, 0, 0, 0); },
         -57},
        {"tr_move_xy", [](R g, R s, int) { return kring_m4_tr_move_xy(g, s, 1, 1, 0, 1, 0, 0); }, 0},
        {"ta_move_xy", [](R g, R s, int) { return kring_m4_ta_move_xy(g, s, 1, 1, 0, 1, 0, 0); }, 0},
        {"sr_move_xy", [](R g, R s, int) { return kring_m4_sr_move_xy(g, s, 1, 1, 0, 1, 0, 0, 0, 0); }, 0},
        {"sa_move_xy", [](R g, R s, int) { return kring_m4_sa_move_xy(g, s, 1, 1, 0, 1, 0, 0, 0, 0); }, 0},
        {"tr_move_zu", [](R g, R s, int) { return kring_m4_tr_move_zu(g, s, 1, 1, 0, 1, 0, 0); }, 0},
        {"ta_move_zu", [](R g, R s, int) { return kring_m4_ta_move_zu(g, s, 1, 1, 0, 1, 0, 0); }, 0},
        {"sr_move_zu", [](R g, R s, int) { return kring_m4_sr_move_zu(g, s, 1, 1, 0, 1, 0, 0, 0, 0); }, 0},
        {"sa_move_zu", [](R g, R s, int) { return kring_m4_sa_move_zu(g, s, 1, 1, 0, 1, 0, 0, 0, 0); }, 0},
    };
}

using FourAxisInput = FourAxisTest;

TEST_F(FourAxisInput, EveryExportRefusesBadRingSlaveAndAxis) {
    const std::vector<Export> exports = every_export();
    ASSERT_EQ(exports.size(), 69u);
    for (const Export& e : exports) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.call(r(), 64, 0), KRING_ERR_SLAVE);
        EXPECT_EQ(e.call(4, 64, 0), KRING_ERR_SLAVE);  // the slave comes before the ring
        EXPECT_EQ(e.call(1, kSlave, 0), KRING_ERR_NOT_OPEN);
        EXPECT_EQ(e.call(4, kSlave, 0), KRING_ERR_NOT_OPEN);
        if (e.bad_axis != 0) {
            EXPECT_EQ(e.call(r(), kSlave, 4), e.bad_axis);
            EXPECT_EQ(e.call(r(), kSlave, -1), e.bad_axis);
        }
        EXPECT_TRUE(transfers().empty());
        clear();
    }
}

TEST_F(FourAxisInput, NullOutPointersAreNotWritten) {
    EXPECT_EQ(kring_m4_get_idnum(r(), kSlave, nullptr), 0);
    EXPECT_EQ(kring_m4_read_cpld(r(), kSlave, 0, nullptr), 0);
    EXPECT_TRUE(transfers().empty());  // these two read only for a caller that takes the value
    EXPECT_EQ(kring_m4_read_asic_reg(r(), kSlave, 0, 0xF1, nullptr), 0);
    EXPECT_EQ(kring_m4_get_command(r(), kSlave, 0, nullptr), 0);
    EXPECT_EQ(kring_m4_get_position(r(), kSlave, 0, nullptr), 0);
    EXPECT_EQ(kring_m4_get_current_speed(r(), kSlave, 0, nullptr), 0);
    EXPECT_EQ(kring_m4_motion_done(r(), kSlave, 0, nullptr), 0);
    EXPECT_EQ(kring_m4_get_motion_data(r(), kSlave, 0, nullptr), 0);
    EXPECT_EQ(kring_m4_get_io_status(r(), kSlave, 0, nullptr), 0);
    EXPECT_EQ(kring_m4_get_latch_data(r(), kSlave, 0, 3, nullptr), 0);
    EXPECT_EQ(kring_m4_get_mof_status(r(), kSlave, nullptr), 0);
}

TEST_F(FourAxisInput, ValuesThatAreNotNumbersSendNothing) {
    record().mof_mode = 2;
    const std::int16_t axes[2] = {0, 1};
    struct Case {
        const char* name;
        std::function<quvex_status()> call;
        quvex_status expected;
    };
    const Case cases[] = {
        {"T speed", [&] { return kring_m4_set_tmove_speed(r(), kSlave, 0, kNaN, 1000, 0.1, 0.1); }, -9},
        {"T time", [&] { return kring_m4_set_tmove_speed(r(), kSlave, 0, 0, 1000, kNaN, 0.1); }, -9},
        {"S section", [&] { return kring_m4_set_smove_speed(r(), kSlave, 0, 0, 1000, 0.1, 0.1, kNaN, 0); }, -9},
        {"infinite top speed", [&] { return kring_m4_set_tmove_speed(r(), kSlave, 0, 0, INFINITY, 0.1, 0.1); }, -9},
        {"jog", [&] { return kring_m4_set_mof_jog_velocity(r(), kSlave, 0, 0, kNaN, 0.1, 0.1, 50); }, -9},
        {"line distance", [&] { return kring_m4_start_tr_line2(r(), kSlave, axes, kNaN, 1, 0, 1000, 0, 0); }, -56},
        {"line top speed", [&] { return kring_m4_tr_move_xy(r(), kSlave, 1, 1, 0, kNaN, 0, 0); }, -56},
        {"line section", [&] { return kring_m4_sr_move_zu(r(), kSlave, 1, 1, 0, 1000, 0, 0, 0, kNaN); }, -56},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.call(), c.expected);
    }
    record().mof_mode = 4;
    EXPECT_EQ(kring_m4_set_mof_step_distance(r(), kSlave, 0, kNaN), KRING_ERR_MOVE_RANGE);
    EXPECT_TRUE(transfers().empty());
    EXPECT_EQ(block(0).max_speed_reg, 0u);
}

}  // namespace
}  // namespace quvex::test
