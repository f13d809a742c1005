// The C control interface of the axes' servo drives and the card's emergency input.
#include <cmath>

#include "chip/signal_stops.h"
#include "control_api.h"
#include "quvex/sim.h"

using namespace qsim;

namespace {

bool drive_value_ok(double v) { return std::isfinite(v) && v >= 0; }

}  // namespace

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_set_drive(int device, int axis, const quvex_sim_drive* drive) {
    return with_chip(device, axis, [&](Chip& chip) {
        DriveParams params;
        if (drive != nullptr) {
            if (!drive_value_ok(drive->time_constant) || !drive_value_ok(drive->in_position_band) ||
                !drive_value_ok(drive->settling_time) || !drive_value_ok(drive->deviation_limit)) {
                return kRefused;
            }
            params = {drive->time_constant, drive->in_position_band, drive->settling_time, drive->deviation_limit};
        }
        const Ns now = chip.machine().now;
        chip.update(now);
        switch_drive(chip, drive != nullptr, params, ns_to_seconds(now));
        chip.group().schedule_next_event(axis);
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_drive_state_get(int device, int axis, quvex_sim_drive_state* out) {
    return with_chip(device, axis, [&](Chip& chip) {
        if (out == nullptr) return kRefused;
        chip.update(chip.machine().now);
        const ServoDrive& d = chip.drive;
        out->on = d.on ? 1 : 0;
        out->deviation = d.deviation;
        out->motor = d.motor;
        out->alarm = d.alarm ? 1 : 0;
        out->in_position = d.on && in_position_signal(chip) ? 1 : 0;
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_set_emergency(int device, int active) {
    return with_card(device, [&](Card& card) {
        ChipGroup& group = card.chips();
        for (int a = 0; a < group.size(); ++a) group.chip(a).update(card.machine.now);
        group.emergency = active != 0;
        if (group.emergency) stop_group_for_emergency(group);
        for (int a = 0; a < group.size(); ++a) group.schedule_next_event(a);
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_emergency(int device) {
    return with_card(device, [](Card& card) { return card.chips().emergency ? 1 : 0; });
}

}  // extern "C"
