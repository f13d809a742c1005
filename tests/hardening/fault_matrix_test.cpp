// Each fault the virtual installation can inject, against each family of exports it meets: the
// status the call gives under the fault, what it leaves alone (out-pointers keep their fill
// pattern, no port, window or message write it should not make), and that the same call gives
// its normal result again once the fault is cleared. docs/faults.md holds the same matrix.
#include <string>

#include "events/error_log.h"
#include "fault_matrix.h"
#include "common/platform.h"
#include "sim_fixture.h"

namespace quvex::test::faults {
namespace {

struct Accesses {
    int port_writes = 0;
    int window_writes = 0;
};

Accesses accesses_since_clear() {
    Accesses a;
    for (std::size_t i = 0; i < quvex_sim_access_count(); ++i) {
        quvex_sim_access r{};
        quvex_sim_access_get(i, &r);
        if (r.kind == QUVEX_SIM_ACCESS_OUT8 || r.kind == QUVEX_SIM_ACCESS_OUT16) ++a.port_writes;
        if (r.kind == QUVEX_SIM_ACCESS_WINDOW_WRITE) ++a.window_writes;
    }
    return a;
}

bool message_carries(int from, uint16_t word) {
    const int n = quvex_sim_ring_history_count(0);
    for (int i = from < 0 ? 0 : from; i < n; ++i) {
        quvex_sim_ring_message m{};
        quvex_sim_ring_history_get(0, i, &m);
        for (int w = 0; w < m.word_count; ++w) {
            if (m.words[w] == word) return true;
        }
    }
    return false;
}

std::vector<Cell> all_cells() {
    std::vector<Cell> cells = card_cells();
    for (const Cell& c : ring_cells()) cells.push_back(c);
    return cells;
}

class FaultMatrix : public ::testing::TestWithParam<Cell> {
protected:
    void SetUp() override {
        reset_installation();
        quvex_sim_add_card(0);
        const Stage stage = GetParam().stage;
        if (stage == Stage::installed) return;
        int16_t count = 0;
        ASSERT_EQ(quvex_initial(&count), 0);
        if (stage == Stage::opened) return;
        ASSERT_EQ(quvex_open_kring(0), 0);
        add_stations();
        ASSERT_EQ(kring_start_ring(0), 0);
        ASSERT_EQ(kring_m1_initial(0, kM1Slave), 0);
        ASSERT_EQ(kring_m4_initial(0, kM4Slave), 0);
        if (stage == Stage::ring) return;
        void* ev = reinterpret_cast<void*>(plat::event_create(kUserEvent, true, false));
        ASSERT_EQ(kring_enable_soft_watchdog(0, &ev), 0);
    }
    void TearDown() override {
        quvex_sim_trace_enable(0);
        kring_close();
        quvex_close();
    }
};

TEST_P(FaultMatrix, StatusUnderTheFaultNothingOutsideAndRecovery) {
    const Cell& c = GetParam();
    c.inject();
    const int messages_before = quvex_sim_ring_history_count(0);
    quvex_sim_trace_clear();
    quvex_sim_trace_enable(1);
    const Outcome faulted = c.call();
    quvex_sim_trace_enable(0);
    EXPECT_EQ(faulted, c.faulted) << "under the fault";

    const Accesses a = accesses_since_clear();
    if (c.untouched & kNoPortWrite) {
        EXPECT_EQ(a.port_writes, 0) << "port writes under the fault";
    }
    if (c.untouched & kNoWindowWrite) {
        EXPECT_EQ(a.window_writes, 0) << "window writes under the fault";
    }
    if (c.untouched & kNoMessage) {
        EXPECT_EQ(quvex_sim_ring_history_count(0), messages_before) << "messages sent under the fault";
    }
    if (c.unsent_word != 0) {
        EXPECT_FALSE(message_carries(messages_before, c.unsent_word)) << "message word sent under the fault";
    }

    c.clear();
    EXPECT_EQ(c.call(), c.recovered) << "after the fault was cleared";
}

INSTANTIATE_TEST_SUITE_P(Hardening, FaultMatrix, ::testing::ValuesIn(all_cells()),
                         [](const ::testing::TestParamInfo<Cell>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quvex::test::faults
