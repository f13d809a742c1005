#include "module_station.h"

#include "../machine.h"
#include "quvex/sim_axis.h"
#include "ring_master_model.h"

namespace qsim {
namespace {

constexpr unsigned kDataLow = 4, kDataHigh = 6, kCommandPort = 0;
constexpr unsigned kImmediateStop = 0x49;

// The single-signal inputs by their QUVEX_SIM_INPUT_* number; the general pins follow them.
constexpr bool ChipInputs::*kSignalInputs[] = {
    &ChipInputs::el_plus, &ChipInputs::el_minus,    &ChipInputs::origin,    &ChipInputs::index,
    &ChipInputs::alarm,   &ChipInputs::in_position, &ChipInputs::slow_down, &ChipInputs::latch,
};
constexpr int kSignalInputCount = static_cast<int>(sizeof kSignalInputs / sizeof kSignalInputs[0]);
static_assert(kSignalInputCount == QUVEX_SIM_INPUT_GENERAL0);

std::uint32_t general_pin_bit(int signal) { return 1u << (signal - QUVEX_SIM_INPUT_GENERAL0); }

}  // namespace

ModuleStation::ModuleStation(int device, int slave, const ChipUnits& units, int axes, std::uint8_t type,
                             std::uint32_t ident)
    : chips_(device, units, axes, slave), type_(type), ident_(ident), slave_(slave) {
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
    if (axis < 0 || axis >= axes() || signal < 0 || signal >= QUVEX_SIM_INPUT_COUNT) return false;
    Chip& c = chip(axis);
    // Motion up to now ran with the old level; an end limit reached now stops it from now.
    c.update(Machine::get().now);
    if (signal < kSignalInputCount) {
        c.inputs.*kSignalInputs[signal] = active;
    } else if (active) {
        c.inputs.general |= general_pin_bit(signal);
    } else {
        c.inputs.general &= ~general_pin_bit(signal);
    }
    c.update(Machine::get().now);
    chips_.schedule_next_event(axis);
    refresh();
    return true;
}

std::optional<bool> ModuleStation::input(int axis, int signal) {
    if (axis < 0 || axis >= axes() || signal < 0 || signal >= QUVEX_SIM_INPUT_COUNT) return std::nullopt;
    const ChipInputs& in = chip(axis).inputs;
    if (signal < kSignalInputCount) return in.*kSignalInputs[signal];
    return (in.general & general_pin_bit(signal)) != 0;
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
    c.write_port(kDataLow, static_cast<std::uint16_t>(value & 0xFFFFu));
    c.write_port(kDataHigh, static_cast<std::uint16_t>(value >> 16));
    c.write_port(kCommandPort, static_cast<std::uint16_t>(code));
}

void ModuleStation::command(int axis, unsigned code) { chip(axis).write_port(kCommandPort, static_cast<std::uint16_t>(code)); }

std::uint32_t ModuleStation::read_register(int axis, unsigned code) {
    Chip& c = chip(axis);
    c.write_port(kCommandPort, static_cast<std::uint16_t>(code));
    return static_cast<std::uint32_t>(c.read_port(kDataLow)) | (static_cast<std::uint32_t>(c.read_port(kDataHigh)) << 16);
}

void ModuleStation::reset_chip(int axis) {
    command(axis, kImmediateStop);
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
    const Ns now = Machine::get().now;
    for (int a = 0; a < axes(); ++a) chip(a).update(now);
}

}  // namespace qsim
