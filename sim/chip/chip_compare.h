// Comparators, trigger output, latches and general counter of one virtual chip axis.
//
// Each of the five comparators compares a counter (its source) with its data register under its
// condition, both from its configuration byte (env4 for comparators 1..4, env5 for comparator
// 5). A match is the moment the condition becomes true while the axis counts; it is found at the
// exact pulse where the counter gets there: the motion is run up to that pulse (the crossing time
// has a closed form over the current constant-speed stretch or ramp), the match takes its action,
// and the motion goes on from there. See docs/compare.md for the numbers the chip decodes.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "../machine.h"
#include "chip_codes.h"
#include "quvex/sim_compare.h"

namespace qsim {

class Chip;

// Motion stop reasons of comparator stops (MotionState::stop_reason).
namespace compare_stop {
constexpr std::uint32_t kSoftLimitPlus = 1u << 16;
constexpr std::uint32_t kSoftLimitMinus = 1u << 17;
constexpr std::uint32_t kComparator = 1u << 18;  // comparators 3, 4 and 5
}  // namespace compare_stop

struct ChipCompare {
    // This axis's block of the card's compare area, which the driver reads to reload comparator
    // 5 in auto compare; null on chips without one (ring modules).
    std::uint8_t* auto_block = nullptr;
    std::array<std::uint32_t, 5> matches{};  // matches of each comparator since power-up
    // Trigger output: pulses (or level changes) given, the output level, their virtual times.
    std::uint32_t trigger_pulses = 0;
    bool trigger_level = false;
    double last_trigger = -1;           // seconds; -1 before the first
    std::vector<double> trigger_times;  // the first kMaxTriggerTimes, seconds
    static constexpr std::size_t kMaxTriggerTimes = 4096;
};

// Main status bits 8-12: comparator n's condition holds for the counters as they are now.
std::uint16_t comparator_status_bits(const Chip& c);

// Runs the chip's motion up to `until` seconds (Chip::update), stopping on the way at every
// comparator match to take its action.
void integrate_watching_comparators(Chip& c, double until);

// Virtual time of the next comparator match of the running motion, kNever when none is due.
Ns comparator_event_time(const Chip& c);

// The latch input's level: the edge the latch logic (env1 bit 23) picks captures the counters
// into the latch registers.
void set_latch_input(Chip& c, bool level);

// The error counter moved from `before` (a drive's feedback): a comparator watching it whose
// condition became true matches at `at` seconds.
void error_counter_moved(Chip& c, std::int32_t before, double at);
// True when some comparator watches the error counter (source 0b10): a quick look at the
// source fields of env4 (the two low bits of each byte, so one mask finds it in any of them)
// and env5 (its two low bits). Inline because the engine asks it at each span a drive follows.
inline bool error_counter_watched_by(const std::array<std::uint32_t, 7>& env) {
    const std::uint32_t env4 = env[chipcode::kEnv4Index];
    if (((env4 >> 1) & ~env4 & 0x01010101u) != 0) return true;
    return (env[chipcode::kEnv5Index] & 0x3u) == 2u;
}
// The size of error counter at which the next error-counter check (condition 5) matches; -1
// when none waits.
double error_check_level(const Chip& c);

// True for a register write that can change what the comparators see (configuration, data,
// counters); the chip then asks for its next event again.
bool affects_comparators(unsigned write_code);

// What the control interface reports of the comparators and the trigger output.
quvex_sim_compare_info compare_info(const ChipCompare& compare);

}  // namespace qsim
