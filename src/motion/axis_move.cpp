#include "motion/axis_move.h"

#include "axis/counters.h"
#include "ports/local_chip_sink.h"
#include "ports/primitives.h"
#include "chip/register_map.h"
#include "chip/register_mirror.h"
#include "common/bits.h"
#include "card/card_table.h"
#include "motion/speed_profile.h"

namespace quvex::motion {

double absolute_reference(std::int16_t axis, bool continuous, CounterChoice choice) {
    const AxisRecord& rec = axis_record(axis);
    if (continuous) return rec.target_pos;
    if (choice == CounterChoice::kByFeedbackSource && rec.feedback_src == 1) {
        return static_cast<double>(quvex::axis::command_counter(axis));
    }
    return quvex::axis::position(axis);
}

double take_move_amount(std::int16_t axis, Reference reference, double value, CounterChoice choice) {
    AxisRecord& rec = axis_record(axis);
    const bool absolute = reference == Reference::kAbsolute;
    const double amount = absolute ? value - absolute_reference(axis, rec.continuous_mode == 1, choice) : value;
    rec.prev_target_pos = rec.target_pos;
    rec.target_pos = absolute ? value : rec.target_pos + value;
    return amount;
}

MovePlan plan_axis_move(std::int16_t axis, MoveRequest request) {
    request.pinned_range = pinned_range(axis);
    return plan_move(kLocalChipUnits, request);
}

void program_axis_move(chip::RegisterSink& sink, const MovePlan& plan, std::span<const PlanStep> steps) {
    for (const PlanStep step : steps) emit_step(plan, step, sink);
}

void start_axis_move(std::int16_t axis, Reference reference, double value, MoveRequest request,
                     const StartRules& rules) {
    AxisRecord& rec = axis_record(axis);
    rec.last_decel_time = request.tdec;
    const bool s_curve = request.curve == Curve::kSCurve;
    {
        chip::LocalChipSink sink(axis, chip::Bank::kBuffered);
        if (rules.clear_helical) {
            sink.write_slot(chip::kEnv2, chip::kMirrorWriteCode[chip::kEnv2],
                            with_field(rec.mirror[chip::kEnv2], chip::env2::kHelical, 0));
        }
        const std::uint32_t mode = chip::opmode::start_word(rec.mirror[chip::kMirrorOperationMode],
                                                            chip::opmode::kKindPositioning, s_curve, rules.manual_mode);
        sink.write(chip::kOperationMode, mode | chip::opmode::kSingleAxisStart.mask);
        // An absolute target reads a counter: the mode must reach the chip before that read.
        if (reference == Reference::kAbsolute) sink.flush();

        request.amount = take_move_amount(axis, reference, value, rules.counters);
        request.ramp_down_point = ramp_down_point_wanted(rules.manual_mode, request.tdec);
        program_axis_move(sink, plan_axis_move(axis, request));
    }
    const bool full = s_curve && rules.s_curve_always_full;
    chip::write_axis_command(axis, full ? chip::cmd::kStartRamped : t_curve_start_command(request.tacc, request.tdec));
}

}  // namespace quvex::motion
