#include "module_station.h"

#include "../machine.h"
#include "ring_master_model.h"

namespace qsim {
ModuleStation::ModuleStation(Machine& machine, int device, int slave, const ChipUnits& units, int axes,
                             std::uint8_t type, std::uint32_t ident)
    : chips_(machine, device, units, axes, slave), type_(type), ident_(ident), slave_(slave) {
    chips_.set_listener([this](int axis, ChipEvent event, Ns) {
        motion_event(axis, event);
        refresh();
    });
}

void ModuleStation::on_plug(StationLink& link) {
    ring_ = &link.ring();
    slave_ = link.number();
    refresh();
}

std::optional<StationWords> ModuleStation::on_message(StationLink&, const StationWords& words) {
    update_chips();
    StationWords reply = decode(words);
    refresh();
    return reply;
}

void ModuleStation::on_cyclic_write(StationLink&, int word, std::uint16_t value) {
    update_chips();
    take_outputs(word, value);
    refresh();
}

std::uint16_t ModuleStation::read_cyclic(StationLink& link, int word) {
    update_chips();
    const std::uint16_t v = compose_cyclic(word, link.cyclic(word));
    link.set_cyclic(word, v);
    return v;
}

bool ModuleStation::set_input(int axis, int signal, bool active) {
    if (axis < 0 || axis >= axes() || !ChipInputs::known(signal)) return false;
    Chip& c = chip(axis);
    // Motion up to now ran with the old level; an end limit reached now stops it from now.
    c.update(chips_.machine.now);
    c.inputs.set(signal, active);
    c.update(chips_.machine.now);
    chips_.schedule_next_event(axis);
    refresh();
    return true;
}

std::optional<bool> ModuleStation::input(int axis, int signal) {
    if (axis < 0 || axis >= axes()) return std::nullopt;
    return chip(axis).inputs.get(signal);
}

void ModuleStation::refresh() {
    if (ring_ == nullptr) return;
    for (int word = 0; word < 2; ++word) {
        ring_->set_cyclic(slave_, word, compose_cyclic(word, ring_->cyclic(slave_, word)));
    }
}

void ModuleStation::reschedule(int axis) { chips_.schedule_next_event(axis); }

void ModuleStation::write_register(int axis, unsigned code, std::uint32_t value) {
    Chip& c = chip(axis);
    c.write_port(chipcode::kDataLowPort, static_cast<std::uint16_t>(value & 0xFFFFu));
    c.write_port(chipcode::kDataHighPort, static_cast<std::uint16_t>(value >> 16));
    c.write_port(chipcode::kCommandPort, static_cast<std::uint16_t>(code));
}

void ModuleStation::command(int axis, unsigned code) { chip(axis).write_port(chipcode::kCommandPort, static_cast<std::uint16_t>(code)); }

std::uint32_t ModuleStation::read_register(int axis, unsigned code) {
    Chip& c = chip(axis);
    c.write_port(chipcode::kCommandPort, static_cast<std::uint16_t>(code));
    return static_cast<std::uint32_t>(c.read_port(chipcode::kDataLowPort)) |
           (static_cast<std::uint32_t>(c.read_port(chipcode::kDataHighPort)) << 16);
}

void ModuleStation::reset_chip(int axis) {
    command(axis, chipcode::kImmediateStop);
    Chip& c = chip(axis);
    c.buffered.fill(0);
    c.buffered_written = 0;
    c.live.fill(0);
    c.env.fill(0);
    c.int_factor = 0;
    c.command_counter = c.position_counter = c.error_counter = c.general_counter = 0;
    c.comparator.fill(0);
    c.latch.fill(0);
    c.outputs = 0;
    c.data_low = c.data_high = 0;
    c.event_status = c.error_status = 0;
    c.motion.stop_reason = 0;
    c.motion.queued.waiting = false;
    chips_.schedule_next_event(axis);
}

void ModuleStation::update_chips() {
    const Ns now = chips_.machine.now;
    for (int a = 0; a < axes(); ++a) chip(a).update(now);
}

}  // namespace qsim
