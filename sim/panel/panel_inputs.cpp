// The table of panel switches.
#include "panel_inputs.h"

#include "card.h"
#include "quvex/sim.h"

namespace qsim::panel {

namespace {

// The card's emergency input: read under the machine lock, which the snapshot already holds.
bool panel_emergency_level_locked(Card& card) { return card.chips().emergency; }

constexpr InputControl kPanelInputTable[] = {
    {"el_plus", "+ limit", InputScope::axis, QUVEX_SIM_INPUT_EL_PLUS, nullptr, nullptr},
    {"el_minus", "- limit", InputScope::axis, QUVEX_SIM_INPUT_EL_MINUS, nullptr, nullptr},
    {"origin", "origin", InputScope::axis, QUVEX_SIM_INPUT_ORIGIN, nullptr, nullptr},
    {"index", "index", InputScope::axis, QUVEX_SIM_INPUT_INDEX, nullptr, nullptr},
    {"alarm", "alarm", InputScope::axis, QUVEX_SIM_INPUT_ALARM, nullptr, nullptr},
    {"in_position", "in-pos", InputScope::axis, QUVEX_SIM_INPUT_IN_POSITION, nullptr, nullptr},
    {"slow_down", "slow-down", InputScope::axis, QUVEX_SIM_INPUT_SLOW_DOWN, nullptr, nullptr},
    {"latch", "latch", InputScope::axis, QUVEX_SIM_INPUT_LATCH, nullptr, nullptr},
    {"general0", "in 0", InputScope::axis, QUVEX_SIM_INPUT_GENERAL0 + 0, nullptr, nullptr},
    {"general1", "in 1", InputScope::axis, QUVEX_SIM_INPUT_GENERAL0 + 1, nullptr, nullptr},
    {"general2", "in 2", InputScope::axis, QUVEX_SIM_INPUT_GENERAL0 + 2, nullptr, nullptr},
    {"general3", "in 3", InputScope::axis, QUVEX_SIM_INPUT_GENERAL0 + 3, nullptr, nullptr},
    {"general4", "in 4", InputScope::axis, QUVEX_SIM_INPUT_GENERAL0 + 4, nullptr, nullptr},
    {"emergency", "EMG", InputScope::card, -1, quvex_sim_set_emergency, panel_emergency_level_locked},
};

}  // namespace

std::span<const InputControl> input_controls() { return kPanelInputTable; }

const InputControl* find_input_control(std::string_view name) {
    for (const InputControl& row : kPanelInputTable) {
        if (name == row.name) return &row;
    }
    return nullptr;
}

bool input_available(const InputControl& control) {
    return control.scope == InputScope::axis || (control.set_card != nullptr && control.card_level_locked != nullptr);
}

}  // namespace qsim::panel
