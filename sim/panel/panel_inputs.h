// The switches of the front panel: every input a person can flip at the machine, in one table.
// The page draws a lamp per row, the snapshot reads each row's level and the input endpoint sets
// it, so a new input of the virtual machine is one new row here.
#pragma once

#include <span>
#include <string_view>

namespace qsim {

class Card;

namespace panel {

enum class InputScope { axis, card };

struct InputControl {
    const char* name;   // the name in snapshots and request bodies
    const char* label;  // the lamp's caption on the page
    InputScope scope;
    int signal;         // QUVEX_SIM_INPUT_* of an axis input, -1 for a card input
    // A card input: its setter on the control interface and its level, read under the machine
    // lock. Both null where the virtual card has no such input: the page shows it absent and the
    // endpoint answers 404.
    int (*set_card)(int device, int active);
    bool (*card_level_locked)(Card& card);
};

std::span<const InputControl> input_controls();
// The row named `name`, or null.
const InputControl* find_input_control(std::string_view name);
bool input_available(const InputControl& control);

}  // namespace panel
}  // namespace qsim
