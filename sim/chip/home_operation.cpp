// Origin operations of a chip axis. See home_state.h for the sensors and home_operation.h for
// the configuration the chip reads.
//
// Stages:
//   escape       runs (at most its move amount) until the origin switch turns off, and ends there;
//                it ends at once when the switch is off at the start; the counters stay.
//   home return  runs (at most its move amount) to the home point the mode names. There, without
//                the correction phase, the axis stops at once; with it, the axis slows to the
//                correction speed past the point, turns and comes back to it at that speed. At
//                the home point the command and position counters become 0 and, when
//                configured, the deviation-clear output pulses (clearing the error counter).
//   home search  a home return without a run limit (it runs until the home point, a limit or a
//                stop), which then moves its signed offset amount from the home point.
// A stop or a limit ends an origin operation wherever the axis is, the counters untouched.
#include "home_operation.h"

#include <algorithm>
#include <cmath>

#include "chip.h"
#include "motion_engine.h"
#include "chip_codes.h"
#include "operation_kinds.h"

namespace qsim {
namespace {

using namespace chipcode;

// Low three bits of an origin kind.
constexpr unsigned kOperationBits = 0x7;
constexpr unsigned kEscape = 0x2;
constexpr unsigned kSearch = 0x5;

// A home search's run towards its home point is bounded by nothing but the move's count, which
// is the largest move amount.
constexpr std::int64_t kSearchRun = 0x7FFFFFFF;
// A reversal runs on until it has turned (see the engine's turn()).
constexpr std::int64_t kUntilTurned = std::int64_t{1} << 40;

constexpr std::uint32_t kEnv1CorrectionPhase = 1u << 7;
constexpr std::uint32_t kEnv1HomeErc = 1u << 11;
constexpr unsigned kEnv1ErcWidthShift = 12;
constexpr unsigned kEnv3ModeMask = 0xF;
constexpr unsigned kEnv3CountShift = 4;
constexpr unsigned kErcHeld = 7;
constexpr unsigned kCorrectionSpeed = 11;  // operation register 11

std::int64_t position_in_move(const MotionState& s) { return s.origin_offset + s.direction * s.done; }

void end_move_here(Chip& c) {
    finish(c, 0);
    start_queued_moves(c.group(), c.motion.time);
}

Ns ns_of(double seconds) { return static_cast<Ns>(std::llround(seconds * static_cast<double>(kNsPerSecond))); }

// The deviation-clear pulse at the home end; the error counter is cleared with it.
void pulse_erc(Chip& c, const HomeConfig& cfg) {
    if (!cfg.erc_pulse) return;
    HomeState& h = c.home;
    Machine& m = c.machine();
    if (h.erc_timer != 0) m.cancel_timer_locked(h.erc_timer);
    h.erc_timer = 0;
    drive_clear_deviation(c);
    c.error_counter = 0;
    c.outputs |= 1u << chipcode::kErcOutputBit;
    if (cfg.erc_width == kErcHeld) return;
    h.erc_ends_at = ns_of(c.motion.time) + erc_pulse_ns(cfg.erc_width);
    if (h.erc_ends_at <= m.now) {
        // Found late (nobody was watching the axis): the pulse is over already.
        c.outputs &= ~(1u << chipcode::kErcOutputBit);
        return;
    }
    std::weak_ptr<int> alive = h.alive;
    Chip* chip = &c;
    h.erc_timer = m.schedule_locked(h.erc_ends_at, [alive, chip] {
        if (alive.expired()) return;
        chip->home.erc_timer = 0;
        chip->outputs &= ~(1u << chipcode::kErcOutputBit);
    });
}

// The axis stands on the home point: the counters take it as 0; a search goes on to its offset.
bool reach_home(Chip& c) {
    HomeState& h = c.home;
    c.command_counter = 0;
    c.position_counter = 0;
    pulse_erc(c, read_home_config(c));
    if (h.search && h.offset != 0) {
        h.stage = HomeStage::offsetting;
        retarget(c, h.home_point + h.offset);
        return true;
    }
    h.stage = HomeStage::none;
    return false;
}

// Past the home point at speed: slow to the correction speed, turn and come back to the point.
void begin_correction(Chip& c) {
    MotionState& s = c.motion;
    HomeState& h = c.home;
    const double correction = std::max<double>(1.0, c.live[kCorrectionSpeed] & c.units().speed_mask());
    h.stage = HomeStage::correcting;
    s.start_speed = correction;
    s.max_speed = correction;
    s.reversing = true;
    s.reverse_amount = h.home_point;
    s.target = s.done + kUntilTurned;
    begin_deceleration(c, false);
}

}  // namespace

HomeConfig read_home_config(const Chip& c) {
    const std::uint32_t env1 = c.env[kEnv1Index];
    const std::uint32_t env3 = c.env[kEnv3Index];
    HomeConfig cfg;
    switch (env3 & kEnv3ModeMask) {
        case 1: cfg.mode = HomeMode::origin_then_index; break;
        case 2: cfg.mode = HomeMode::index_only; break;
        default: cfg.mode = HomeMode::origin; break;
    }
    cfg.index_count = std::max(1, static_cast<int>((env3 >> kEnv3CountShift) & 0xF));
    cfg.correction = (env1 & kEnv1CorrectionPhase) != 0;
    cfg.erc_pulse = (env1 & kEnv1HomeErc) != 0;
    cfg.erc_width = (env1 >> kEnv1ErcWidthShift) & 0x7;
    return cfg;
}

std::int64_t erc_pulse_ns(unsigned width_code) {
    // 10 µs, then four times longer per code: 10 µs .. 40.96 ms.
    std::int64_t ns = 10'000;
    for (unsigned k = 0; k < width_code && k < kErcHeld; ++k) ns *= 4;
    return ns;
}

void begin_home(Chip& c) {
    MotionState& s = c.motion;
    HomeState& h = c.home;
    s.watch = -1;
    h.stage = HomeStage::none;
    h.search = false;
    const OperationKind& kind = decode_kind(c.live[kOperationMode]);
    if (kind.motion != KindMotion::home) return;
    // The pulser home searches search as 0x15 / 0x1D do, paced by the wheel, and end on the home
    // point: the library gives them no offset (their move amount is whatever was left).
    const unsigned operation = kind.paced_by_pulser ? kSearch : kind.code & kOperationBits;
    if (operation == kEscape) {
        h.stage = HomeStage::escaping;
        const std::int64_t off = pulses_off_origin(h.origin, h.place, s.direction);
        if (off <= s.target) s.watch = off;
        return;
    }
    const HomeConfig cfg = read_home_config(c);
    h.stage = HomeStage::searching;
    if (operation == kSearch) {
        h.search = true;
        h.offset = kind.paced_by_pulser ? 0 : static_cast<std::int32_t>(c.live[kMoveAmount]);
        s.target = kSearchRun;
    }
    const auto to_home = pulses_to_home_point(h, cfg.mode, cfg.index_count, h.place, s.direction);
    if (to_home && *to_home <= s.target) s.watch = *to_home;
}

void home_point_met(Chip& c) {
    MotionState& s = c.motion;
    HomeState& h = c.home;
    // A stop (command or limit) already under way ends the operation where the axis comes to rest.
    if (s.stop_at_start_speed) return;
    switch (h.stage) {
        case HomeStage::escaping:
            h.stage = HomeStage::none;
            end_move_here(c);
            return;
        case HomeStage::searching:
            h.home_point = position_in_move(s);
            if (read_home_config(c).correction && !s.manual.paced) {
                begin_correction(c);
            } else if (!reach_home(c)) {
                end_move_here(c);
            }
            return;
        default: return;
    }
}

bool home_move_goes_on(Chip& c) {
    HomeState& h = c.home;
    if (h.stage == HomeStage::correcting) return reach_home(c);
    h.stage = HomeStage::none;
    return false;
}

bool origin_signal(const Chip& c) { return c.inputs.origin || origin_at(c.home.origin, c.home.place); }

bool index_signal(const Chip& c) { return c.inputs.index || index_at(c.home.index, c.home.place); }

}  // namespace qsim
