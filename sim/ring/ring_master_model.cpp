#include "ring_master_model.h"

#include "../machine.h"

namespace qsim {
namespace {

// Words of the window: the register block and the cyclic area, and room behind them that
// behaves as plain memory.
constexpr std::size_t kWindowWords = 0x200;

}  // namespace

RingMasterModel::RingMasterModel(Machine& machine, int device)
    : machine_(machine), device_(device), memory_(kWindowWords, 0) {}

bool RingMasterModel::plug(int slave, std::unique_ptr<RingStation> model) {
    if (slave < 0 || slave >= ringhw::kSlaves || !model) return false;
    release_ready(slave);
    if (pending_station_ == slave) pending_station_ = -1;
    stations_[index(slave)] = std::move(model);
    StationLink link(*this, slave);
    stations_[index(slave)]->on_plug(link);
    return true;
}

bool RingMasterModel::unplug(int slave) {
    if (slave < 0 || slave >= ringhw::kSlaves || !stations_[index(slave)]) return false;
    release_ready(slave);
    if (pending_station_ == slave) pending_station_ = -1;
    stations_[index(slave)].reset();
    return true;
}

RingStation* RingMasterModel::station(int slave) {
    if (slave < 0 || slave >= ringhw::kSlaves) return nullptr;
    return stations_[index(slave)].get();
}

std::uint64_t RingMasterModel::schedule_for(int slave, std::int64_t at, StationLink::TimerFn fire) {
    std::weak_ptr<RingStation> plugged = stations_[index(slave)];
    // The station being alive means its master is too: the master is the only owner.
    return machine_.schedule_locked(at, [this, slave, plugged, fire = std::move(fire)] {
        if (plugged.expired()) return;
        StationLink link(*this, slave);
        fire(link);
    });
}

bool RingMasterModel::answer_for(int slave, StationWords reply) {
    if (pending_station_ != slave) return false;
    Machine& m = machine_;
    if (reply.size() > ringhw::kFifoWords) reply.resize(ringhw::kFifoWords);
    if (MessageEntry* e = history_.find(pending_seq_)) {
        e->reply = reply;
        e->answered = m.now;
    }
    pending_station_ = -1;
    m.trace.message(m.now, TraceKind::ring_reply, TraceSite::of_station(device_, slave), {}, reply);
    complete_message(reply);
    return true;
}

void RingMasterModel::drive_ready(int slave, bool level) {
    ready_holder_ = slave;
    ready_level_ = level;
}

void RingMasterModel::release_ready(int slave) {
    if (ready_holder_ == slave) ready_holder_ = -1;
}

void RingMasterModel::inject_status(std::uint16_t bits, int polls) {
    injected_bits_ = static_cast<std::uint16_t>(bits & ringhw::kInjectable);
    injected_polls_ = polls > 0 ? polls : 0;
}

void RingMasterModel::flag_slave_error(int slave) {
    error_map_[index(slave / 16)] = static_cast<std::uint16_t>(error_map_[index(slave / 16)] | (1u << (slave % 16)));
}

bool RingMasterModel::answers(int slave) const { return stations_[index(slave)] != nullptr && !silent_[index(slave)]; }

std::uint16_t RingMasterModel::read_status() {
    std::uint16_t st = done_ ? ringhw::kDone : 0;
    for (std::uint16_t w : error_map_) {
        if (w != 0) st |= ringhw::kSlaveError;
    }
    if (injected_polls_ > 0) {
        st |= injected_bits_;
        --injected_polls_;
    }
    if (busy_reads_ > 0) {
        st |= ringhw::kCyclicBusy;
        --busy_reads_;
    }
    return st;
}

std::uint16_t RingMasterModel::read16(std::uint32_t offset) {
    const std::uint32_t off = offset & ~1u;
    if (off == ringhw::kControl) return read_status();
    if (off == ringhw::kMessagePort) {
        if (from_slave_.empty()) return 0;
        const std::uint16_t v = from_slave_.front();
        from_slave_.pop_front();
        return v;
    }
    if (off >= ringhw::kTypeTable && off < ringhw::kTypeTableEnd) {
        const std::size_t s = off - ringhw::kTypeTable;  // two slaves per word: 2i and 2i+1
        return static_cast<std::uint16_t>(type_table_[s] | (type_table_[s + 1] << 8));
    }
    if (off >= ringhw::kErrorMap && off < ringhw::kErrorMapEnd) return error_map_[(off - ringhw::kErrorMap) / 2];
    if (off >= ringhw::kCyclic && off < ringhw::kCyclicEnd) return read_cyclic(off);
    return memory_[(off / 2) % memory_.size()];
}

void RingMasterModel::write16(std::uint32_t offset, std::uint16_t value) {
    const std::uint32_t off = offset & ~1u;
    Machine& m = machine_;
    if (off == ringhw::kControl) {
        command(value);
    } else if (off == ringhw::kMessagePort) {
        if (to_slave_.size() < ringhw::kFifoWords) to_slave_.push_back(value);
    } else if (off >= ringhw::kErrorMap && off < ringhw::kErrorMapEnd) {
        const std::size_t w = (off - ringhw::kErrorMap) / 2;
        error_map_[w] = static_cast<std::uint16_t>(error_map_[w] & ~value);  // ones clear
        m.trace.event(m.now, TraceKind::ring_error_map_write, TraceSite::of_device(device_), static_cast<std::uint32_t>(w), value);
    } else if (off >= ringhw::kCyclic && off < ringhw::kCyclicEnd) {
        write_cyclic(off, value);
    } else if (off >= ringhw::kTypeTable && off < ringhw::kTypeTableEnd) {
        // read-only
    } else {
        memory_[(off / 2) % memory_.size()] = value;
    }
}

void RingMasterModel::write_cyclic(std::uint32_t off, std::uint16_t value) {
    Machine& m = machine_;
    const int s = static_cast<int>((off - ringhw::kCyclic) / 4);
    const int word = static_cast<int>((off - ringhw::kCyclic) % 4 / 2);
    const TraceSite site = TraceSite::of_station(device_, s);
    busy_reads_ = 1;  // the master needs one status poll to move the word onto the ring
    if (stuck_[index(s)][static_cast<std::size_t>(word)]) {
        m.trace.event(m.now, TraceKind::ring_cyclic_write, site, static_cast<std::uint32_t>(word), value, kTraceStuck);
        return;
    }
    memory_[off / 2] = value;
    m.trace.event(m.now, TraceKind::ring_cyclic_write, site, static_cast<std::uint32_t>(word), value);
    if (RingStation* st = stations_[index(s)].get()) {
        StationLink link(*this, s);
        st->on_cyclic_write(link, word, value);
    }
}

std::uint16_t RingMasterModel::read_cyclic(std::uint32_t off) {
    const int s = static_cast<int>((off - ringhw::kCyclic) / 4);
    const int word = static_cast<int>((off - ringhw::kCyclic) % 4 / 2);
    std::uint16_t v = memory_[off / 2];
    if (RingStation* st = stations_[index(s)].get()) {
        StationLink link(*this, s);
        v = st->read_cyclic(link, word);
    }
    if (off == ringhw::kHandshakeWord && ready_holder_ >= 0) {
        if (RingStation* holder = stations_[index(ready_holder_)].get()) {
            StationLink link(*this, ready_holder_);
            holder->on_handshake_poll(link);
        }
    }
    if (off == ringhw::kHandshakeWord && ready_holder_ >= 0) {
        v = static_cast<std::uint16_t>((v & ~ringhw::kHandshakeReady) | (ready_level_ ? ringhw::kHandshakeReady : 0u));
    }
    return v;
}

void RingMasterModel::command(std::uint16_t value) {
    Machine& m = machine_;
    const int s = value & ringhw::kSlaveMask;
    switch (value & ~ringhw::kSlaveMask) {
        case ringhw::kMessage: deliver_message(s); return;
        case ringhw::kIdentify: deliver_identification(s); return;
        default: break;
    }
    switch (value) {
        case ringhw::kScan:
            scan();
            m.trace.event(m.now, TraceKind::ring_scan, TraceSite::of_device(device_));
            return;
        case ringhw::kRun:
            mode_ = Mode::running;
            m.trace.event(m.now, TraceKind::ring_run, TraceSite::of_device(device_));
            return;
        case ringhw::kStop:
            mode_ = Mode::stopped;
            m.trace.event(m.now, TraceKind::ring_stop, TraceSite::of_device(device_));
            return;
        case ringhw::kReset:
            mode_ = Mode::idle;
            type_table_.fill(0);
            error_map_.fill(0);
            to_slave_.clear();
            from_slave_.clear();
            done_ = false;
            pending_station_ = -1;
            m.trace.event(m.now, TraceKind::ring_reset, TraceSite::of_device(device_));
            return;
        default: m.trace.event(m.now, TraceKind::ring_control, TraceSite::of_device(device_), value);
    }
}

void RingMasterModel::scan() {
    for (int s = 0; s < ringhw::kSlaves; ++s) {
        const RingStation* sl = stations_[index(s)].get();
        type_table_[index(s)] = sl != nullptr ? sl->type_byte() : 0;
    }
    if (mode_ == Mode::idle || mode_ == Mode::stopped) mode_ = Mode::scanned;
}

void RingMasterModel::deliver_message(int s) {
    Machine& m = machine_;
    const TraceSite site = TraceSite::of_station(device_, s);
    StationWords words(to_slave_.begin(), to_slave_.end());
    to_slave_.clear();
    done_ = false;
    pending_station_ = -1;  // the master carries one message at a time: an older one is given up
    MessageEntry entry{m.now, -1, s, words, {}};
    if (!answers(s)) {
        history_.add(std::move(entry));
        m.trace.message(m.now, TraceKind::ring_message, site, words, {}, kTraceNoAnswer);
        return;
    }
    last_message_[index(s)] = words;
    StationLink link(*this, s);
    std::optional<StationWords> reply = stations_[index(s)]->on_message(link, words);
    if (reply && reply_override_[index(s)]) reply = *reply_override_[index(s)];
    if (reply && reply->size() > ringhw::kFifoWords) reply->resize(ringhw::kFifoWords);
    if (!reply) {
        pending_station_ = s;
        pending_seq_ = history_.add(std::move(entry));
        m.trace.message(m.now, TraceKind::ring_message, site, words, {}, kTraceNoAnswer);
        return;
    }
    entry.answered = m.now;
    entry.reply = *reply;
    history_.add(std::move(entry));
    m.trace.message(m.now, TraceKind::ring_message, site, words, *reply);
    complete_message(*reply);
}

void RingMasterModel::complete_message(const StationWords& reply) {
    from_slave_.assign(reply.begin(), reply.end());
    done_ = true;
    ++messages_delivered_;
}

void RingMasterModel::deliver_identification(int s) {
    Machine& m = machine_;
    const TraceSite site = TraceSite::of_station(device_, s);
    done_ = false;
    if (!answers(s)) {
        m.trace.event(m.now, TraceKind::ring_ident, site, 0, 0, kTraceNoAnswer);
        return;
    }
    const std::uint32_t id = ident_override_[index(s)].value_or(stations_[index(s)]->identification());
    from_slave_.assign({static_cast<std::uint16_t>(id & 0xFFFFu), static_cast<std::uint16_t>(id >> 16)});
    done_ = true;
    m.trace.event(m.now, TraceKind::ring_ident, site, 0, id);
}

int StationLink::device() const { return ring_.device(); }
std::int64_t StationLink::now() const { return ring_.machine().now; }
std::uint16_t StationLink::cyclic(int word) const { return ring_.cyclic(number_, word); }
void StationLink::set_cyclic(int word, std::uint16_t value) { ring_.set_cyclic(number_, word, value); }
std::uint64_t StationLink::schedule(std::int64_t at, TimerFn fire) { return ring_.schedule_for(number_, at, std::move(fire)); }
void StationLink::cancel(std::uint64_t id) { ring_.machine().cancel_timer_locked(id); }
bool StationLink::answer(const StationWords& reply) { return ring_.answer_for(number_, reply); }
void StationLink::drive_ready(bool level) { ring_.drive_ready(number_, level); }
void StationLink::release_ready() { ring_.release_ready(number_); }

}  // namespace qsim
