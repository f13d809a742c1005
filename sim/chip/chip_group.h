// A group of motion chips that share one command bus: a start command with axis-select bits
// (bits 8-11) starts every selected chip of the group, a simultaneous start or stop reaches them
// all, and a line is driven across them. A card owns a group of four; a four-axis module station
// owns another, a one-axis module station a group of one. The group knows nothing of its owner:
// the owner gives it a device number (for the trace) and, if it wants them, a listener for the
// chips' motion events.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "../machine.h"
#include "chip_units.h"

namespace qsim {

class Chip;

// What a chip reports to its owner when it happens (at the virtual time it happens).
enum class ChipEvent { move_started, ramp_ended, ramp_down_begun, move_ended, queued_move_started };

class ChipGroup {
public:
    using Listener = std::function<void(int axis, ChipEvent event, Ns at)>;

    // `station`: the ring station that owns the group (-1 for a card's own chips); it names the
    // chips in the trace as the station's.
    ChipGroup(Machine& machine, int device, const ChipUnits& units, int chips, int station = -1);
    ~ChipGroup();
    ChipGroup(const ChipGroup&) = delete;
    ChipGroup& operator=(const ChipGroup&) = delete;

    Machine& machine;  // the clock, the timers and the trace the chips run on
    const int device;  // names the group in the trace
    const ChipUnits units;
    const int station;

    TraceSite trace_site(int axis) const { return TraceSite{device, axis, station}; }

    int size() const { return static_cast<int>(chips_.size()); }
    Chip& chip(int axis) { return *chips_[static_cast<std::size_t>(axis)]; }

    // Called under the machine lock for every motion event of a chip of the group.
    void set_listener(Listener listener) { listener_ = std::move(listener); }
    void report(int axis, ChipEvent event, Ns at) {
        if (listener_) listener_(axis, event, at);
    }

    // The owner's interrupt line: called under the machine lock when a chip raises an interrupt
    // its interrupt factors enable.
    using InterruptLine = std::function<void(int axis)>;
    void set_interrupt_line(InterruptLine line) { interrupt_line_ = std::move(line); }
    // A card's chips report their motion events to the driver in its layout; a module's
    // processor has its own and raises them itself.
    bool has_interrupt_line() const { return static_cast<bool>(interrupt_line_); }
    void interrupt(int axis) {
        if (interrupt_line_) interrupt_line_(axis);
    }

    // Asks the machine to bring the chip up to date at its next event time (or cancels the
    // request when it has none). Called after anything that changes a chip's motion. Events are
    // scheduled only while someone takes them: a listener, or a chip with interrupt factors
    // enabled; otherwise the chip is brought up to date lazily, with the same result, whenever it
    // is looked at.
    void schedule_next_event(int axis);

    // Drives switched on among the group's chips: with none, motion skips the drive model.
    int drives_on = 0;
    // The card's emergency input: while active every axis stops and no move starts.
    bool emergency = false;

private:
    void fire(int axis, Ns at);

    std::vector<std::unique_ptr<Chip>> chips_;
    struct Pending {
        Ns at = kNever;
        std::uint64_t timer = 0;
    };
    std::vector<Pending> pending_;
    Listener listener_;
    InterruptLine interrupt_line_;
    // Timers outlive a group removed with its card: they hold only a weak reference to this.
    std::shared_ptr<ChipGroup*> anchor_;
};

}  // namespace qsim
