// Operation kinds: one table decodes every kind, and a start runs what the table says.
#include "../../sim/chip/operation_kinds.h"
#include "chip_fixture.h"

namespace quvex::test {
namespace {

using namespace qsim::chipcode;
using qsim::KindMotion;

struct KindCase {
    std::uint32_t kind;
    KindMotion motion;
    int direction;  // of the continuous and origin kinds
};

// Every kind the library programs, and two it never does.
constexpr KindCase kKinds[] = {
    {0x00, KindMotion::continuous, +1}, {0x08, KindMotion::continuous, -1}, {0x41, KindMotion::positioning, 0},
    {0x10, KindMotion::home, +1},       {0x18, KindMotion::home, -1},       {0x12, KindMotion::home, +1},
    {0x1A, KindMotion::home, -1},       {0x15, KindMotion::home, +1},       {0x1D, KindMotion::home, -1},
    {0x01, KindMotion::external, 0},    {0x02, KindMotion::external, 0},    {0x56, KindMotion::external, 0},
    {0x51, KindMotion::positioning, 0}, {0x54, KindMotion::home, +1}, {0x55, KindMotion::home, -1},
    {0x6A, KindMotion::line, 0},        {0x6C, KindMotion::arc, 0},         {0x6D, KindMotion::arc, 0},
    {0x61, KindMotion::line, 0},        {0x63, KindMotion::line, 0},        {0x64, KindMotion::arc, 0},
    {0x65, KindMotion::arc, 0},         {0x66, KindMotion::helix, 0},       {0x67, KindMotion::helix, 0},
    {0x7F, KindMotion::positioning, 0}, {0x30, KindMotion::positioning, 0},  // unknown
};

TEST(OperationKinds, EveryKindDecodesFromTheTable) {
    for (const KindCase& k : kKinds) {
        const qsim::OperationKind& d = qsim::decode_kind(k.kind | 0x2400u);  // other mode bits do not matter
        EXPECT_EQ(d.motion, k.motion) << std::hex << k.kind;
        if (k.motion == KindMotion::continuous || k.motion == KindMotion::home) {
            EXPECT_EQ(d.direction, k.direction) << std::hex << k.kind;
        }
        const bool listed = k.kind != 0x7F && k.kind != 0x30;
        EXPECT_EQ(d.code, listed ? k.kind : 0xFFu) << std::hex << k.kind;
    }
}

class KindMoves : public ChipGroupTest, public ::testing::WithParamInterface<KindCase> {};

// A single-axis start with amount -1500 for 1 s at 1000 pps: positioning kinds end on -1500,
// continuous kinds run on in their own direction, external kinds do not move by themselves, and
// the kinds the pulser paces stand under way until its pulses come. Origin kinds without sensors:
// a home return or escape (the escape off the origin switch ends at once) runs its amount in its
// own direction, a home search runs on.
TEST_P(KindMoves, StartRunsWhatTheKindSays) {
    const KindCase k = GetParam();
    make_group();
    program(0, {.mode = k.kind, .amount = -1500, .fh = 1000});
    command(0, kStartAtMaxSpeed);
    quvex_sim_advance(2.0);
    if (qsim::decode_kind(k.kind).paced_by_pulser) {
        EXPECT_TRUE(running(0));
        EXPECT_EQ(counter(0), 0);
        return;
    }
    switch (k.motion) {
        case KindMotion::continuous:
            EXPECT_TRUE(running(0));
            EXPECT_EQ(counter(0), 2000 * k.direction);
            break;
        case KindMotion::home:
            if ((k.kind & 0x7) == 0x5) {
                EXPECT_TRUE(running(0));
                EXPECT_EQ(counter(0), 2000 * k.direction);
            } else {
                EXPECT_FALSE(running(0));
                EXPECT_EQ(counter(0), (k.kind & 0x7) == 0x2 ? 0 : 1500 * k.direction);
            }
            break;
        case KindMotion::external:
            EXPECT_FALSE(running(0));
            EXPECT_EQ(counter(0), 0);
            break;
        default:
            EXPECT_FALSE(running(0));
            EXPECT_EQ(counter(0), -1500);
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, KindMoves, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<KindCase>& i) {
                             char name[16];
                             std::snprintf(name, sizeof name, "kind_%02X", i.param.kind);
                             return std::string(name);
                         });

// Path kinds started on several axes move them on one line to their ends.
TEST_F(ChipGroupTest, PathKindsMoveTheSelectedAxesTogether) {
    for (const std::uint32_t kind : {0x61u, 0x64u, 0x67u}) {
        make_group();
        program(0, {.mode = kind, .amount = 3000, .fh = 1000});
        program(2, {.mode = kind, .amount = -1000, .fh = 1000});
        command(0, static_cast<std::uint16_t>(0x0500 | kStartAtMaxSpeed));
        quvex_sim_advance(1.5);
        EXPECT_EQ(counter(0), 1500) << std::hex << kind;
        EXPECT_EQ(counter(2), -500) << std::hex << kind;
        quvex_sim_advance(2.0);
        EXPECT_EQ(counter(0), 3000);
        EXPECT_EQ(counter(2), -1000);
        EXPECT_FALSE(running(2));
    }
}

}  // namespace
}  // namespace quvex::test
