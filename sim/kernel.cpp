// Kernel objects of the virtual machine as the platform adapter uses them: handles on devices,
// events and threads, waits and sleeps, and the driver's resource requests.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <variant>
#include <vector>

#include "card.h"
#include "driver_requests.h"
#include "machine.h"
#include "os.h"
#include "quvex/sim.h"
#include "threads.h"

namespace qsim {
namespace {

struct DeviceRef {
    int number;
};
using HandleObject = std::variant<DeviceRef, std::shared_ptr<Event>, std::shared_ptr<SimThread>>;

// Handle table; guarded by the machine lock.
std::map<os::Handle, HandleObject>& handles() {
    static auto* table = new std::map<os::Handle, HandleObject>();
    return *table;
}

// Values given back by CloseHandle, the latest on top. A new object takes the latest freed
// value before a fresh one, as the Windows handle table does, so a value the library kept after
// closing it may come to name another object.
std::vector<os::Handle>& freed_handles() {
    static auto* values = new std::vector<os::Handle>();
    return *values;
}

os::Handle add_handle(HandleObject obj) {
    static os::Handle next = 0x100;
    os::Handle h = 0;
    if (freed_handles().empty()) {
        next += 4;
        h = next;
    } else {
        h = freed_handles().back();
        freed_handles().pop_back();
    }
    handles().emplace(h, std::move(obj));
    return h;
}

template <typename T>
T* lookup(os::Handle h) {
    auto it = handles().find(h);
    if (it == handles().end()) return nullptr;
    return std::get_if<T>(&it->second);
}

int parse_device_name(const char* name) {
    int d = -1;
    char tail = 0;
    if (name == nullptr || std::sscanf(name, "\\\\.\\QUVEXSYSW%d%c", &d, &tail) != 1) return -1;
    return d;
}

}  // namespace

Device* Machine::device_locked(int number) {
    if (number < 0 || number >= static_cast<int>(devices.size())) return nullptr;
    return devices[static_cast<std::size_t>(number)].get();
}

Card* Machine::card_locked(int number) {
    Device* d = device_locked(number);
    return d == nullptr ? nullptr : d->card.get();
}

Chip* Machine::chip_locked(int device, int axis) {
    Card* card = card_locked(device);
    if (card == nullptr || axis < 0 || axis >= card->chips().size()) return nullptr;
    return &card->chip(axis);
}

std::string Machine::driver_event_name(int device, int event) {
    char name[32];
    std::snprintf(name, sizeof name, "PCIQUVEXW%dE%d", device, event);
    return name;
}

std::shared_ptr<Event> Machine::driver_event_locked(const std::string& name) {
    auto& slot = named_events[name];
    if (!slot) {
        slot = std::make_shared<Event>();
        slot->name = name;
    }
    return slot;
}

void Machine::signal_event_locked(const std::shared_ptr<Event>& ev) {
    ev->signalled = true;
    ++ev->sets;
    wake_ready_locked();
}

namespace os {

Handle device_open(const char* name) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Device* d = m.device_locked(parse_device_name(name));
    // The device is opened unshared: a second open fails while the first handle lives.
    if (d == nullptr || (d->faults & QUVEX_SIM_FAIL_OPEN) != 0 || d->open_count > 0) return 0;
    ++d->open_count;
    return add_handle(DeviceRef{d->number});
}

bool device_request(Handle device, std::uint32_t code, std::uint32_t* words) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    DeviceRef* ref = lookup<DeviceRef>(device);
    Device* d = ref == nullptr ? nullptr : m.device_locked(ref->number);
    bool ok = d != nullptr && d->card != nullptr;
    if (ok) {
        Card& card = *d->card;
        switch (code) {
            case driver_request::kCardResources: {
                if ((d->faults & QUVEX_SIM_FAIL_QUERY1) != 0) { ok = false; break; }
                const auto area = static_cast<std::uint64_t>(card.compare_area());
                words[0] = static_cast<std::uint32_t>(area);
                words[1] = static_cast<std::uint32_t>(area >> 32);
                words[2] = card.bridge_base;
                words[3] = card.chip_base;
                words[4] = card.board_base;
                break;
            }
            case driver_request::kRingResources: {
                if ((d->faults & QUVEX_SIM_FAIL_QUERY2) != 0) { ok = false; break; }
                const auto window = static_cast<std::uint64_t>(card.ring_window());
                words[6] = 0x00010000u | static_cast<std::uint32_t>(d->number);  // driver revision and slot
                words[7] = static_cast<std::uint32_t>(window);
                words[9] = static_cast<std::uint32_t>(window >> 32);
                words[8] = card.irq;
                break;
            }
            case driver_request::kInterruptStatus:
            case driver_request::kErrorStatus: card.driver_interrupts.serve_status_request(code, words); break;
            default: ok = false;
        }
    }
    const int number = ref == nullptr ? -1 : ref->number;
    m.trace.access(m.now, AccessKind::request, code, ok ? 1u : 0u, number);
    m.trace.event(m.now, TraceKind::request, TraceSite::of_device(number), code, ok ? 1u : 0u);
    return ok;
}

