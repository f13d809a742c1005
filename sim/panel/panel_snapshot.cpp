// The front panel's snapshot of the virtual machine.
#include "panel_snapshot.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <mutex>

#include "../card.h"
#include "../chip/chip.h"
#include "../chip/motion_query.h"
#include "../machine.h"
#include "../ring/four_axis_station.h"
#include "../ring/io_station.h"
#include "../ring/module_station.h"
#include "../ring/one_axis_station.h"
#include "../ring/ring_master_model.h"
#include "panel_clock.h"
#include "panel_inputs.h"
#include "quvex/sim.h"

namespace qsim::panel {

namespace {

constexpr int kPanelAxesPerCard = 4;

const char* const kPanelStateNames[] = {"stopped", "waiting", "constant", "accelerating", "decelerating"};

struct StopReasonName {
    std::uint32_t bit;
    const char* name;
};
constexpr StopReasonName kPanelStopReasons[] = {
    {QUVEX_SIM_STOP_EL_PLUS, "+ limit"},
    {QUVEX_SIM_STOP_EL_MINUS, "- limit"},
    {QUVEX_SIM_STOP_DECELERATING, "decelerating stop"},
    {QUVEX_SIM_STOP_IMMEDIATE, "immediate stop"},
    {QUVEX_SIM_STOP_SIMULTANEOUS, "simultaneous stop"},
    {QUVEX_SIM_STOP_SOFT_LIMIT_PLUS, "+ soft limit"},
    {QUVEX_SIM_STOP_SOFT_LIMIT_MINUS, "- soft limit"},
    {QUVEX_SIM_STOP_COMPARATOR, "comparator"},
};

struct OutputName {
    unsigned bit;
    const char* name;
};
constexpr OutputName kPanelOutputs[] = {{0, "servo_on"}, {1, "alarm_reset"}, {4, "general_out"}, {8, "erc"}};

bool panel_chip_input(const ChipInputs& in, int signal) {
    switch (signal) {
        case QUVEX_SIM_INPUT_EL_PLUS: return in.el_plus;
        case QUVEX_SIM_INPUT_EL_MINUS: return in.el_minus;
        case QUVEX_SIM_INPUT_ORIGIN: return in.origin;
        case QUVEX_SIM_INPUT_INDEX: return in.index;
        case QUVEX_SIM_INPUT_ALARM: return in.alarm;
        case QUVEX_SIM_INPUT_IN_POSITION: return in.in_position;
        case QUVEX_SIM_INPUT_SLOW_DOWN: return in.slow_down;
        case QUVEX_SIM_INPUT_LATCH: return in.latch;
        default: break;
    }
    const int pin = signal - QUVEX_SIM_INPUT_GENERAL0;
    return pin >= 0 && pin < 5 && (in.general & (1u << pin)) != 0;
}

nlohmann::json panel_stop_reasons(std::uint32_t reason) {
    nlohmann::json names = nlohmann::json::array();
    for (const StopReasonName& r : kPanelStopReasons) {
        if ((reason & r.bit) != 0) names.push_back(r.name);
    }
    return names;
}

// Motion of one chip (a card axis or a module axis), brought up to now.
nlohmann::json panel_chip_motion(Chip& chip, Ns now) {
    chip.update(now);
    const unsigned state = chip.operation_state();
    nlohmann::json j;
    j["command"] = chip.command_counter;
    j["position"] = chip.position_counter;
    j["error"] = chip.error_counter;
    j["speed"] = motion_speed_pps(chip);
    j["remaining"] = chip.remaining_pulses();
    j["state"] = state < std::size(kPanelStateNames) ? kPanelStateNames[state] : "unknown";
    j["stop_reason"] = chip.motion.stop_reason;
    j["stop_reasons"] = panel_stop_reasons(chip.motion.stop_reason);
    return j;
}

nlohmann::json panel_axis(Chip& chip, int axis, Ns now) {
    nlohmann::json j = panel_chip_motion(chip, now);
    j["axis"] = axis;
    nlohmann::json inputs = nlohmann::json::object();
    for (const InputControl& row : input_controls()) {
        if (row.scope == InputScope::axis) inputs[row.name] = panel_chip_input(chip.inputs, row.signal);
    }
    j["inputs"] = std::move(inputs);
    nlohmann::json outputs = nlohmann::json::object();
    for (const OutputName& o : kPanelOutputs) outputs[o.name] = (chip.outputs & (1u << o.bit)) != 0;
    j["outputs"] = std::move(outputs);
    return j;
}

const char* panel_station_kind_of(RingStation* s) {
    if (s == nullptr) return nullptr;
    if (dynamic_cast<FourAxisStation*>(s) != nullptr) return "m4";
    if (dynamic_cast<OneAxisStation*>(s) != nullptr) return "m1";
    if (dynamic_cast<IoStation*>(s) != nullptr) return "io";
    return "custom";
}

nlohmann::json panel_ring(Card& card, Ns now) {
    RingMasterModel& ring = card.ring();
    static const char* const kRingModes[] = {"idle", "scanned", "running", "stopped"};
    nlohmann::json j;
    j["mode"] = kRingModes[static_cast<int>(ring.mode())];
    nlohmann::json stations = nlohmann::json::array();
    for (int slave = 0; slave < ringhw::kSlaves; ++slave) {
        RingStation* s = ring.station(slave);
        if (s == nullptr) continue;
        nlohmann::json st;
        st["slave"] = slave;
        st["kind"] = panel_station_kind_of(s);
        st["type"] = s->type_byte();
        st["ident"] = s->identification();
        nlohmann::json bytes = nlohmann::json::array();
        for (int word = 0; word < 2; ++word) {
            const std::uint16_t w = ring.cyclic(slave, word);
            bytes.push_back(w & 0xFF);
            bytes.push_back(w >> 8);
        }
        st["io"] = std::move(bytes);
        nlohmann::json axes = nlohmann::json::array();
        if (auto* module = dynamic_cast<ModuleStation*>(s)) {
            for (int a = 0; a < module->axes(); ++a) {
                nlohmann::json ax = panel_chip_motion(module->chip(a), now);
                ax["axis"] = a;
                axes.push_back(std::move(ax));
            }
        }
        st["axes"] = std::move(axes);
        stations.push_back(std::move(st));
    }
    j["stations"] = std::move(stations);
    return j;
}

nlohmann::json panel_card(Machine& m, Card& card) {
    nlohmann::json j;
    j["device"] = card.device;
    nlohmann::json card_inputs = nlohmann::json::object();
    for (const InputControl& row : input_controls()) {
        if (row.scope != InputScope::card) continue;
        card_inputs[row.name] = input_available(row) ? nlohmann::json(row.card_level_locked(card)) : nlohmann::json();
    }
    j["inputs"] = std::move(card_inputs);
    nlohmann::json axes = nlohmann::json::array();
    for (int a = 0; a < kPanelAxesPerCard; ++a) axes.push_back(panel_axis(card.chip(a), a, m.now));
    j["axes"] = std::move(axes);
    j["ring"] = panel_ring(card, m.now);
    return j;
}

}  // namespace

std::string snapshot_json(int trace_tail) {
    trace_tail = std::clamp(trace_tail, 0, kMaxTraceTail);
    Machine& m = Machine::get();
    nlohmann::json j;
    {
        std::lock_guard<std::mutex> lk(m.mu);
        j["clock"] = {{"now", static_cast<double>(m.now) / 1e9}, {"realtime", m.realtime}, {"scale", m.scale}};
        nlohmann::json cards = nlohmann::json::array();
        for (const auto& d : m.devices) {
            if (d && d->card) cards.push_back(panel_card(m, *d->card));
        }
        j["cards"] = std::move(cards);
        nlohmann::json trace = nlohmann::json::array();
        const std::size_t count = m.trace.records.size();
        for (std::size_t i = count - std::min<std::size_t>(count, static_cast<std::size_t>(trace_tail)); i < count; ++i) {
            const TraceRecord& r = m.trace.records[i];
            trace.push_back({{"time", static_cast<double>(r.time) / 1e9}, {"text", m.trace.text(r)}});
        }
        j["trace"] = std::move(trace);
        j["tracing"] = m.trace.enabled;
    }
    // Taken after the machine lock is let go: a pause holds the panel's clock lock while it reads
    // the machine, so the other order could deadlock.
    j["clock"]["paused"] = panel_clock_state().paused;
    // Text from the library's trace may hold any byte: replace what is not UTF-8.
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

ClockView clock_view() {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    return ClockView{static_cast<double>(m.now) / 1e9, m.realtime, m.scale};
}

bool card_present(int device) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    return m.card_locked(device) != nullptr;
}

const char* station_kind(int device, int slave) {
    if (slave < 0 || slave >= ringhw::kSlaves) return nullptr;
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Card* card = m.card_locked(device);
    return card == nullptr ? nullptr : panel_station_kind_of(card->ring().station(slave));
}

}  // namespace qsim::panel
