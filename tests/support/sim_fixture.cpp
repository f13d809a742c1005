#include "sim_fixture.h"

namespace quvex::test {

void install_cards(std::initializer_list<int> devices) {
    reset_installation();
    for (int d : devices) quvex_sim_add_card(d);
}

void CardTest::SetUp() {
    reset_installation();
    for (int d = 0; d < cards_; ++d) quvex_sim_add_card(d);
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), 0);
    ASSERT_EQ(count, cards_);
}

void CardTest::TearDown() {
    quvex_sim_trace_enable(0);
    quvex_close();
}

void CardTest::start_trace() {
    quvex_sim_trace_clear();
    quvex_sim_trace_enable(1);
}

}  // namespace quvex::test
