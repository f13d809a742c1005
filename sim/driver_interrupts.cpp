#include "driver_interrupts.h"

#include <cstdio>

#include "card.h"
#include "machine.h"

namespace qsim {
namespace {

constexpr std::uint32_t kInterruptStatusRequest = 0x223408;

}  // namespace

void service_axis_interrupt(Card& card, int axis) {
    if (card.bridge_interrupt_written < 0) return;
    Chip& chip = card.chip(axis);
    AxisInterruptWords& kept = card.driver_interrupt_words[static_cast<std::size_t>(axis)];
    kept.events |= chip.event_status;
    kept.stop_reasons |= chip.error_status;
    chip.event_status = 0;
    chip.error_status = 0;

    Machine& m = Machine::get();
    char name[32];
    std::snprintf(name, sizeof name, "PCIQUVEXW%dE%d", card.device, axis);
    auto it = m.named_events.find(name);
    if (it != m.named_events.end()) m.signal_event_locked(it->second);
}

void serve_axis_status_request(Card& card, std::uint32_t code, std::uint32_t* words) {
    AxisInterruptWords& kept = card.driver_interrupt_words[words[1] & 3u];
    if (code == kInterruptStatusRequest) {
        words[1] = kept.events;
        words[2] = kept.stop_reasons;
        kept.events = 0;
    } else {
        words[1] = kept.stop_reasons;
        words[2] = 0;
        kept.stop_reasons = 0;
    }
}

}  // namespace qsim
