// The engine's inline "no drive event" answer never hides an event: whenever it says the drive is
// quiet, the full look finds nothing either, and it says so in the usual case (a following drive
// whose lag stays within its limit), so the fast path is taken at all.
#include <limits>

#include "../../sim/chip/servo_drive.h"
#include "chip_fixture.h"

namespace quvex::test {
namespace {

struct QuickCase {
    const char* name;
    std::uint32_t outputs;  // bit 0 servo on, bit 8 ERC
    bool alarm;
    double limit;        // pulses; 0: none
    double speed;        // pulses per second, signed
    std::uint32_t env4;  // comparator sources; 0x2 puts comparator 1 on the error counter
    bool quiet;          // the inline answer expected
};

constexpr std::uint32_t kServo = 1u;
constexpr std::uint32_t kErc = 1u << qsim::chipcode::kErcOutputBit;

constexpr QuickCase kQuickCases[] = {
    {"lag within the limit", kServo, false, 1000, 100000, 0, true},
    {"lag within the limit, backwards", kServo, false, 1000, -100000, 0, true},
    {"lag at the limit exactly", kServo, false, 500, 100000, 0, true},
    {"lag past the limit", kServo, false, 400, 100000, 0, false},
    {"lag past the limit, backwards", kServo, false, 400, -100000, 0, false},
    {"no limit", kServo, false, 0, 100000, 0, true},
    {"alarm already up", kServo, true, 400, 100000, 0, true},
    {"deviation being cleared", kServo | kErc, false, 400, 100000, 0, true},
    {"servo off", 0, false, 1000, 100000, 0, false},
    {"comparator on the error counter", kServo, false, 1000, 100000, 0x2, false},
    {"comparator 2 on the error counter", kServo, false, 0, 100000, 0x200, false},
};

class DriveQuickAnswer : public ChipGroupTest {};

TEST_F(DriveQuickAnswer, QuietOnlyWhenTheFullLookFindsNoEvent) {
    make_group();
    for (const QuickCase& k : kQuickCases) {
        SCOPED_TRACE(k.name);
        look(0, [&](qsim::Chip& c) {
            qsim::DriveParams params;
            params.time_constant = 0.005;
            params.deviation_limit = k.limit;
            qsim::switch_drive(c, true, params, c.drive.time);
            c.outputs = k.outputs;
            c.drive.alarm = k.alarm;
            c.drive.deviation = 0;
            c.env[3] = k.env4;
            const bool quiet = qsim::drive_surely_quiet(c.drive, c.outputs, qsim::chipcode::kErcOutputBit,
                                                        qsim::error_counter_watched_by(c.env), k.speed);
            EXPECT_EQ(quiet, k.quiet);
            if (quiet) {
                EXPECT_EQ(qsim::drive_event_time(c, k.speed, false), std::numeric_limits<double>::infinity());
            }
            c.env[3] = 0;
            return 0;
        });
    }
}

}  // namespace
}  // namespace quvex::test
