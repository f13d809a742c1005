// The one virtual machine of the process: its lock, clock, kernel objects, devices and trace.
// Every model of the installation runs under the machine lock; functions named *_locked expect
// the caller to hold it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "trace.h"

namespace qsim {

using Ns = std::int64_t;  // virtual time in nanoseconds
constexpr Ns kNever = INT64_MAX;
constexpr Ns kNsPerSecond = 1'000'000'000;
constexpr Ns kNsPerMs = 1'000'000;
constexpr int kMaxDevices = 12;  // device numbers 0..11 (each has its fixed port ranges)
inline double ns_to_seconds(Ns t) { return static_cast<double>(t) / static_cast<double>(kNsPerSecond); }

class Card;
class Chip;
struct SimThread;

struct Event {
    std::string name;
    bool manual_reset = false;
    bool signalled = false;
    bool deaf = false;  // ignores SetEvent from the library
    std::int64_t sets = 0;  // signals that reached the event, whether or not it was already signalled
};

struct Device {
    int number = 0;
    unsigned faults = 0;
    int open_count = 0;
    std::unique_ptr<Card> card;
};

// What a blocked thread waits for.
struct WaitSpec {
    std::vector<std::shared_ptr<Event>> events;
    Ns deadline = kNever;
};

enum class WaitResult { pending, signalled, timeout, terminated };

struct Waiter {
    SimThread* thread = nullptr;  // null for an application (foreground) thread
    WaitSpec spec;
    WaitResult result = WaitResult::pending;
    std::size_t index = 0;
    // Notified when `result` leaves pending. A waiter of its own, so that signalling one event
    // wakes only the threads that wait for it: a shared notify-all made every blocked thread
    // compete with the one that has work, which showed as the tail of the event latency.
    std::condition_variable woken;
    // Drives the clock (an application thread in manual mode): also waits on the machine's cv
    // for timers and quiescence, so it is woken there as well.
    bool drives_clock = false;
};

struct SimThread {
    std::uint32_t id = 0;
    bool finished = false;
    bool terminate_requested = false;
    std::uint32_t terminate_code = 0;
    int suspend_count = 0;
    int priority = 0;
    std::uint32_t exit_code = 259;  // still active
    Waiter* waiting = nullptr;      // set while blocked in a wait or sleep
};

// A hardware timer: the callback runs under the machine lock at virtual time `at`.
struct Timer {
    Ns at;
    std::uint64_t id;
    std::function<void()> fire;
};

class Machine {
public:
    static Machine& get();

    std::mutex mu;
    std::condition_variable cv;

    // ---- clock ----
    Ns now = 0;
    bool realtime = false;
    double scale = 1.0;
    std::int64_t epoch_seconds = 0;
    Ns now_locked() const { return now; }
    // Schedules a hardware action; returns an id for cancel_timer_locked.
    std::uint64_t schedule_locked(Ns at, std::function<void()> fire);
    void cancel_timer_locked(std::uint64_t id);
    // The same for a timer whose time is known: found without a scan.
    void cancel_timer_locked(std::uint64_t id, Ns at);
    // Moves virtual time to `target`, firing timers and waking threads in order. In manual mode
    // it lets the library's background threads run until they block before each step.
    void advance_to(std::unique_lock<std::mutex>& lk, Ns target);
    void set_realtime(bool on, double scale);
    // After an application thread woke library threads (set an event, resumed or created a
    // thread): in manual mode, lets them run until they block, so that what follows in the
    // application sees the same state on every run. Does nothing on a library thread.
    void settle(std::unique_lock<std::mutex>& lk);

    // ---- kernel objects ----
    std::map<std::string, std::shared_ptr<Event>> named_events;
    // Sets an event from the hardware's side (driver), ignoring deafness.
    void signal_event_locked(const std::shared_ptr<Event>& ev);
    std::shared_ptr<Event> driver_event_locked(const std::string& name);
    // The driver's named events of a device: E0..E3 the axes' interrupts, E4 the compare reload.
    static constexpr int kCompareEvent = 4;
    static std::string driver_event_name(int device, int event);

    // Blocks the calling thread until what it waits for has happened; returns how it ended.
    WaitResult wait(std::unique_lock<std::mutex>& lk, WaitSpec spec, std::size_t* index);
    // Re-evaluates every blocked thread after a change; marks those that may go on.
    void wake_ready_locked();

    std::vector<std::shared_ptr<SimThread>> threads;
    int running_background = 0;  // seam-created threads neither blocked nor finished
    int terminated_threads = 0;
    int failing_thread_creations = 0;  // the next this many thread creations fail

    // ---- devices ----
    std::vector<std::unique_ptr<Device>> devices;  // index = device number, null = absent
    // Cards pulled out of the machine. They answer no port or request any more, but their
    // memory stays: the process may still hold the compare area and ring window the driver
    // mapped, and timers may still name their chips. Freed by the next reset.
    std::vector<std::unique_ptr<Card>> retired_cards;
    Device* device_locked(int number);
    Card* card_locked(int number);
    // The chip of a card's axis, or null where the device has no card or the card no such axis.
    Chip* chip_locked(int device, int axis);

    // ---- message boxes ----
    std::vector<std::pair<std::string, std::string>> message_boxes;

    // ---- trace ----
    Trace trace;

    void reset_locked();
    // A reset is a new machine: the library threads of the old one end at their waits (as if
    // terminated) and are forgotten, so nothing of one installation keeps running into the next.
    void end_threads_locked(std::unique_lock<std::mutex>& lk);

private:
    Machine();
    void wait_quiescent(std::unique_lock<std::mutex>& lk);
    void fire_due_locked(Ns upto);
    Ns next_deadline_locked() const;
    std::multimap<Ns, Timer> timers_;
    std::uint64_t next_timer_id_ = 1;
    std::vector<Waiter*> waiters_;
    friend struct WaiterRegistration;
    friend class RealtimeTicker;
};

}  // namespace qsim
