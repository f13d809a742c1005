#include "motion/home_moves.h"

#include <cmath>

#include "ports/local_chip_sink.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "common/bits.h"
#include "common/numeric.h"
#include "card/card_table.h"
#include "motion/move_plan.h"
#include "motion/speed_profile.h"

namespace quvex::motion {
namespace {

// The chip's origin operations measure their own run: a return or escape gets this amount.
constexpr double kHomeRunAmount = 10000.0;

}  // namespace

std::uint32_t home_kind(HomeOperation operation, bool plus_direction) {
    namespace op = chip::opmode;
    switch (operation) {
        case HomeOperation::kReturn:
            return plus_direction ? op::kKindHomeReturnPlus : op::kKindHomeReturnMinus;
        case HomeOperation::kEscape:
            return plus_direction ? op::kKindEscapeHomePlus : op::kKindEscapeHomeMinus;
        case HomeOperation::kSearch:
            return plus_direction ? op::kKindHomeSearchPlus : op::kKindHomeSearchMinus;
    }
    return 0;
}

HomePlan plan_home(const HomeRequest& request) {
    HomePlan plan;
    plan.kind = home_kind(request.operation, request.max_vel > 0.0);
    plan.move_amount = request.operation == HomeOperation::kSearch ? request.offset : kHomeRunAmount;
    const double str_vel = std::fabs(request.str_vel);
    const double max_vel = std::fabs(request.max_vel);
    // The signed speeds decide: a start speed of the other sign still gets a ramp.
    plan.with_rates = request.str_vel != request.max_vel;
    if (plan.with_rates) {
        plan.profile_str_vel = str_vel;
        plan.correction_vel = str_vel / 2.0;
    } else {
        // Constant speed: the start speed is the lowest one of the range, the run at the maximum.
        plan.profile_str_vel = 0.0;
        plan.correction_vel = max_vel / 2.0;
    }
    if (request.operation == HomeOperation::kEscape) {
        plan.start_command = chip::cmd::kStartAtStartSpeed;  // the escape always runs at the start speed
    } else {
        plan.start_command = plan.with_rates ? chip::cmd::kStartRamped : chip::cmd::kStartAtMaxSpeed;
    }
    return plan;
}

std::uint32_t correction_speed_units(const SpeedUnits& u, std::uint32_t range, double vel) {
    return ceil_to<std::uint32_t>(SpeedUnits::multiplier(range) * vel / u.unit_numerator);
}

void start_home(std::int16_t axis, const HomeRequest& request) {
    const HomePlan plan = plan_home(request);
    AxisRecord& rec = axis_record(axis);
    // Unlike the moves, an origin operation leaves bit 13 clear (the chip finds its own ramp-down
    // point) and clears bit 26.
    const std::uint32_t mode = with_field(
        chip::opmode::start_word(rec.mirror[chip::kMirrorOperationMode], plan.kind, false, false),
        chip::opmode::kSingleAxisStart, 0);
    const SpeedRegisters speeds =
        plan_speeds(kLocalChipUnits, plan.profile_str_vel, std::fabs(request.max_vel), pinned_range(axis));
    {
        chip::LocalChipSink sink(axis, chip::Bank::kBuffered);
        sink.write(chip::kOperationMode, mode);
        sink.write(chip::kMoveAmount, static_cast<std::uint32_t>(truncate_to<std::int32_t>(plan.move_amount)));
        emit_speeds(speeds, sink);
        sink.write_slot(chip::kMirrorCorrectionSpeed, chip::kMirrorWriteCode[chip::kMirrorCorrectionSpeed],
                        correction_speed_units(kLocalChipUnits, speeds.range, plan.correction_vel));
        if (plan.with_rates) {
            emit_rates(Curve::kTrapezoid, plan_t_rates(kLocalChipUnits, speeds, request.tacc, request.tacc), sink);
        }
    }
    chip::write_axis_command(axis, plan.start_command);
}

}  // namespace quvex::motion
