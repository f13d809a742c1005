// The ring master of one ring slot: the slave table, the transfers on the register window
// (cyclic bytes, messages, identification), the watchdog thread, and the slot's lifecycle.
// Four of these exist for the whole process (ring_table.h).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "platform/platform.h"
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
    virtual ~RingMaster();
    RingMaster(const RingMaster&) = delete;
    RingMaster& operator=(const RingMaster&) = delete;

    // ---- slot lifecycle ----
    // Attaches the slot to a card's window. -3 when the slot already has one.
    std::int16_t attach(std::uintptr_t window_address, std::uint32_t board_base);
    // The window address; non-zero while the slot is open.
    std::uintptr_t is_open() const { return window.load(std::memory_order_acquire); }
    // Ends the watchdog thread, closes the message-done event, frees the slot and deletes the lock.
    void close();

    // ---- window ----
    std::uint16_t read_word(std::uint16_t offset) const;
    void write_word(std::uint16_t offset, std::uint16_t value) const;
    void read_status(std::uint16_t* status_out) const;

    // ---- ring control ----
    void start();
    void stop();
    void reset();
    // Scans the ring into the slave table and the caller's two-word table. -1 while stopped.
    std::int16_t scan_active_table(std::uint32_t (&table)[2]);
    std::uint8_t slave_type(int slave) const { return slaves[static_cast<std::size_t>(slave)].type; }

    // ---- transfers ----
    // Replaces one cyclic byte of a slave and verifies it by reading the word back. 0 or -1.
    std::int16_t cyclic_write_byte(int slave, int port, std::uint8_t value);
    std::uint8_t cyclic_read_byte(int slave, int port) const;
    // Fills the message buffer with 0xFFFF; the caller then puts its words from index 0.
    void clear_message();
    // Sends the first `count` words of the message buffer to `slave`. The caller holds `lock`.
    std::int16_t send_message(int slave, int count);
    // Sends one request word to `slave` and returns the 32-bit value of the three-word reply.
    std::int16_t request_reply(int slave, std::uint16_t request, std::uint32_t* result);
    // Asks `slave` for its identification; stores 0xA3 or 0xA4 through id (when not null).
    std::int16_t identify(int slave, std::uint8_t* id);

    // ---- supervision ----
    // Registers the event *event as the user event and starts the watchdog thread once.
    std::int16_t enable_watchdog(const plat::Handle* event);
    std::int16_t set_quality(std::uint16_t limit, std::uint16_t param2);
    bool watchdog_running() const { return thread != plat::kNoHandle; }
    // One pass of the watchdog thread; true when the pass saw an error bit.
    bool watchdog_pass();
    // Lowest-numbered slave marked in error, its mark cleared; -1 when none is marked.
    int take_slave_in_error();

    // ---- fields ----
    std::array<SlaveRecord, kSlaveCount> slaves{};
    std::array<std::atomic<std::uint16_t>, kErrorMapWords> error_map_copy{};
    std::array<std::uint16_t, kMessageWords> message{};
    std::array<std::uint16_t, kReplyWords> reply{};
    std::atomic<std::uint8_t> slave_error_count{0};
    std::atomic<std::uint8_t> bit4_error_count{0};
    std::atomic<std::uint8_t> bit56_error_count{0};
    std::atomic<std::uint16_t> quality_limit{kQualityLimitMin};
    std::atomic<std::uint16_t> quality_param2{kQualityParam2Min};
    std::atomic<std::uint16_t> state{kIdle};
    plat::Handle thread = plat::kNoHandle;
    std::atomic<plat::Handle> user_event{plat::kNoHandle};
    std::atomic<plat::Handle> message_done{plat::kNoHandle};
    std::atomic<std::uint8_t> thread_run{0};
    std::atomic<std::uint8_t> transfer_busy{0};
    std::uint8_t baud_code = 0;
    std::uint32_t io_base = 0;
    std::atomic<std::uintptr_t> window{0};
    plat::Lock lock{};
    std::atomic<std::uint16_t> status_copy{0};

private:
    // Creates the message-done event and the lock when the slot has none (at load, and again
    // after close).
    void create_resources();
    void end_watchdog();
    bool resources_live_ = false;
};

// Consecutive erroneous watchdog passes, one counter shared by the threads of every ring.
std::atomic<std::uint8_t>& consecutive_error_passes();

}  // namespace quvex::ring
