// The ring master of one ring slot: the slave table, the transfers on the register window
// (cyclic bytes, messages, identification), the watchdog thread, and the slot's lifecycle.
// Four of these live in the library context (ring_table.h).
//
// Every transfer that needs the ring lock takes it itself; callers hand over the message words
// and never touch the lock or the message buffer. A station protocol that needs several transfers
// under one lock runs them through an Exclusive.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

#include "common/platform.h"
#include "ring/ring_registers.h"
#include "ring/slave_record.h"

namespace quvex::ring {

// Ring states as kring_get_com_status reports them.
enum RingState : std::uint16_t { kIdle = 0, kStarted = 1, kErrorSeen = 2, kStopped = 3 };

// Result codes of the ring operations (the kring_* exports pass them on).
constexpr std::int16_t kOk = 0;
constexpr std::int16_t kFailed = -1;
constexpr std::int16_t kSlotAttached = -3;
constexpr std::int16_t kBadSlave = -5;
constexpr std::int16_t kIdentTimeout = -11;
constexpr std::int16_t kMessageTooLong = -12;

class RingMaster {
public:
    RingMaster();
    ~RingMaster();
    RingMaster(const RingMaster&) = delete;
    RingMaster& operator=(const RingMaster&) = delete;

    // ---- slot lifecycle ----
    // Attaches the slot to a card's window. KRING_ERR_SLOT_ATTACHED when the slot already has one.
    std::int16_t attach(std::uintptr_t window_address, std::uint32_t board_base);
    // The window address; non-zero while the slot is open.
    std::uintptr_t is_open() const { return window_.load(std::memory_order_acquire); }
    // The card's board base recorded at attach; no ring operation reads it.
    std::uint32_t io_base() const { return io_base_; }
    // Ends the watchdog thread, closes the message-done event, frees the slot and deletes the lock.
    void close();
    // What unloading the library does to the slot: the watchdog thread ended, the message-done
    // event closed and the slot freed; the lock is left alone.
    void release_at_unload();
    // Forgets what the slot saw while open: error counts and marks, quality parameters, the
    // user event and the polled status. The slot itself must be closed.
    void forget_history();

    // ---- window ----
    std::uint16_t read_word(std::uint16_t offset) const;
    void write_word(std::uint16_t offset, std::uint16_t value) const;
    void read_status(std::uint16_t* status_out) const;

    // ---- ring control ----
    void start();
    void stop();
    void reset();
    RingState state() const { return static_cast<RingState>(state_.load()); }
    // Scans the ring into the slave table and the caller's two-word table. -1 while stopped.
    std::int16_t scan_active_table(std::uint32_t (&table)[2]);
    std::uint8_t slave_type(int slave) const { return slaves_[static_cast<std::size_t>(slave)].type; }
    const SlaveRecord& slave(int s) const { return slaves_[static_cast<std::size_t>(s)]; }
    SlaveRecord& slave(int s) { return slaves_[static_cast<std::size_t>(s)]; }
    // The baud-rate code last given to the card this slot was opened for; recorded only.
    void record_baud_code(std::uint8_t code) { baud_code_ = code; }
    std::uint8_t baud_code() const { return baud_code_; }

    // ---- transfers ----
    // Replaces one cyclic byte of a slave and verifies it by reading the word back. 0 or -1.
    std::int16_t cyclic_write_byte(int slave, int port, std::uint8_t value);
    std::uint8_t cyclic_read_byte(int slave, int port) const;
    // Sends `words` (at most 12) to `slave` under the ring lock: the message buffer is filled
    // with 0xFFFF, then with the words from index 0, and the words go out. KRING_ERR_SLAVE,
    // KRING_ERR_MESSAGE_LENGTH or 0.
    std::int16_t send(int slave, std::span<const std::uint16_t> words);
    // Sends one request word to `slave` and returns the 32-bit value of the three-word reply.
    std::int16_t request(int slave, std::uint16_t word, std::uint32_t* result);
    // Asks `slave` for its identification; stores 0xA3 or 0xA4 through id (when not null). The
    // ring lock is held across the wait, so no other transfer on this ring runs in between.
    std::int16_t identify(int slave, std::uint8_t* id);
    // A run of transfers under the ring lock, for a station protocol that needs several accesses
    // to the message port with no other transfer on this ring in between (a message, a wait on
    // the window, its reply, a closing message). The lock is held from construction to
    // destruction; only the transfers below may run inside, never one that takes the lock.
    class Exclusive {
    public:
        explicit Exclusive(RingMaster& master) : master_(master), guard_(master.lock_) {}
        // As send: KRING_ERR_SLAVE, KRING_ERR_MESSAGE_LENGTH or 0.
        std::int16_t send(int slave, std::span<const std::uint16_t> words) { return master_.send_locked(slave, words); }
        std::uint16_t read_word(std::uint16_t offset) const { return master_.read_word(offset); }

