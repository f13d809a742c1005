// The C control interface of the virtual ring.
#include <mutex>

#include "card.h"
#include "machine.h"
#include "quvex/sim_ring.h"
#include "ring/io_slave.h"
#include "ring/ring_master_model.h"

using namespace qsim;

namespace {

constexpr int kRefused = -1;

bool slave_ok(int slave) { return slave >= 0 && slave < ringhw::kSlaves; }
bool port_ok(int port) { return port >= 0 && port < 4; }

// Runs fn(model) under the machine lock when the device has a card; -1 otherwise.
template <typename Fn>
int with_ring(int device, Fn fn) {
    Machine& m = Machine::get();
    std::lock_guard<std::mutex> lk(m.mu);
    Card* card = m.card_locked(device);
    if (card == nullptr) return kRefused;
    return fn(ring_model(*card));
}

int port_shift(int port) { return (port % 2) * 8; }

}  // namespace

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_ring_add_io_slave(int device, int slave, uint8_t type, uint32_t ident) {
    if (!slave_ok(slave)) return kRefused;
    return with_ring(device, [&](RingMasterModel& r) { return r.plug(slave, std::make_unique<IoSlave>(type, ident)) ? 0 : kRefused; });
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
