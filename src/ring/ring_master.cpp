// Lifecycle of a ring slot, window access and ring control (start, stop, reset, scan).
#include "ring/ring_master.h"

namespace quvex::ring {

RingMaster::RingMaster() { create_resources(); }

RingMaster::~RingMaster() { release_at_unload(); }

void RingMaster::release_at_unload() {
    // At unload the lock is left alone: nothing can be waiting on it any more.
    end_watchdog();
    plat::handle_close(message_done_.exchange(plat::kNoHandle));
    window_.store(0, std::memory_order_release);
}

void RingMaster::create_resources() {
    if (resources_live_) return;
    message_done_.store(plat::event_create(nullptr, false, false));
    plat::lock_init(lock_);
    resources_live_ = true;
}

void RingMaster::end_watchdog() {
    thread_run_.store(0);
    if (thread_ != plat::kNoHandle) {
        plat::thread_terminate(thread_, 0);
        plat::handle_close(thread_);
        thread_ = plat::kNoHandle;
    }
}

std::int16_t RingMaster::attach(std::uintptr_t window_address, std::uint32_t board_base) {
    if (is_open() != 0) return kSlotAttached;
    // A slot freed by close has lost its event and lock; it starts again as a new slot.
    if (!resources_live_) {
        create_resources();
        state_.store(kIdle);
        transfer_busy_.store(0);
    }
    io_base_ = board_base;
    window_.store(window_address, std::memory_order_release);
    return kOk;
}

void RingMaster::close() {
    end_watchdog();
    plat::handle_close(message_done_.exchange(plat::kNoHandle));
    window_.store(0, std::memory_order_release);
    if (resources_live_) {
        plat::lock_destroy(lock_);
        resources_live_ = false;
    }
}

std::uint16_t RingMaster::read_word(std::uint16_t offset) const { return plat::window_read16(is_open() + offset); }

void RingMaster::write_word(std::uint16_t offset, std::uint16_t value) const {
    plat::window_write16(is_open() + offset, value);
}

void RingMaster::read_status(std::uint16_t* status_out) const {
    if (status_out != nullptr) *status_out = read_word(offset::kStatus);
}

void RingMaster::start() {
    write_word(offset::kControl, control::kScan);
    plat::sleep_ms(kStartSettleMs);
    write_word(offset::kControl, control::kRun);
    state_.store(kStarted);
}

void RingMaster::stop() {
    write_word(offset::kControl, control::kStop);
    state_.store(kStopped);
}

void RingMaster::reset() {
    write_word(offset::kControl, control::kReset);
    state_.store(kStopped);
}

std::int16_t RingMaster::scan_active_table(std::uint32_t (&table)[2]) {
    table[0] = table[1] = 0;
    if (state_.load() >= kStopped) return kFailed;
    write_word(offset::kControl, control::kScan);
    plat::sleep_ms(kScanSettleMs);
    for (int pair = 0; pair < kSlaveCount / 2; ++pair) {
        const std::uint16_t word = read_word(offset::slave_types(pair));
        for (int half = 0; half < 2; ++half) {
            const int s = 2 * pair + half;
            const auto type = static_cast<std::uint8_t>(half == 0 ? word & 0xFFu : word >> 8);
            SlaveRecord& rec = slaves_[static_cast<std::size_t>(s)];
            rec.type = type;
            rec.address = static_cast<std::uint8_t>(s);
            rec.second_station_flag = (type & type_bit::kSecondStationFlag) != 0 ? 1 : 0;
            rec.present = (type & type_bit::kPresent) != 0 ? 1 : 0;
            if (rec.present != 0) table[s / 32] |= 1u << (s % 32);
        }
    }
    return kOk;
}

void RingMaster::forget_history() {
    slave_error_count_.store(0);
    lone_error_count_.store(0);
    paired_error_count_.store(0);
    set_quality(kQualityLimitMin, kQualityParam2Min);
    user_event_.store(plat::kNoHandle);
    baud_code_ = 0;
    status_copy_.store(0);
    for (SlaveRecord& s : slaves_) {
        s.error.store(0);
        s.mof_mode = 0;
        s.mof_axis = 0;
        s.axes = {};
    }
}

std::int16_t RingMaster::set_quality(std::uint16_t limit, std::uint16_t param2) {
    const auto clamp = [](std::uint16_t v, std::uint16_t lo, std::uint16_t hi) { return v < lo ? lo : (v > hi ? hi : v); };
    quality_limit_.store(clamp(limit, kQualityLimitMin, kQualityLimitMax));
    quality_param2_.store(clamp(param2, kQualityParam2Min, kQualityParam2Max));
    return kOk;
}

}  // namespace quvex::ring
