#include "ring_master_model.h"

#include <cstdio>
#include <string>

#include "../card.h"
#include "../machine.h"

namespace qsim {
namespace {

// Words of the window: the register block and the cyclic area, and room behind them that
// behaves as plain memory.
constexpr std::size_t kWindowWords = 0x200;

std::string words_text(const std::vector<std::uint16_t>& words) {
    std::string s;
    char w[8];
    for (std::uint16_t v : words) {
        std::snprintf(w, sizeof w, "%s%04X", s.empty() ? "" : " ", v);
        s += w;
    }
    return s.empty() ? "-" : s;
}

}  // namespace

Card& SlaveLink::card() { return ring_.card(); }
std::uint16_t SlaveLink::cyclic(int word) const { return ring_.cyclic(number_, word); }
void SlaveLink::set_cyclic(int word, std::uint16_t value) { ring_.set_cyclic(number_, word, value); }

RingMasterModel::RingMasterModel(Card& card) : card_(card), memory_(kWindowWords, 0) {}

bool RingMasterModel::plug(int slave, std::unique_ptr<RingSlave> model) {
    if (slave < 0 || slave >= ringhw::kSlaves || !model) return false;
    slaves_[index(slave)] = std::move(model);
    return true;
}

bool RingMasterModel::unplug(int slave) {
    if (slave < 0 || slave >= ringhw::kSlaves || !slaves_[index(slave)]) return false;
    slaves_[index(slave)].reset();
    return true;
}

RingSlave* RingMasterModel::slave(int slave) {
    if (slave < 0 || slave >= ringhw::kSlaves) return nullptr;
    return slaves_[index(slave)].get();
}

void RingMasterModel::inject_status(std::uint16_t bits, int polls) {
    injected_bits_ = static_cast<std::uint16_t>(bits & ringhw::kInjectable);
    injected_polls_ = polls > 0 ? polls : 0;
}

void RingMasterModel::flag_slave_error(int slave) {
    error_map_[index(slave / 16)] = static_cast<std::uint16_t>(error_map_[index(slave / 16)] | (1u << (slave % 16)));
}

bool RingMasterModel::answers(int slave) const { return slaves_[index(slave)] != nullptr && !silent_[index(slave)]; }

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
    return memory_[(off / 2) % memory_.size()];
}

void RingMasterModel::write16(std::uint32_t offset, std::uint16_t value) {
    const std::uint32_t off = offset & ~1u;
    Machine& m = Machine::get();
    if (off == ringhw::kControl) {
        command(value);
    } else if (off == ringhw::kMessagePort) {
        if (to_slave_.size() < ringhw::kFifoWords) to_slave_.push_back(value);
    } else if (off >= ringhw::kErrorMap && off < ringhw::kErrorMapEnd) {
        const std::size_t w = (off - ringhw::kErrorMap) / 2;
        error_map_[w] = static_cast<std::uint16_t>(error_map_[w] & ~value);  // ones clear
        m.trace.event(m.now, "d%d ring error map %zu <- %04X", card_.device, w, value);
    } else if (off >= ringhw::kCyclic && off < ringhw::kCyclicEnd) {
        write_cyclic(off, value);
    } else if (off >= ringhw::kTypeTable && off < ringhw::kTypeTableEnd) {
        // read-only
    } else {
        memory_[(off / 2) % memory_.size()] = value;
    }
}

void RingMasterModel::write_cyclic(std::uint32_t off, std::uint16_t value) {
    Machine& m = Machine::get();
    const int s = static_cast<int>((off - ringhw::kCyclic) / 4);
    const int word = static_cast<int>((off - ringhw::kCyclic) % 4 / 2);
    busy_reads_ = 1;  // the master needs one status poll to move the word onto the ring
    if (stuck_[index(s)][static_cast<std::size_t>(word)]) {
        m.trace.event(m.now, "d%d ring slave %d cyclic %d <- %04X (stuck)", card_.device, s, word, value);
        return;
    }
    memory_[off / 2] = value;
    m.trace.event(m.now, "d%d ring slave %d cyclic %d <- %04X", card_.device, s, word, value);
    if (RingSlave* sl = slaves_[index(s)].get()) {
        SlaveLink link(*this, s);
        sl->on_cyclic_write(link, word);
    }
}

void RingMasterModel::command(std::uint16_t value) {
    Machine& m = Machine::get();
    const int s = value & ringhw::kSlaveMask;
    switch (value & ~ringhw::kSlaveMask) {
        case ringhw::kMessage: deliver_message(s); return;
        case ringhw::kIdentify: deliver_identification(s); return;
        default: break;
    }
    switch (value) {
        case ringhw::kScan:
            scan();
            m.trace.event(m.now, "d%d ring scan", card_.device);
            return;
        case ringhw::kRun:
            mode_ = Mode::running;
            m.trace.event(m.now, "d%d ring run", card_.device);
            return;
        case ringhw::kStop:
            mode_ = Mode::stopped;
            m.trace.event(m.now, "d%d ring stop", card_.device);
            return;
        case ringhw::kReset:
            mode_ = Mode::idle;
            type_table_.fill(0);
            error_map_.fill(0);
            to_slave_.clear();
            from_slave_.clear();
            done_ = false;
            m.trace.event(m.now, "d%d ring reset", card_.device);
            return;
        default: m.trace.event(m.now, "d%d ring control %04X", card_.device, value);
    }
}

void RingMasterModel::scan() {
    for (int s = 0; s < ringhw::kSlaves; ++s) {
        const RingSlave* sl = slaves_[index(s)].get();
        type_table_[index(s)] = sl != nullptr ? sl->type_byte() : 0;
    }
    if (mode_ == Mode::idle || mode_ == Mode::stopped) mode_ = Mode::scanned;
}

void RingMasterModel::deliver_message(int s) {
    Machine& m = Machine::get();
    const std::vector<std::uint16_t> words(to_slave_.begin(), to_slave_.end());
    to_slave_.clear();
    done_ = false;
    if (!answers(s)) {
        m.trace.event(m.now, "d%d ring slave %d msg %s (no answer)", card_.device, s, words_text(words).c_str());
        return;
    }
    SlaveLink link(*this, s);
    last_message_[index(s)] = words;
    std::vector<std::uint16_t> reply = slaves_[index(s)]->on_message(link, words);
    if (reply_override_[index(s)]) reply = *reply_override_[index(s)];
    from_slave_.assign(reply.begin(), reply.end());
    done_ = true;
    ++messages_delivered_;
    m.trace.event(m.now, "d%d ring slave %d msg %s -> %s", card_.device, s, words_text(words).c_str(),
                  words_text(reply).c_str());
}

void RingMasterModel::deliver_identification(int s) {
    Machine& m = Machine::get();
    done_ = false;
    if (!answers(s)) {
        m.trace.event(m.now, "d%d ring slave %d ident (no answer)", card_.device, s);
        return;
    }
    const std::uint32_t id = ident_override_[index(s)].value_or(slaves_[index(s)]->identification());
    from_slave_.assign({static_cast<std::uint16_t>(id & 0xFFFFu), static_cast<std::uint16_t>(id >> 16)});
    done_ = true;
    m.trace.event(m.now, "d%d ring slave %d ident -> %08X", card_.device, s, id);
}

}  // namespace qsim
