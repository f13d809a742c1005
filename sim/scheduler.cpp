// The virtual clock and the threads of the virtual machine.
//
// Manual mode: time moves only when the application (a thread the library did not create)
// sleeps, waits with a time-out, or when a test calls quvex_sim_advance. Before every step the
// machine lets the library's own threads run until each of them is blocked, so what they do at
// one instant is done before time moves on, and the result does not depend on the host's
// scheduling. Real-time mode: a ticker moves time with the wall clock; everybody just waits.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "card.h"
#include "machine.h"
#include "panel/panel_server.h"
#include "os.h"
#include "threads.h"

namespace qsim {
namespace {

thread_local SimThread* tl_self = nullptr;

// A library thread stuck outside the machine (computing, or blocked on something the machine
// cannot see) must not hang the clock for ever.
constexpr auto kQuiescenceGuard = std::chrono::seconds(5);

// Thrown out of a wait or sleep of a thread that has been terminated from outside; caught by the
// thread's trampoline, so it never leaves the thread.
struct ThreadTerminated {};

}  // namespace

// Ticker of real-time mode.
class RealtimeTicker {
public:
    static void run(Machine* m, std::uint64_t generation) {
        using clock = std::chrono::steady_clock;
        const auto wall0 = clock::now();
        Ns virtual0;
        {
            std::lock_guard<std::mutex> lk(m->mu);
            virtual0 = m->now;
        }
        for (;;) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
            std::lock_guard<std::mutex> lk(m->mu);
            if (!m->realtime || generation != ticker_generation()) return;
            const double elapsed = std::chrono::duration<double>(clock::now() - wall0).count();
            const Ns target = virtual0 + static_cast<Ns>(elapsed * m->scale * 1e9);
            if (target > m->now) {
                m->fire_due_locked(target);
                m->now = target;
                m->wake_ready_locked();
            }
        }
    }
    static std::uint64_t& ticker_generation() {
        static std::uint64_t g = 0;
        return g;
    }
};

Machine& Machine::get() {
    // Never destroyed: detached library threads may still be blocked on it at exit.
    static Machine* machine = new Machine();
    // The front panel comes up with the machine when QUVEX_PANEL names an address.
    static const bool panel_checked = (panel::start_from_environment(), true);
    (void)panel_checked;
    return *machine;
}

Machine::Machine() { epoch_seconds = static_cast<std::int64_t>(std::time(nullptr)); }

std::uint64_t Machine::schedule_locked(Ns at, std::function<void()> fire) {
    const std::uint64_t id = next_timer_id_++;
    timers_.emplace(at, Timer{at, id, std::move(fire)});
    cv.notify_all();
    return id;
}

void Machine::cancel_timer_locked(std::uint64_t id) {
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->second.id == id) {
            timers_.erase(it);
            return;
        }
    }
}

void Machine::cancel_timer_locked(std::uint64_t id, Ns at) {
    const auto range = timers_.equal_range(at);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second.id == id) {
            timers_.erase(it);
            return;
        }
    }
}

void Machine::fire_due_locked(Ns upto) {
    while (!timers_.empty() && timers_.begin()->first <= upto) {
        auto node = timers_.extract(timers_.begin());
        now = std::max(now, node.key());
        node.mapped().fire();
    }
}

Ns Machine::next_deadline_locked() const {
    Ns next = timers_.empty() ? kNever : timers_.begin()->first;
    for (const Waiter* w : waiters_) {
        if (w->thread == nullptr || w->result != WaitResult::pending) continue;
        if (w->thread->suspend_count > 0) continue;
        if (w->spec.deadline > now) next = std::min(next, w->spec.deadline);
    }
    return next;
}

void Machine::wake_ready_locked() {
    bool clock_driver_woken = false;
    for (Waiter* w : waiters_) {
        if (w->result != WaitResult::pending) continue;
        SimThread* t = w->thread;
        if (t != nullptr && t->terminate_requested) {
            w->result = WaitResult::terminated;
        } else if (t != nullptr && t->suspend_count > 0) {
            continue;
        } else {
            for (std::size_t i = 0; i < w->spec.events.size(); ++i) {
                Event& ev = *w->spec.events[i];
                if (!ev.signalled) continue;
                if (!ev.manual_reset) ev.signalled = false;
                w->result = WaitResult::signalled;
                w->index = i;
                break;
            }
            if (w->result == WaitResult::pending && now >= w->spec.deadline) w->result = WaitResult::timeout;
        }
        if (w->result != WaitResult::pending) {
            if (t != nullptr) ++running_background;  // runnable from this instant on
            if (w->drives_clock) {
                clock_driver_woken = true;
            } else {
                w->woken.notify_one();
            }
        }
    }
    if (clock_driver_woken) cv.notify_all();
}

void Machine::wait_quiescent(std::unique_lock<std::mutex>& lk) {
    if (!cv.wait_for(lk, kQuiescenceGuard, [&] { return running_background <= 0; })) {
        std::fprintf(stderr, "quvex sim: a library thread kept running for 5 s; the clock moves on\n");
    }
}

