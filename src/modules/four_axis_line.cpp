#include "modules/four_axis_line.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/bits.h"
#include "card/export_checks.h"
#include "common/numeric.h"
#include "interp/path_speed.h"
#include "modules/four_axis_codes.h"
#include "modules/module_motion.h"

namespace quvex::modules::m4 {
namespace {

bool finite_request(const LineRequest& q) {
    const auto finite = [](double v) { return std::isfinite(v); };
    const std::array<double, 5> speeds{q.path.str_vel, q.path.tacc, q.path.tdec, q.path.sv_acc, q.path.sv_dec};
    return std::all_of(q.values.begin(), q.values.end(), finite) && std::all_of(speeds.begin(), speeds.end(), finite);
}

// The truncated distance in the low bits of a register of `mask`.
std::uint32_t amount_word(double d, std::uint32_t mask) {
    return static_cast<std::uint32_t>(truncate_to<std::int64_t>(d)) & mask;
}

// Loads one axis's share of the move into the buffered bank: the line operation, the amount and
// the auxiliary amount. The first failed write ends it; the mirrors of the writes before it stay.
std::int16_t load_move(ModuleAxis axis, double dist, double longest) {
    ring::ModuleAxisBlock& b = axis.block();
    ModuleSink<ModuleAxis> sink(axis, Bank::kBuffered, OnFailure::kStop);
    b.operation_mode = (b.operation_mode & ~mode::kLineClears) | mode::kLine;
    sink.write(chip::kOperationMode, b.operation_mode);
    if (sink.result() != 0) return sink.result();
    b.prev_target_pos = b.target_pos;
    b.target_pos += dist;
    b.move_amount = amount_word(dist, kAmountMask);
    sink.write(chip::kMoveAmount, b.move_amount);
    if (sink.result() != 0) return sink.result();
    b.aux_amount = amount_word(longest, kAuxAmountMask);
    sink.write(chip::kAuxAmount, b.aux_amount);
    return sink.result();
}

}  // namespace

quvex_status check_line_axes(const std::int16_t* axes, int count) {
    if (axes == nullptr) return KRING_ERR_M4_AXES;
    unsigned seen = 0;
    for (int i = 0; i < count; ++i) {
        const std::int16_t a = axes[i];
        if (a < 0 || a >= kAxisCount) return KRING_ERR_M4_AXES;
        // Two and three axes go in ascending order; four only need to be distinct.
        if (count < kAxisCount && i > 0 && a <= axes[i - 1]) return KRING_ERR_M4_AXES;
        if ((seen & (1u << a)) != 0) return KRING_ERR_M4_AXES;
        seen |= 1u << a;
    }
    return QUVEX_OK;
}

std::uint16_t line_start_code(double tacc, double tdec, std::span<const std::int16_t> axes) {
    // Without an acceleration time the axes start at speed; only both times zero skips the ramps.
    std::uint16_t start = code::kStartRamped;
    if (tacc == 0.0) start = tdec == 0.0 ? code::kStartAtMaxSpeed : code::kStartDecelerating;
    for (const std::int16_t a : axes) start |= code::axis_bit(a);
    return start;
}

quvex_status start_line(FourAxisLink& link, const LineRequest& q) {
    // Values that are not finite numbers are refused as a zero speed is: nothing is sent.
    const double max_vel = std::fabs(q.path.max_vel);
    QUVEX_TRY(check(max_vel != 0.0 && std::isfinite(max_vel) && finite_request(q), KRING_ERR_M4_ZERO_MAX_SPEED));
    const std::size_t n = q.axes.size();
    link.block(q.axes[0]).last_decel_time = q.path.tdec;

    std::array<double, kAxisCount> dist{};
    for (std::size_t i = 0; i < n; ++i) {
        dist[i] = q.values[i];
        if (q.reference == motion::Reference::kAbsolute) dist[i] -= read_position(link.axis(q.axes[i]));
    }
    const interp::PathShare share = interp::path_share(dist.data(), static_cast<int>(n));

    for (std::size_t i = 0; i < n; ++i) {
        if (const std::int16_t r = load_move(link.axis(q.axes[i]), dist[i], share.longest)) return r;
    }
    // Each axis runs at its share of the path speed, d / (L + 1) of it.
    for (std::size_t i = 0; i < n; ++i) {
        const double share_of_path = dist[i] / (share.length + 1.0);
        SpeedArgs a = q.path;
        a.str_vel = std::fabs(q.path.str_vel * share_of_path);
        a.max_vel = std::fabs(q.path.max_vel * share_of_path);
        if (const std::int16_t r = load_profile(link.axis(q.axes[i]), q.curve, a, kBufferedProfile)) return r;
    }
    return link.command(q.axes[0], line_start_code(q.path.tacc, q.path.tdec, q.axes));
}

}  // namespace quvex::modules::m4