    private:
        RingMaster& master_;
        plat::LockGuard guard_;
    };
    // The words of the latest message, 0xFFFF beyond its length.
    const std::array<std::uint16_t, kMessageWords>& message_buffer() const { return message_; }
    // True while a host transfer keeps the watchdog polling (a send leaves it set).
    std::uint8_t transfer_busy() const { return transfer_busy_.load(); }

    // ---- supervision ----
    // Registers the event *event as the user event and starts the watchdog thread once.
    std::int16_t enable_watchdog(const plat::Handle* event);
    std::int16_t set_quality(std::uint16_t limit, std::uint16_t param2);
    std::uint16_t quality_limit() const { return quality_limit_.load(); }
    std::uint16_t quality_param2() const { return quality_param2_.load(); }
    bool watchdog_running() const { return thread_ != plat::kNoHandle; }
    // One pass of the watchdog thread; true when the pass saw an error bit.
    bool watchdog_pass();
    // Lowest-numbered slave marked in error, its mark cleared; -1 when none is marked.
    int take_slave_in_error();
    // The status word last polled by the watchdog thread.
    std::uint16_t status_copy() const { return status_copy_.load(); }
    std::uint16_t error_map_word(int w) const { return error_map_copy_[static_cast<std::size_t>(w)].load(); }
    std::uint8_t slave_error_count() const { return slave_error_count_.load(); }
    // Passes that saw the lone error condition (status bit 4), and either of the paired ones
    // (bits 5, 6).
    std::uint8_t lone_error_count() const { return lone_error_count_.load(); }
    std::uint8_t paired_error_count() const { return paired_error_count_.load(); }

private:
    // Sends the first `count` words of the message buffer. The caller holds lock_.
    std::int16_t send_message(int slave, int count);
    // Fills the message buffer with `words` and sends them; the caller holds lock_.
    std::int16_t send_locked(int slave, std::span<const std::uint16_t> words);
    // Creates the message-done event and the lock when the slot has none (at load, and again
    // after close).
    void create_resources();
    void end_watchdog();
    static std::uint32_t watchdog_main(void* arg);

    std::array<SlaveRecord, kSlaveCount> slaves_{};
    std::array<std::atomic<std::uint16_t>, kErrorMapWords> error_map_copy_{};
    std::array<std::uint16_t, kMessageWords> message_{};
    std::atomic<std::uint8_t> slave_error_count_{0};
    std::atomic<std::uint8_t> lone_error_count_{0};
    std::atomic<std::uint8_t> paired_error_count_{0};
    std::atomic<std::uint16_t> quality_limit_{kQualityLimitMin};
    std::atomic<std::uint16_t> quality_param2_{kQualityParam2Min};
    std::atomic<std::uint16_t> state_{kIdle};
    plat::Handle thread_ = plat::kNoHandle;
    std::atomic<plat::Handle> user_event_{plat::kNoHandle};
    std::atomic<plat::Handle> message_done_{plat::kNoHandle};
    std::atomic<std::uint8_t> thread_run_{0};
    std::atomic<std::uint8_t> transfer_busy_{0};
    std::uint8_t baud_code_ = 0;
    std::uint32_t io_base_ = 0;
    std::atomic<std::uintptr_t> window_{0};
    plat::Lock lock_{};
    std::atomic<std::uint16_t> status_copy_{0};
    bool resources_live_ = false;
};

// Consecutive erroneous watchdog passes, one counter shared by the threads of every ring (it
// lives with the ring slots, ring_table.h).
std::atomic<std::uint8_t>& consecutive_error_passes();

}  // namespace quvex::ring
