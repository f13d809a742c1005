#include "driver_interrupts.h"

#include "chip/chip.h"
#include "driver_requests.h"
#include "machine.h"

namespace qsim {
void DriverInterrupts::service(Chip& chip, bool bridge_armed) {
    if (!bridge_armed) return;
    AxisWords& kept = kept_[static_cast<std::size_t>(chip.axis())];
    kept.events |= chip.event_status;
    kept.stop_reasons |= chip.error_status;
    chip.event_status = 0;
    chip.error_status = 0;

    Machine& m = machine_;
    auto it = m.named_events.find(Machine::driver_event_name(device_, chip.axis()));
    if (it != m.named_events.end()) m.signal_event_locked(it->second);
}

void DriverInterrupts::serve_status_request(std::uint32_t code, std::uint32_t* words) {
    AxisWords& kept = kept_[words[1] & 3u];
    if (code == driver_request::kInterruptStatus) {
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