void handle_close(Handle h) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    auto it = handles().find(h);
    if (it == handles().end()) return;
    if (auto* dev = std::get_if<DeviceRef>(&it->second)) {
        if (Device* d = m.device_locked(dev->number)) d->open_count = d->open_count > 0 ? d->open_count - 1 : 0;
    }
    handles().erase(it);
    freed_handles().push_back(h);
}

Handle event_open(const char* name) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    if (name == nullptr) return 0;
    auto it = m.named_events.find(name);
    if (it == m.named_events.end()) return 0;
    return add_handle(it->second);
}

Handle event_create(const char* name, bool manual_reset, bool initially_set) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    if (name != nullptr) {
        auto it = m.named_events.find(name);
        if (it != m.named_events.end()) return add_handle(it->second);  // an existing name is opened
    }
    auto ev = std::make_shared<Event>();
    ev->manual_reset = manual_reset;
    ev->signalled = initially_set;
    if (name != nullptr) {
        ev->name = name;
        m.named_events[name] = ev;
    }
    return add_handle(ev);
}

bool event_set(Handle h) {
    Machine& m = Machine::get();
    std::unique_lock<std::mutex> lk(m.mu);
    auto* ev = lookup<std::shared_ptr<Event>>(h);
    if (ev == nullptr) return false;
    if ((*ev)->deaf) return true;
    m.signal_event_locked(*ev);
    m.settle(lk);
    return true;
}

bool event_reset(Handle h) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    auto* ev = lookup<std::shared_ptr<Event>>(h);
    if (ev == nullptr) return false;
    (*ev)->signalled = false;
    return true;
}

WaitOutcome wait_any(const Handle* events, std::size_t count, std::uint32_t timeout_ms, std::size_t* index) {
    Machine& m = Machine::get();
    std::unique_lock<std::mutex> lk(m.mu);
    WaitSpec spec;
    if (count == 0 || events == nullptr) return kFailed;
    for (std::size_t i = 0; i < count; ++i) {
        auto* ev = lookup<std::shared_ptr<Event>>(events[i]);
        if (ev == nullptr) return kFailed;  // an invalid handle fails the wait at once
        spec.events.push_back(*ev);
    }
    spec.deadline = timeout_ms == kInfinite ? kNever : m.now + static_cast<Ns>(timeout_ms) * kNsPerMs;
    std::size_t which = 0;
    const WaitResult r = m.wait(lk, std::move(spec), &which);
    if (r == WaitResult::signalled) {
        if (index != nullptr) *index = which;
        return kSignalled;
    }
    return kTimeout;
}

void sleep_ms(std::uint32_t ms) {
    Machine& m = Machine::get();
    std::unique_lock<std::mutex> lk(m.mu);
    sleep_current(m, lk, ms);
}

Handle thread_create(ThreadFunction fn, void* arg, std::uint32_t* id) {
    Machine& m = Machine::get();
    std::unique_lock<std::mutex> lk(m.mu);
    auto t = start_sim_thread(m, fn, arg);
    if (!t) return 0;
    if (id != nullptr) *id = t->id;
    const Handle h = add_handle(t);
    m.settle(lk);
    return h;
}

bool thread_set_priority(Handle h, int priority) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    auto* t = lookup<std::shared_ptr<SimThread>>(h);
    if (t == nullptr) return false;
    (*t)->priority = priority;
    return true;
}

bool thread_suspend(Handle h) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    auto* t = lookup<std::shared_ptr<SimThread>>(h);
    if (t == nullptr || (*t)->finished) return false;
    ++(*t)->suspend_count;  // takes effect at the thread's next wait or sleep
    return true;
}

int thread_suspend_count(Handle h) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    auto* t = lookup<std::shared_ptr<SimThread>>(h);
    return t == nullptr ? -1 : (*t)->suspend_count;
}

bool thread_resume(Handle h) {
    Machine& m = Machine::get();
    std::unique_lock<std::mutex> lk(m.mu);
    auto* t = lookup<std::shared_ptr<SimThread>>(h);
    if (t == nullptr) return false;
    if ((*t)->suspend_count > 0) --(*t)->suspend_count;
    m.wake_ready_locked();
    m.settle(lk);
    return true;
}

bool thread_terminate(Handle h, std::uint32_t exit_code) {
    Machine& m = Machine::get();
    std::unique_lock<std::mutex> lk(m.mu);
    auto* found = lookup<std::shared_ptr<SimThread>>(h);
    if (found == nullptr) return false;
    std::shared_ptr<SimThread> t = *found;
    if (t->finished || t->terminate_requested) return true;
    t->terminate_requested = true;
    t->terminate_code = exit_code;
    ++m.terminated_threads;
    const bool blocked = t->waiting != nullptr;
    m.wake_ready_locked();
    // A thread blocked in a wait ends there; like the real call, return once it is gone. A thread
    // running outside the machine ends at its next wait or sleep.
    if (blocked) m.cv.wait_for(lk, std::chrono::seconds(5), [&] { return t->finished; });
    return true;
}

}  // namespace os
}  // namespace qsim
