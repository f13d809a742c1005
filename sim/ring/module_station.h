// A motion module on the ring: a station that carries its own motion chips (a chip group in the
// module's units) behind the ring messages, and shares four cyclic bytes with the host.
//
// The base keeps what every module has: the chip group, the module's processor reaching each
// chip through the chip's own ports (data words, then the code on the command port), the
// machine-side inputs of each axis, and cyclic words that follow the chips' motion (they are
// recomposed at every motion event, message, host write and host read). A module of a given
// kind brings its message format (`decode`), its cyclic byte layout (`compose_cyclic`) and what
// it does with the bytes the host writes (`take_outputs`).
#pragma once

#include <cstdint>
#include <optional>

#include "../chip/chip.h"
#include "station.h"

namespace qsim {

class RingMasterModel;

// Codes every motion module carries out on an axis itself instead of passing them to its chip.
namespace modulecode {
constexpr unsigned kReset = 0x04;  // the axis's chip as at power-up (ModuleStation::reset_chip)
constexpr unsigned kClearCommandCounter = 0x20;
constexpr unsigned kClearPositionCounter = 0x21;
}  // namespace modulecode

class ModuleStation : public RingStation {
public:
    ModuleStation(Machine& machine, int device, int slave, const ChipUnits& units, int axes, std::uint8_t type,
                  std::uint32_t ident);

    std::uint8_t type_byte() const override { return type_; }
    std::uint32_t identification() const override { return ident_; }
    void on_plug(StationLink& link) override;
    std::optional<StationWords> on_message(StationLink& link, const StationWords& words) override;
    void on_cyclic_write(StationLink& link, int word, std::uint16_t value) override;
    std::uint16_t read_cyclic(StationLink& link, int word) override;

    int axes() const { return chips_.size(); }
    Chip& chip(int axis) { return chips_.chip(axis); }

    // A machine-side input of an axis (a QUVEX_SIM_INPUT_* signal; a module kind may know more).
    // False for an axis or signal the module does not have.
    virtual bool set_input(int axis, int signal, bool active);
    virtual std::optional<bool> input(int axis, int signal);

    // Recomposes both cyclic words into the master (the chips as they are now).
    void refresh();
    // Something outside the chip's ports changed an axis's motion or inputs: its next event is
    // looked for again.
    void reschedule(int axis);

protected:
    // The message words; returns the reply words.
    virtual StationWords decode(const StationWords& words) = 0;
    // Cyclic word 0 or 1 as the module shows it; `stored` holds what the host last wrote.
    virtual std::uint16_t compose_cyclic(int word, std::uint16_t stored) = 0;
    // The host wrote cyclic word 0 or 1.
    virtual void take_outputs(int /*word*/, std::uint16_t /*value*/) {}
    // A motion event of a chip, at the virtual time it happens (the chip is up to date).
    virtual void motion_event(int /*axis*/, ChipEvent /*event*/) {}

    // The module's processor on a chip's ports.
    void write_register(int axis, unsigned code, std::uint32_t value);
    void command(int axis, unsigned code);
    std::uint32_t read_register(int axis, unsigned code);
    // The chip as at power-up: stopped at once, registers, counters, outputs and pending
    // events cleared; its inputs stay as the machine drives them.
    void reset_chip(int axis);
    void update_chips();

private:
    ChipGroup chips_;
    std::uint8_t type_;
    std::uint32_t ident_;
    RingMasterModel* ring_ = nullptr;  // set when plugged; the master owns the station
    int slave_;
};

}  // namespace qsim