void Machine::settle(std::unique_lock<std::mutex>& lk) {
    if (!realtime && tl_self == nullptr) wait_quiescent(lk);
}

void Machine::advance_to(std::unique_lock<std::mutex>& lk, Ns target) {
    if (realtime) {
        WaitSpec spec;
        spec.deadline = target;
        wait(lk, std::move(spec), nullptr);
        return;
    }
    for (;;) {
        wait_quiescent(lk);
        const Ns next = next_deadline_locked();
        if (next > target) break;
        fire_due_locked(next);
        now = std::max(now, next);
        wake_ready_locked();
    }
    if (target > now) now = target;
    wake_ready_locked();
    wait_quiescent(lk);
}

WaitResult Machine::wait(std::unique_lock<std::mutex>& lk, WaitSpec spec, std::size_t* index) {
    SimThread* self = tl_self;
    if (self != nullptr && self->terminate_requested) throw ThreadTerminated{};
    Waiter w;
    w.thread = self;
    w.spec = std::move(spec);
    w.drives_clock = self == nullptr && !realtime;
    if (self != nullptr) {
        --running_background;
        self->waiting = &w;
    }
    waiters_.push_back(&w);
    wake_ready_locked();
    cv.notify_all();

    if (!w.drives_clock) {
        w.woken.wait(lk, [&] { return w.result != WaitResult::pending; });
    } else {
        // An application thread in manual mode drives the clock until its wait is over.
        while (w.result == WaitResult::pending) {
            wait_quiescent(lk);
            if (w.result != WaitResult::pending) break;
            const Ns next = std::min(next_deadline_locked(), w.spec.deadline);
            if (next == kNever) {
                cv.wait(lk, [&] { return w.result != WaitResult::pending || next_deadline_locked() != kNever; });
                continue;
            }
            fire_due_locked(next);
            now = std::max(now, next);
            wake_ready_locked();
        }
        wait_quiescent(lk);
    }
    waiters_.erase(std::find(waiters_.begin(), waiters_.end(), &w));
    if (self != nullptr) self->waiting = nullptr;
    if (w.result == WaitResult::terminated) throw ThreadTerminated{};
    if (index != nullptr) *index = w.index;
    return w.result;
}

void Machine::set_realtime(bool on, double new_scale) {
    std::lock_guard<std::mutex> lk(mu);
    scale = new_scale > 0 ? new_scale : 1.0;
    if (on == realtime) return;
    realtime = on;
    ++RealtimeTicker::ticker_generation();
    if (on) std::thread(RealtimeTicker::run, this, RealtimeTicker::ticker_generation()).detach();
    cv.notify_all();
}

void Machine::end_threads_locked(std::unique_lock<std::mutex>& lk) {
    std::vector<std::shared_ptr<SimThread>> blocked;
    for (const auto& t : threads) {
        if (t->finished) continue;
        t->terminate_requested = true;
        if (t->waiting != nullptr) blocked.push_back(t);
    }
    wake_ready_locked();
    // Those blocked in a wait end there at once; one running outside the machine ends at its
    // next wait or sleep.
    for (const auto& t : blocked) cv.wait_for(lk, kQuiescenceGuard, [&] { return t->finished; });
    threads.clear();
}

// ---- threads ----

namespace {

void thread_trampoline(std::shared_ptr<SimThread> t, os::ThreadFunction fn, void* arg) {
    tl_self = t.get();
    std::uint32_t rc;
    try {
        rc = fn(arg);
    } catch (const ThreadTerminated&) {
        rc = t->terminate_code;
    }
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    t->finished = true;
    t->exit_code = rc;
    --m.running_background;
    m.cv.notify_all();
}

}  // namespace

std::shared_ptr<SimThread> start_sim_thread(Machine& m, os::ThreadFunction fn, void* arg) {
    static std::uint32_t next_id = 1000;
    if (m.failing_thread_creations > 0) {
        --m.failing_thread_creations;
        return nullptr;
    }
    auto t = std::make_shared<SimThread>();
    t->id = next_id += 4;
    m.threads.push_back(t);
    ++m.running_background;
    try {
        std::thread(thread_trampoline, t, fn, arg).detach();
    } catch (...) {
        --m.running_background;
        m.threads.pop_back();
        return nullptr;
    }
    return t;
}

void sleep_current(Machine& m, std::unique_lock<std::mutex>& lk, std::uint32_t ms) {
    if (ms == 0) {
        if (tl_self != nullptr && tl_self->terminate_requested) throw ThreadTerminated{};
        lk.unlock();
        std::this_thread::yield();
        lk.lock();
        return;
    }
    WaitSpec spec;
    spec.deadline = m.now + static_cast<Ns>(ms) * kNsPerMs;
    m.wait(lk, std::move(spec), nullptr);
}

}  // namespace qsim
