// The chip's chain field (status register bits 20-21) end to end: a continuous arc started while
// the axes stand, while a move runs, and while a move already waits behind it. The library marks
// the arc with register bits 18-23 only when the field says a move runs (1) or waits (2).
#include "line_support.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {

class ContinuousChain : public CardTest {};

constexpr std::uint32_t kChainBits = 0x3Fu << 18;

TEST_F(ContinuousChain, ArcsMarkTheirModeByTheChipsChainField) {
    for (int16_t a = 0; a < 4; ++a) ASSERT_EQ(quvex_set_continuous_move(a, 1), QUVEX_OK);
    struct Step {
        const char* name;
        std::uint32_t field;  // the lead's status bits 20-21 before the start
        bool chain_bits;      // bits 18-23 in the first mode write
    };
    const Step steps[] = {{"axes standing", 0, false}, {"one arc running", 1, true}, {"one arc queued", 2, true}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        std::uint32_t status = 0;
        ASSERT_EQ(quvex_sim_chip_register(0, 0, 0xF1, &status), 0);
        EXPECT_EQ((status >> 20) & 3u, s.field);
        start_trace();
        ASSERT_EQ(quvex_start_tr_arc_xy_conti(0, 1000, 0, 0, 0, 0, 100, 1000, 0.1, 0.1), QUVEX_OK);
        const std::vector<std::uint32_t> modes = written_values(X, reg::kOperationMode);
        ASSERT_FALSE(modes.empty());
        EXPECT_EQ((modes.front() & kChainBits) == kChainBits, s.chain_bits) << std::hex << modes.front();
    }
    EXPECT_EQ(quvex_check_continuous_buffer(0), 1);
}

}  // namespace
}  // namespace quvex::test
