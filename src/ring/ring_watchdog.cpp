// The watchdog of a ring: a high-priority thread that polls the master's status once per
// millisecond while a transfer is in progress, counts error bits, marks the slaves named in the
// error map, stops the ring after too many erroneous passes in a row and wakes the application.
#include "ring/ring_master.h"

namespace quvex::ring {
namespace {

void count(std::atomic<std::uint8_t>& counter) { counter.fetch_add(1); }  // wraps at 256

}  // namespace

std::uint32_t RingMaster::watchdog_main(void* arg) {
    auto* ring = static_cast<RingMaster*>(arg);
    while (ring->thread_run_.load() != 0) {
        ring->watchdog_pass();
        plat::sleep_ms(kWatchdogPassMs);
    }
    return 0;
}

std::int16_t RingMaster::enable_watchdog(const plat::Handle* event) {
    if (event == nullptr) return kFailed;
    user_event_.store(*event);
    if (thread_ != plat::kNoHandle) return kOk;
    // The run flag is set before the thread exists: the seam starts threads at once.
    thread_run_.store(1);
    std::uint32_t id = 0;
    thread_ = plat::thread_create(watchdog_main, this, &id);
    if (thread_ == plat::kNoHandle) {
        thread_run_.store(0);
        return kFailed;
    }
    plat::thread_set_priority(thread_, plat::ThreadPriority::highest);
    return kOk;
}

bool RingMaster::watchdog_pass() {
    if (transfer_busy_.load() == 0 || state_.load() >= kStopped) return false;
    // The address is taken once: kring_close may free the slot while a terminated thread is
    // still finishing its pass, and the pass must not go on at address 0.
    const std::uintptr_t base = is_open();
    if (base == 0) return false;
    const auto read = [base](std::uint16_t off) { return plat::window_read16(base + off); };
    const auto write = [base](std::uint16_t off, std::uint16_t v) { plat::window_write16(base + off, v); };

    const std::uint16_t st = read(offset::kStatus);
    status_copy_.store(st);
    if ((st & status::kMessageDone) != 0) plat::event_set(message_done_.load());

    bool erroneous = false;
    if ((st & status::kSlaveError) != 0) {
        erroneous = true;
        count(slave_error_count_);
        for (int w = 0; w < kErrorMapWords; ++w) {
            const std::uint16_t bits = read(offset::error_map(w));
            error_map_copy_[static_cast<std::size_t>(w)].store(bits);
            write(offset::error_map(w), bits);  // writing back what was read clears it
        }
        for (int s = 0; s < kSlaveCount; ++s) {
            if ((error_map_copy_[static_cast<std::size_t>(s / 16)].load() >> (s % 16) & 1u) != 0) {
                slaves_[static_cast<std::size_t>(s)].error.store(1);
            }
        }
    }
    if ((st & status::kLoneError) != 0) {
        erroneous = true;
        count(lone_error_count_);
    }
    if ((st & status::kPairedErrors) != 0) {
        erroneous = true;
        count(paired_error_count_);
    }

    std::atomic<std::uint8_t>& in_a_row = consecutive_error_passes();
    if (erroneous) {
        state_.store(kErrorSeen);
        if (in_a_row.fetch_add(1) + 1 > quality_limit_.load()) {
            write(offset::kControl, control::kStop);  // the ring's stop
            state_.store(kStopped);
            in_a_row.store(0);
        }
    } else {
        in_a_row.store(0);
    }

    const plat::Handle ev = user_event_.load();
    if (erroneous && ev != plat::kNoHandle) plat::event_set(ev);
    return erroneous;
}

int RingMaster::take_slave_in_error() {
    for (int s = 0; s < kSlaveCount; ++s) {
        if (slaves_[static_cast<std::size_t>(s)].error.exchange(0) != 0) return s;
    }
    return -1;
}

}  // namespace quvex::ring
