// The C control interface of the virtual installation.
#include <cstdio>
#include <cstring>

#include "control_api.h"
#include "os.h"
#include "quvex/sim.h"

using namespace qsim;

namespace {


int copy_text(const std::string& s, char* out, std::size_t size) {
    if (out != nullptr && size > 0) {
        const std::size_t n = std::min(s.size(), size - 1);
        std::memcpy(out, s.data(), n);
        out[n] = '\0';
    }
    return static_cast<int>(s.size());
}

}  // namespace

namespace qsim {

void Machine::reset_locked() {
    devices.clear();
    devices.resize(kMaxDevices);
    retired_cards.clear();
    named_events.clear();
    timers_.clear();
    now = 0;
    trace = Trace{};
    message_boxes.clear();
    failing_thread_creations = 0;
    epoch_seconds = static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace qsim

extern "C" {

QUVEX_API void QUVEX_CALL quvex_sim_reset(void) {
    Machine& m = Machine::get();
    m.set_realtime(false, 1.0);
    std::unique_lock<std::mutex> lk(m.mu);
    m.end_threads_locked(lk);
    m.reset_locked();
}

QUVEX_API int QUVEX_CALL quvex_sim_add_card(int device) {
    if (device < 0 || device >= kMaxDevices) return -1;
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    if (m.devices.size() < kMaxDevices) m.devices.resize(kMaxDevices);
    auto d = std::make_unique<Device>();
    d->number = device;
    d->card = std::make_unique<Card>(m, device);
    // The driver creates the card's named events when it starts the device.
    for (int k = 0; k <= Machine::kCompareEvent; ++k) m.driver_event_locked(Machine::driver_event_name(device, k));
    m.devices[static_cast<std::size_t>(device)] = std::move(d);
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_remove_card(int device) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Device* d = m.device_locked(device);
    if (d == nullptr) return -1;
    if (d->card) m.retired_cards.push_back(std::move(d->card));
    m.devices[static_cast<std::size_t>(device)].reset();
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_set_driver_faults(int device, unsigned faults) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Device* d = m.device_locked(device);
    if (d == nullptr) return -1;
    d->faults = faults;
    const std::string name = Machine::driver_event_name(device, Machine::kCompareEvent);
    if ((faults & QUVEX_SIM_NO_COMPARE_EVENT) != 0) {
        m.named_events.erase(name);
    } else {
        m.driver_event_locked(name);
    }
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_card_info_get(int device, quvex_sim_card_info* out) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Device* d = m.device_locked(device);
    if (d == nullptr || out == nullptr) return -1;
    const Card& c = *d->card;
    *out = quvex_sim_card_info{c.bridge_base, c.chip_base, c.board_base, c.irq, c.compare_area(), d->card->ring_window(),
                               d->open_count > 0 ? 1 : 0};
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_set_card_status(int device, uint16_t status) {
    return with_card(device, [&](Card& card) {
        card.card_status = status;
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_card_led(int device) { return quvex_sim_board_port(device, cardport::kCardStatus); }

QUVEX_API int QUVEX_CALL quvex_sim_board_port(int device, unsigned offset) {
    return with_card(device, [&](Card& card) { return offset < kBoardSize ? card.board_written[offset / 2] : kRefused; });
}

QUVEX_API uint16_t QUVEX_CALL quvex_sim_bridge_control(int device) {
    return with_card(device, [](Card& card) { return card.bridge_control; }, std::uint16_t{0});
}

QUVEX_API int QUVEX_CALL quvex_sim_bridge_bit30_pulses(int device) {
    return with_card(device, [](Card& card) { return card.local_bus_resets; });
}

QUVEX_API int QUVEX_CALL quvex_sim_bridge_interrupt(int device) {
    return with_card(device, [](Card& card) { return card.bridge_interrupt_written; });
}

QUVEX_API int QUVEX_CALL quvex_sim_card_port(int device, unsigned offset) {
    return with_card(device, [&](Card& card) {
        if (offset == cardport::kCardControl) return card.card_control;
        if (offset == cardport::kCompareLoad) return card.compare_load_word;
        return kRefused;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_chip_register(int device, int axis, unsigned code, uint32_t* value) {
    return with_chip(device, axis, [&](Chip& chip) {
        return value != nullptr && chip.peek_register(code, value) ? 0 : kRefused;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_chip_outputs(int device, int axis, uint32_t* outputs) {
    return with_chip(device, axis, [&](Chip& chip) {
        if (outputs == nullptr) return kRefused;
        *outputs = chip.outputs;
        return 0;
    });
}

QUVEX_API void QUVEX_CALL quvex_sim_clock_manual(void) { Machine::get().set_realtime(false, 1.0); }

QUVEX_API void QUVEX_CALL quvex_sim_clock_realtime(double scale) { Machine::get().set_realtime(true, scale); }

QUVEX_API double QUVEX_CALL quvex_sim_now(void) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    return static_cast<double>(m.now) / 1e9;
}

QUVEX_API void QUVEX_CALL quvex_sim_advance(double seconds) {
    if (!(seconds > 0) || seconds > 1e9) return;  // NaN, negative and absurd steps are ignored
    Machine& m = Machine::get();
    std::unique_lock<std::mutex> lk(m.mu);
    m.advance_to(lk, m.now + static_cast<Ns>(seconds * 1e9));
}

QUVEX_API void QUVEX_CALL quvex_sim_set_epoch(int64_t seconds_since_1970) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    m.epoch_seconds = seconds_since_1970;
}

QUVEX_API int QUVEX_CALL quvex_sim_event_deaf(const char* name, int deaf) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    if (name == nullptr) return -1;
    auto it = m.named_events.find(name);
    if (it == m.named_events.end()) return -1;
    it->second->deaf = deaf != 0;
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_event_state(const char* name) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    if (name == nullptr) return -1;
    auto it = m.named_events.find(name);
    if (it == m.named_events.end()) return -1;
    return it->second->signalled ? 1 : 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_message_boxes(int index, char* text, size_t text_size, char* caption,
                                                 size_t caption_size) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    const int count = static_cast<int>(m.message_boxes.size());
    if (index >= 0 && index < count) {
        copy_text(m.message_boxes[static_cast<std::size_t>(index)].first, text, text_size);
        copy_text(m.message_boxes[static_cast<std::size_t>(index)].second, caption, caption_size);
    }
    return count;
}

QUVEX_API int QUVEX_CALL quvex_sim_live_threads(void) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    int live = 0;
    for (const auto& t : m.threads) live += t->finished ? 0 : 1;
    return live;
}

QUVEX_API void QUVEX_CALL quvex_sim_fail_thread_creations(int count) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    m.failing_thread_creations = count > 0 ? count : 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_terminated_threads(void) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    return m.terminated_threads;
}

QUVEX_API int QUVEX_CALL quvex_sim_thread_suspend_count(uintptr_t thread) {
    return qsim::os::thread_suspend_count(thread);
}

QUVEX_API void QUVEX_CALL quvex_sim_trace_enable(int on) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    m.trace.enabled = on != 0;
}

QUVEX_API void QUVEX_CALL quvex_sim_trace_clear(void) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    m.trace.clear();
}

QUVEX_API size_t QUVEX_CALL quvex_sim_trace_count(void) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    return m.trace.records.size();
}

QUVEX_API int QUVEX_CALL quvex_sim_trace_text(size_t index, char* out, size_t out_size) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    if (index >= m.trace.records.size()) return -1;
    return copy_text(m.trace.text(m.trace.records[index]), out, out_size);
}

QUVEX_API double QUVEX_CALL quvex_sim_trace_time(size_t index) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    if (index >= m.trace.records.size()) return -1.0;
    return static_cast<double>(m.trace.records[index].time) / 1e9;
}

QUVEX_API int QUVEX_CALL quvex_sim_trace_get(size_t index, quvex_sim_event* out) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    if (index >= m.trace.records.size() || out == nullptr) return -1;
    const TraceRecord& r = m.trace.records[index];
    *out = quvex_sim_event{static_cast<double>(r.time) / 1e9, static_cast<int>(r.kind), r.device, r.axis, r.station,
                           r.code, r.value, r.flags, r.word_count, r.reply_count};
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_trace_words(size_t index, int reply, uint16_t* words, int max) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    if (index >= m.trace.records.size()) return -1;
    const TraceRecord& r = m.trace.records[index];
    const std::vector<std::uint16_t> found = reply != 0 ? m.trace.reply_of(r) : m.trace.words_of(r);
    for (int i = 0; words != nullptr && i < max && i < static_cast<int>(found.size()); ++i) {
        words[i] = found[static_cast<std::size_t>(i)];
    }
    return static_cast<int>(found.size());
}

QUVEX_API size_t QUVEX_CALL quvex_sim_access_count(void) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    return m.trace.accesses.size();
}

QUVEX_API int QUVEX_CALL quvex_sim_access_get(size_t index, quvex_sim_access* out) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    if (index >= m.trace.accesses.size() || out == nullptr) return -1;
    const Access& a = m.trace.accesses[index];
    *out = quvex_sim_access{static_cast<double>(a.time) / 1e9, static_cast<int>(a.kind), a.address, a.value, a.device};
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_trace_dump(const char* path) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    if (path == nullptr) return -1;
    std::FILE* f = std::fopen(path, "w");
    if (f == nullptr) return -1;
    for (const TraceRecord& r : m.trace.records) {
        std::fprintf(f, "%.9f %s\n", static_cast<double>(r.time) / 1e9, m.trace.text(r).c_str());
    }
    std::fclose(f);
    return 0;
}

}  // extern "C"
