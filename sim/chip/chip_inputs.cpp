#include "chip_inputs.h"

#include "quvex/sim_axis.h"

namespace qsim {
namespace {

constexpr int kGeneralPins = 5;

// The single-signal inputs by their QUVEX_SIM_INPUT_* number; the general pins follow them.
constexpr bool ChipInputs::*kSignalInputs[] = {
    &ChipInputs::el_plus, &ChipInputs::el_minus,    &ChipInputs::origin,    &ChipInputs::index,
    &ChipInputs::alarm,   &ChipInputs::in_position, &ChipInputs::slow_down, &ChipInputs::latch,
};
constexpr int kSignalInputCount = static_cast<int>(sizeof kSignalInputs / sizeof kSignalInputs[0]);
static_assert(kSignalInputCount == QUVEX_SIM_INPUT_GENERAL0);
static_assert(QUVEX_SIM_INPUT_GENERAL0 + kGeneralPins == QUVEX_SIM_INPUT_COUNT);

std::uint32_t general_pin_bit(int signal) { return 1u << (signal - QUVEX_SIM_INPUT_GENERAL0); }

}  // namespace

bool ChipInputs::known(int signal) { return signal >= 0 && signal < QUVEX_SIM_INPUT_COUNT; }

bool ChipInputs::set(int signal, bool active) {
    if (!known(signal)) return false;
    if (signal < kSignalInputCount) {
        this->*kSignalInputs[signal] = active;
    } else if (active) {
        general |= general_pin_bit(signal);
    } else {
        general &= ~general_pin_bit(signal);
    }
    return true;
}

std::optional<bool> ChipInputs::get(int signal) const {
    if (!known(signal)) return std::nullopt;
    if (signal < kSignalInputCount) return this->*kSignalInputs[signal];
    return (general & general_pin_bit(signal)) != 0;
}

}  // namespace qsim
