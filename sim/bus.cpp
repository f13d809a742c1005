// The I/O bus and the mapped windows: every port or window access finds the card that decodes it.
#include "card.h"
#include "machine.h"
#include "os.h"

namespace qsim {
namespace {

Card* card_for_port(Machine& m, std::uint16_t port) {
    const int device = Card::device_of_port(port);
    if (device < 0 || static_cast<std::size_t>(device) >= m.devices.size()) return nullptr;
    const auto& d = m.devices[static_cast<std::size_t>(device)];
    return d && d->card && d->card->decodes(port) ? d->card.get() : nullptr;
}

Card* card_for_window(Machine& m, std::uintptr_t address) {
    for (auto& d : m.devices) {
        if (!d || !d->card) continue;
        const RingMasterModel& w = d->card->ring();
        if (address >= w.base() && address < w.base() + w.size()) return d->card.get();
    }
    return nullptr;
}

}  // namespace

namespace os {

std::uint8_t port_in8(std::uint16_t port) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Card* c = card_for_port(m, port);
    const std::uint8_t v = c ? c->in8(port) : 0xFF;
    m.trace.access(m.now, AccessKind::in8, port, v, c ? c->device : -1);
    if (!c) m.trace.event(m.now, TraceKind::port_read8, TraceSite{}, port, v);
    return v;
}

void port_out8(std::uint16_t port, std::uint8_t value) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Card* c = card_for_port(m, port);
    m.trace.access(m.now, AccessKind::out8, port, value, c ? c->device : -1);
    if (c) c->out8(port, value);
    else m.trace.event(m.now, TraceKind::port_write8, TraceSite{}, port, value);
}

std::uint16_t port_in16(std::uint16_t port) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Card* c = card_for_port(m, port);
    const std::uint16_t v = c ? c->in16(port) : 0xFFFF;
    m.trace.access(m.now, AccessKind::in16, port, v, c ? c->device : -1);
    if (!c) m.trace.event(m.now, TraceKind::port_read16, TraceSite{}, port, v);
    return v;
}

void port_out16(std::uint16_t port, std::uint16_t value) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Card* c = card_for_port(m, port);
    m.trace.access(m.now, AccessKind::out16, port, value, c ? c->device : -1);
    if (c) c->out16(port, value);
    else m.trace.event(m.now, TraceKind::port_write16, TraceSite{}, port, value);
}

std::uint16_t window_read16(std::uintptr_t address) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Card* c = card_for_window(m, address);
    if (c == nullptr) return 0xFFFF;  // nothing mapped there: the bus floats
    const auto offset = static_cast<std::uint32_t>(address - c->ring().base());
    const std::uint16_t v = c->ring().read16(offset);
    m.trace.access(m.now, AccessKind::window_read, offset, v, c->device);
    return v;
}

void window_write16(std::uintptr_t address, std::uint16_t value) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Card* c = card_for_window(m, address);
    if (c == nullptr) return;
    const auto offset = static_cast<std::uint32_t>(address - c->ring().base());
    m.trace.access(m.now, AccessKind::window_write, offset, value, c->device);
    c->ring().write16(offset, value);
}

}  // namespace os
}  // namespace qsim
