// The library context's reset: whatever an application changed, in any piece of the context, is
// back to its state at load after one reset.
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>

#include "axis/move_ratio.h"
#include "events/error_log.h"
#include "frame/library_context.h"
#include "quvex/sim_ring.h"
#include "ring/ring_table.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {

void QUVEX_CALL ignore_axis_event(int32_t) {}

struct PieceCase {
    const char* name;
    std::function<void()> change;  // runs on an opened card 0, before quvex_close
    std::function<bool()> at_load;
    friend void PrintTo(const PieceCase& c, std::ostream* os) { *os << c.name; }
};

const PieceCase kPieces[] = {
    {"card_table", [] { ASSERT_EQ(quvex_int_enable(0, nullptr), QUVEX_OK); },
     [] {
         const CardTable& t = card_table();
         return t.cards[0].present == 0 && t.cards[0].chip_base == 0 && t.max_card == 0 &&
                t.runtime[0].events[0] == plat::kNoHandle && t.runtime[0].bridge_control_startup_bit_set == 0;
     }},
    {"callback", [] {
         ASSERT_EQ(quvex_int_enable(0, nullptr), QUVEX_OK);
         ASSERT_EQ(quvex_link_interrupt(0, ignore_axis_event), QUVEX_OK);
     },
     [] { return card_table().runtime[0].callback.load() == nullptr; }},
    {"move_ratios", [] { ASSERT_EQ(quvex_set_move_ratio(2, 2.5), QUVEX_OK); },
     [] { return axis::move_ratio(2) == 1.0; }},
    {"stop_reason_log", [] {
         std::remove("context_reset.log");
         ASSERT_EQ(quvex_error_log("context_reset.log"), QUVEX_OK);
         events::log_stop_reasons(0, 0x20);
     },
     [] { return !events::error_log_open() && events::stop_reason_log().line_counter.load() == 0; }},
    {"rings", [] {
         ASSERT_EQ(quvex_open_kring(0), 0);
         ASSERT_EQ(quvex_open_kring(0), 1);
         ASSERT_EQ(kring_set_ring_quality_param(1, 50, 40), 1);  // success is 1 here
         ring::consecutive_error_passes().store(5);
     },
     [] {
         return ring::open_ring(0) == nullptr && ring::open_ring(1) == nullptr && ring::last_opened_ring() == 0 &&
                ring::ring_slot(1)->quality_limit() == ring::kQualityLimitMin &&
                ring::consecutive_error_passes().load() == 0;
     }},
};

class ContextReset : public ::testing::TestWithParam<PieceCase> {};

TEST_P(ContextReset, PutsThePieceBackAsAtLoad) {
    install_cards({0});
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), QUVEX_OK);
    GetParam().change();
    ASSERT_FALSE(GetParam().at_load()) << "the change must show before the reset";
    quvex_close();  // the reset wants no card thread running

    reset_library_context();
    EXPECT_TRUE(GetParam().at_load());
    std::remove("context_reset.log");
}

INSTANTIATE_TEST_SUITE_P(Frame, ContextReset, ::testing::ValuesIn(kPieces),
                         [](const ::testing::TestParamInfo<PieceCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quvex::test
