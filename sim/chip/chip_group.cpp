#include "chip_group.h"

#include "chip.h"

namespace qsim {

ChipGroup::ChipGroup(Machine& owner, int device_number, const ChipUnits& chip_units, int chips, int station_number)
    : machine(owner),
      device(device_number), units(chip_units), station(station_number), anchor_(std::make_shared<ChipGroup*>(this)) {
    for (int a = 0; a < chips; ++a) chips_.push_back(std::make_unique<Chip>(*this, a));
    pending_.resize(chips_.size());
}

ChipGroup::~ChipGroup() { *anchor_ = nullptr; }

void ChipGroup::schedule_next_event(int axis) {
    Machine& m = machine;
    Pending& p = pending_[static_cast<std::size_t>(axis)];
    // An origin operation is always brought up to date at its events: its home end pulses an
    // output at the instant it happens.
    const bool observed = listener_ || chip(axis).int_factor != 0 || chip(axis).home.stage != HomeStage::none;
    Ns at = observed ? chip(axis).next_event_time() : kNever;
    if (at == kNever && p.timer == 0) return;
    // An event whose time rounds to now (or before) is taken at the next nanosecond, so the
    // timer always moves the chip forward.
    if (at != kNever && at <= m.now) at = m.now + 1;
    if (at == p.at) return;
    if (p.timer != 0) m.cancel_timer_locked(p.timer, p.at);
    p.at = at;
    p.timer = 0;
    if (at == kNever) return;
    std::weak_ptr<ChipGroup*> anchor = anchor_;
    p.timer = m.schedule_locked(at, [anchor, axis, at] {
        const std::shared_ptr<ChipGroup*> alive = anchor.lock();
        if (alive && *alive != nullptr) (*alive)->fire(axis, at);
    });
}

void ChipGroup::fire(int axis, Ns at) {
    Pending& p = pending_[static_cast<std::size_t>(axis)];
    p.timer = 0;
    p.at = kNever;
    chip(axis).update(at);
    // The event may have started or ended motion on other chips of the group (a queued start,
    // a line that ended): each of them asks for its own next event.
    for (int a = 0; a < size(); ++a) schedule_next_event(a);
}

}  // namespace qsim
