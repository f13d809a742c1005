// The ring master of a virtual card behind its register window, as the driver maps the window
// into the process (16-bit reads and writes at offsets from the window base): control and
// status, the message port FIFO, the slave-type table, the error map and the cyclic area, the stations plugged into
// the ring, the message history, the handshake line at the head of the cyclic area, and the
// faults a test can inject. Runs under the machine lock.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "message_history.h"
#include "station.h"

namespace qsim {

class Machine;

namespace ringhw {
constexpr int kSlaves = 64;
constexpr std::uint32_t kControl = 0, kMessagePort = 6, kTypeTable = 120, kErrorMap = 184, kCyclic = 256;
constexpr std::uint32_t kTypeTableEnd = kTypeTable + kSlaves, kErrorMapEnd = kErrorMap + 8;
constexpr std::uint32_t kCyclicEnd = kCyclic + 4 * kSlaves;
constexpr std::uint16_t kScan = 0x1000, kRun = 0x3000, kStop = 0x3100, kReset = 0x0100;
constexpr std::uint16_t kMessage = 0x4000, kIdentify = 0x1300, kSlaveMask = 0x003F;
constexpr std::uint16_t kDone = 0x0001, kSlaveError = 0x0008, kInjectable = 0x0078, kCyclicBusy = 0x0100;
constexpr std::size_t kFifoWords = 64;
// The handshake line: bit 1 of the first cyclic word (slave 0's word 0).
constexpr std::uint32_t kHandshakeWord = kCyclic;
constexpr std::uint16_t kHandshakeReady = 0x0002;
}  // namespace ringhw

class RingMasterModel {
public:
    enum class Mode { idle, scanned, running, stopped };

    // The master of the card of `device` in `machine` (the device names the card's stations in
    // the trace).
    RingMasterModel(Machine& machine, int device);
    RingMasterModel(const RingMasterModel&) = delete;
    RingMasterModel& operator=(const RingMasterModel&) = delete;

    // The window: the address the driver reports for it, its size in bytes, and its accesses.
    std::uintptr_t base() const { return reinterpret_cast<std::uintptr_t>(memory_.data()); }
    std::size_t size() const { return memory_.size() * 2; }
    std::uint16_t read16(std::uint32_t offset);
    void write16(std::uint32_t offset, std::uint16_t value);

    int device() const { return device_; }
    Machine& machine() const { return machine_; }
    Mode mode() const { return mode_; }

    // ---- stations ----
    bool plug(int slave, std::unique_ptr<RingStation> model);
    bool unplug(int slave);
    RingStation* station(int slave);
    void set_identification(int slave, std::uint32_t value) { ident_override_[index(slave)] = value; }
    // The stored cyclic word (what the host last wrote or the station or outside last set),
    // without asking the station.
    std::uint16_t cyclic(int slave, int word) const { return memory_[cyclic_index(slave, word)]; }
    void set_cyclic(int slave, int word, std::uint16_t value) { memory_[cyclic_index(slave, word)] = value; }

    // ---- what stations reach through their link ----
    std::uint64_t schedule_for(int slave, std::int64_t at, StationLink::TimerFn fire);
    bool answer_for(int slave, StationWords reply);
    void drive_ready(int slave, bool level);
    void release_ready(int slave);
    // The station driving the handshake line (-1: none) and its level.
    int ready_holder() const { return ready_holder_; }
    bool ready_level() const { return ready_level_; }

    // ---- faults ----
    // The next `polls` status reads also show `bits` (status bits 3..6).
    void inject_status(std::uint16_t bits, int polls);
    void flag_slave_error(int slave);
    std::uint16_t error_map_word(int word) const { return error_map_[static_cast<std::size_t>(word)]; }
    // A stuck cyclic word ignores the host's writes.
    void stick_cyclic(int slave, int word, bool stuck) { stuck_[index(slave)][static_cast<std::size_t>(word)] = stuck; }
    // A silent slave never completes a message or an identification.
    void set_silent(int slave, bool silent) { silent_[index(slave)] = silent; }

    int messages_delivered() const { return messages_delivered_; }
    // Words of the latest message the master delivered to `slave`.
    const std::vector<std::uint16_t>& last_message(int slave) const { return last_message_[index(slave)]; }
    MessageHistory& history() { return history_; }
    // Reply words given instead of the station's own reply (a station under test of the host's
    // transport); an empty optional gives the station back its own replies.
    void set_reply(int slave, std::optional<std::vector<std::uint16_t>> words) { reply_override_[index(slave)] = std::move(words); }

private:
    static std::size_t index(int slave) { return static_cast<std::size_t>(slave); }
    static std::size_t cyclic_index(int slave, int word) {
        return (ringhw::kCyclic + 4u * static_cast<unsigned>(slave) + 2u * static_cast<unsigned>(word)) / 2;
    }
    std::uint16_t read_status();
    void command(std::uint16_t value);
    void scan();
    void deliver_message(int slave);
    void deliver_identification(int slave);
    bool answers(int slave) const;
    void write_cyclic(std::uint32_t offset, std::uint16_t value);
    std::uint16_t read_cyclic(std::uint32_t offset);
    void complete_message(const StationWords& reply);

    Machine& machine_;
    const int device_;
    std::vector<std::uint16_t> memory_;  // backing words; also the window's address
    Mode mode_ = Mode::idle;
    // Shared only so that a station's timers can tell, through a weak reference, whether it is
    // still plugged; nothing else holds a station.
    std::array<std::shared_ptr<RingStation>, ringhw::kSlaves> stations_{};
    std::array<std::optional<std::uint32_t>, ringhw::kSlaves> ident_override_{};
    std::array<std::vector<std::uint16_t>, ringhw::kSlaves> last_message_{};
    std::array<std::optional<std::vector<std::uint16_t>>, ringhw::kSlaves> reply_override_{};
    std::array<std::uint8_t, ringhw::kSlaves> type_table_{};
    std::array<std::uint16_t, 4> error_map_{};
    std::array<std::array<bool, 2>, ringhw::kSlaves> stuck_{};
    std::array<bool, ringhw::kSlaves> silent_{};
    std::deque<std::uint16_t> to_slave_, from_slave_;
    bool done_ = false;
    int busy_reads_ = 0;
    std::uint16_t injected_bits_ = 0;
    int injected_polls_ = 0;
    int messages_delivered_ = 0;
    MessageHistory history_;
    // The message waiting for its station's answer: the station (-1: none) and its history entry.
    int pending_station_ = -1;
    std::uint64_t pending_seq_ = 0;
    int ready_holder_ = -1;
    bool ready_level_ = false;
};

}  // namespace qsim
