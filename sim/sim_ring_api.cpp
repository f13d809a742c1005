// The C control interface of the virtual ring.
#include <algorithm>
#include <cmath>
#include <mutex>

#include "control_api.h"
#include "quvex/sim_ring.h"
#include "ring/callback_station.h"
#include "ring/io_station.h"
#include "ring/ring_master_model.h"

using namespace qsim;

namespace {

bool port_ok(int port) { return port >= 0 && port < 4; }

// Runs fn(model) under the machine lock when the device has a card; -1 otherwise.
template <typename Fn>
int with_ring(int device, Fn fn) {
    std::lock_guard<std::mutex> lk(Machine::get().mu);
    RingMasterModel* ring = ring_locked(device);
    return ring == nullptr ? kRefused : fn(*ring);
}

int port_shift(int port) { return (port % 2) * 8; }

bool word_ok(int word) { return word == 0 || word == 1; }

void copy_words(const StationWords& from, uint16_t* to, int* count) {
    const std::size_t n = std::min(from.size(), static_cast<std::size_t>(QUVEX_SIM_RING_FIFO_WORDS));
    std::copy_n(from.begin(), n, to);
    *count = static_cast<int>(n);
}


// Longest delay a station timer may ask for, in seconds.
constexpr double kMaxStationDelay = 1e6;

}  // namespace

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_ring_add_io_slave(int device, int slave, uint8_t type, uint32_t ident) {
    if (!slave_ok(slave)) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) { return r.plug(slave, std::make_unique<IoStation>(type, ident)) ? 0 : kRefused; });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_remove_slave(int device, int slave) {
    if (!slave_ok(slave)) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) { return r.unplug(slave) ? 0 : kRefused; });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_set_identification(int device, int slave, uint32_t ident) {
    if (!slave_ok(slave)) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) {
        r.set_identification(slave, ident);
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_io_get(int device, int slave, int port) {
    if (!slave_ok(slave) || !port_ok(port)) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) { return (r.cyclic(slave, port / 2) >> port_shift(port)) & 0xFF; });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_io_set(int device, int slave, int port, uint8_t value) {
    if (!slave_ok(slave) || !port_ok(port)) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) {
        const unsigned keep = 0xFF00u >> port_shift(port);
        const unsigned word = (r.cyclic(slave, port / 2) & keep) | (static_cast<unsigned>(value) << port_shift(port));
        r.set_cyclic(slave, port / 2, static_cast<std::uint16_t>(word));
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_mode(int device) {
    return with_ring(device, [](RingMasterModel& r) { return static_cast<int>(r.mode()); });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_messages(int device) {
    return with_ring(device, [](RingMasterModel& r) { return r.messages_delivered(); });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_last_message(int device, int slave, uint16_t* words, int max) {
    if (!slave_ok(slave)) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) {
        const std::vector<std::uint16_t>& msg = r.last_message(slave);
        for (int i = 0; words != nullptr && i < max && i < static_cast<int>(msg.size()); ++i) {
            words[i] = msg[static_cast<std::size_t>(i)];
        }
        return static_cast<int>(msg.size());
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_set_reply(int device, int slave, const uint16_t* words, int count) {
    if (!slave_ok(slave) || (count > 0 && words == nullptr)) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) {
        if (count < 0) r.set_reply(slave, std::nullopt);
        else r.set_reply(slave, std::vector<std::uint16_t>(words, words + count));
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_history_count(int device) {
    return with_ring(device, [](RingMasterModel& r) { return static_cast<int>(r.history().size()); });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_history_get(int device, int index, quvex_sim_ring_message* out) {
    if (out == nullptr || index < 0) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) {
        if (static_cast<std::size_t>(index) >= r.history().size()) return kRefused;
        const MessageEntry& e = r.history().at(static_cast<std::size_t>(index));
        *out = quvex_sim_ring_message{};
        out->sent = ns_to_seconds(e.sent);
        out->answered = e.answered < 0 ? -1.0 : ns_to_seconds(e.answered);
        out->slave = e.station;
        copy_words(e.words, out->words, &out->word_count);
        copy_words(e.reply, out->reply, &out->reply_count);
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_history_clear(int device) {
    return with_ring(device, [](RingMasterModel& r) {
        r.history().clear();
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_plug_station(int device, int slave, const quvex_sim_station* station) {
    if (!slave_ok(slave) || station == nullptr) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) { return r.plug(slave, std::make_unique<CallbackStation>(*station)) ? 0 : kRefused; });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_ready_line(int device, int* holder) {
    return with_ring(device, [&](RingMasterModel& r) {
        if (holder != nullptr) *holder = r.ready_holder();
        return (r.read16(ringhw::kHandshakeWord) & ringhw::kHandshakeReady) != 0 ? 1 : 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_station_slave(quvex_sim_station_link* link) {
    return link == nullptr ? kRefused : link->link->number();
}

QUVEX_API double QUVEX_CALL quvex_sim_station_now(quvex_sim_station_link* link) {
    return link == nullptr ? -1.0 : ns_to_seconds(link->link->now());
}

QUVEX_API int QUVEX_CALL quvex_sim_station_cyclic(quvex_sim_station_link* link, int word) {
    if (link == nullptr || !word_ok(word)) return kRefused;
    return link->link->cyclic(word);
}

QUVEX_API int QUVEX_CALL quvex_sim_station_set_cyclic(quvex_sim_station_link* link, int word, uint16_t value) {
    if (link == nullptr || !word_ok(word)) return kRefused;
    link->link->set_cyclic(word, value);
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_station_schedule(quvex_sim_station_link* link, double delay, int tag) {
    if (link == nullptr || !(delay >= 0.0 && delay <= kMaxStationDelay)) return kRefused;  // NaN fails too
    auto* station = dynamic_cast<CallbackStation*>(link->link->ring().station(link->link->number()));
    if (station == nullptr) return kRefused;
    station->schedule_timer(*link->link, link->link->now() + std::llround(delay * 1e9), tag);
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_station_answer(quvex_sim_station_link* link, const uint16_t* words, int count) {
    if (link == nullptr || count < 0 || count > QUVEX_SIM_RING_FIFO_WORDS || (count > 0 && words == nullptr)) return kRefused;
    const StationWords reply(words, words + count);
    return link->link->answer(reply) ? 0 : kRefused;
}

QUVEX_API int QUVEX_CALL quvex_sim_station_ready_line(quvex_sim_station_link* link, int level) {
    if (link == nullptr || level < -1 || level > 1) return kRefused;
    if (level < 0) link->link->release_ready();
    else link->link->drive_ready(level == 1);
    return 0;
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_status_fault(int device, uint16_t bits, int polls) {
    return with_ring(device, [&](RingMasterModel& r) {
        r.inject_status(bits, polls);
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_flag_error(int device, int slave) {
    if (!slave_ok(slave)) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) {
        r.flag_slave_error(slave);
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_error_map(int device, int word) {
    if (word < 0 || word > 3) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) { return static_cast<int>(r.error_map_word(word)); });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_stuck_cyclic(int device, int slave, int word, int stuck) {
    if (!slave_ok(slave) || word < 0 || word > 1) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) {
        r.stick_cyclic(slave, word, stuck != 0);
        return 0;
    });
}

QUVEX_API int QUVEX_CALL quvex_sim_ring_slave_silent(int device, int slave, int silent) {
    if (!slave_ok(slave)) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) {
        r.set_silent(slave, silent != 0);
        return 0;
    });
}

}  // extern "C"
