// The move plan: a pure step from a move request and the chip's units to the value of every
// profile register, and the emit step that writes such a value into a register sink in the order
// the chip expects. Planning touches no axis, no mirror and no port; only the sink does.
//
// Every register a positioning start writes comes from the plan in this order (one step each):
//   move amount (0), speeds (5, 2, 1), rates (T: 3, 4; S: 9, 3, 10, 4), the limited peak (2),
//   the ramp-down point (6).
// The first values are those the steps write before the short-move limit lowers the peak; the
// limit and the ramp-down point are computed from them, as the chip's registers hold them then.
#pragma once

#include <cstdint>
#include <optional>

#include "chip/register_sink.h"
#include "chip/registers.h"
#include "motion/profile_builder.h"
#include "motion/speed_units.h"

namespace quvex::motion {

enum class Curve : std::uint8_t { kTrapezoid, kSCurve };
enum class Reference : std::uint8_t { kRelative, kAbsolute };

// A move in physical terms. Speeds are magnitudes; the amount's sign gives the direction.
struct MoveRequest {
    Curve curve = Curve::kTrapezoid;
    double amount = 0;       // pulses, truncated toward zero into register 0
    double str_vel = 0;      // pps
    double max_vel = 0;      // pps
    double tacc = 0;         // s
    double tdec = 0;         // s
    double sv_acc = 0;       // pps, S-curve sections
    double sv_dec = 0;
    bool ramp_down_point = false;              // compute register 6 (else 0)
    std::optional<std::uint32_t> pinned_range = std::nullopt;  // keep this range instead of the table's
};

struct MovePlan {
    Curve curve = Curve::kTrapezoid;
    std::int32_t move_amount = 0;
    SpeedRegisters speeds;
    RampRates t_rates;  // T-curve rates over FH - FL (written by S-curve lines before their own)
    RampRates s_rates;  // S-curve sections and rates
    std::uint32_t peak = 0;  // FH after the short-move limit
    std::uint32_t ramp_down_point = 0;

    const RampRates& rates() const { return curve == Curve::kSCurve ? s_rates : t_rates; }
};

// ---- the planning steps, each pure ----

// The card's chips' planning steps: the shared profile builder with its default rules, in units u.
SpeedRegisters plan_speeds(const SpeedUnits& u, double str_vel, double max_vel,
                           std::optional<std::uint32_t> pinned_range);
RampRates plan_t_rates(const SpeedUnits& u, const SpeedRegisters& s, double tacc, double tdec);
RampRates plan_s_rates(const SpeedUnits& u, const SpeedRegisters& s, double tacc, double tdec, double sv_acc,
                       double sv_dec);
// FH after the short-move limit of the curve, for a move of |amount| pulses.
std::uint32_t plan_peak(const SpeedUnits& u, Curve curve, std::int32_t amount, const SpeedRegisters& s,
                        const RampRates& r);
// Ramp-down point from FH = peak: the pulses the deceleration needs, or 0 when not asked for.
std::uint32_t plan_ramp_down(const SpeedUnits& u, Curve curve, bool asked, std::uint32_t peak, const SpeedRegisters& s,
                             const RampRates& r);

MovePlan plan_move(const SpeedUnits& u, const MoveRequest& request);

// ---- emitting ----

enum class PlanStep : std::uint8_t { kMoveAmount, kSpeeds, kTRates, kSRates, kRates, kPeak, kRampDown };

// The order of a positioning start (single-axis and group moves, T and S lines).
inline constexpr PlanStep kPositioningOrder[] = {PlanStep::kMoveAmount, PlanStep::kSpeeds, PlanStep::kRates,
                                                 PlanStep::kPeak, PlanStep::kRampDown};

// Writes the registers of one step.
void emit_step(const MovePlan& plan, PlanStep step, chip::RegisterSink& sink);
// Writes the speed registers (5, 2, 1) and a curve's rates (T: 3, 4; S: 9, 3, 10, 4).
void emit_speeds(const SpeedRegisters& s, chip::RegisterSink& sink);
void emit_rates(Curve curve, const RampRates& r, chip::RegisterSink& sink);
// Writes the steps of a positioning start in their order.
void emit_move(const MovePlan& plan, chip::RegisterSink& sink);

}  // namespace quvex::motion
