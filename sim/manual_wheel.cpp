#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "card.h"
#include "chip/manual_motion.h"
#include "chip/motion_engine.h"
#include "manual_board.h"

namespace qsim {
namespace {

constexpr std::uint16_t kOneAxisBit = 1u << 6;
constexpr std::uint16_t kEnableBit = 1u << 7;  // the hand wheel's, or the jog and step switches'

constexpr unsigned kAxisShift = 4;
constexpr std::uint16_t kAxisMask = 0x3;

// The turn's timers name the card by its device number: a card removed meanwhile takes nothing.

void begin_turn(Machine& m, int device, std::uint64_t turn, std::int64_t detents, double duration, Ns at) {
    Card* card = m.card_locked(device);
    if (card == nullptr) return;
    const double t = ns_to_seconds(at);
    for (int a = 0; a < card->chips().size(); ++a) {
        Chip& c = card->chip(a);
        c.update(at);
        wheel_turn_begins(c, turn, detents, duration, wheel_reaches(*card, a), t);
        card->chips().schedule_next_event(a);
    }
}

void end_turn(Machine& m, int device, std::uint64_t turn, Ns at) {
    Card* card = m.card_locked(device);
    if (card == nullptr) return;
    const bool wheel_stops = card->manual.wheel_free_at <= at;  // no turn was asked for behind this one
    for (int a = 0; a < card->chips().size(); ++a) {
        Chip& c = card->chip(a);
        c.update(at);
        wheel_turn_ends(c, turn, wheel_stops, ns_to_seconds(at));
        card->chips().schedule_next_event(a);
    }
}

}  // namespace

bool wheel_reaches(Card& card, int axis) {
    const std::uint16_t word = card.board_input(cardport::kManualControl);
    if ((word & kEnableBit) == 0) return false;
    if ((word & kOneAxisBit) == 0) return true;
    return ((word >> kAxisShift) & kAxisMask) == static_cast<unsigned>(axis);
}

bool switches_enabled(Card& card) { return (card.board_input(cardport::kManualControl) & kEnableBit) != 0; }

Ns queue_wheel_turn(Card& card, std::int64_t detents, double rate) {
    Machine& m = card.machine;
    ManualBoard& wheel = card.manual;
    const Ns begin = std::max(m.now, wheel.wheel_free_at);
    const double duration = static_cast<double>(std::llabs(detents)) / rate;
    const Ns end = begin + std::max<Ns>(1, static_cast<Ns>(std::llround(duration * static_cast<double>(kNsPerSecond))));
    const std::uint64_t turn = ++wheel.last_turn;
    const int device = card.device;
    const double exact = ns_to_seconds(end - begin);
    if (begin == m.now) {
        begin_turn(m, device, turn, detents, exact, begin);
    } else {
        m.schedule_locked(begin, [&m, device, turn, detents, exact, begin] { begin_turn(m, device, turn, detents, exact, begin); });
    }
    m.schedule_locked(end, [&m, device, turn, end] { end_turn(m, device, turn, end); });
    wheel.wheel_free_at = end;
    return end;
}

}  // namespace qsim
