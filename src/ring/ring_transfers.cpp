// Transfers on the ring master's window: cyclic bytes with read-back, messages with and without
// a reply, and the identification request.
#include <algorithm>

#include "common/bits.h"
#include "ring/ring_master.h"

namespace quvex::ring {
namespace {

constexpr Field kLowByte = field(0, 8);
constexpr Field kHighByte = field(8, 8);

constexpr Field port_byte(int port) { return port % 2 == 0 ? kLowByte : kHighByte; }

}  // namespace

std::int16_t RingMaster::cyclic_write_byte(int slave, int port, std::uint8_t value) {
    const std::uint16_t where = offset::cyclic_word(slave, port);
    // The word is read before the lock is taken: the read-modify-write is not atomic.
    const auto word = static_cast<std::uint16_t>(with_field(read_word(where), port_byte(port), value));

    plat::LockGuard guard(lock_);
    transfer_busy_.store(1);
    write_word(where, word);
    std::int16_t result = kFailed;
    for (int attempt = 1; attempt <= kCyclicWriteAttempts; ++attempt) {
        if ((read_word(offset::kStatus) & status::kCyclicBusy) == 0) {
            if (read_word(where) == word) {
                result = kOk;
                break;
            }
            write_word(where, word);
        }
    }
    transfer_busy_.store(0);
    return result;
}

std::uint8_t RingMaster::cyclic_read_byte(int slave, int port) const {
    return static_cast<std::uint8_t>(field_value(read_word(offset::cyclic_word(slave, port)), port_byte(port)));
}

std::int16_t RingMaster::send(int slave, std::span<const std::uint16_t> words) {
    plat::LockGuard guard(lock_);
    return send_locked(slave, words);
}

// The send under a lock the caller already holds: RingMaster::Exclusive's sends, so a station
// protocol can put several messages and window reads under one lock.
std::int16_t RingMaster::send_locked(int slave, std::span<const std::uint16_t> words) {
    if (slave < 0 || slave >= kSlaveCount) return kBadSlave;
    if (words.size() > message_.size()) return kMessageTooLong;
    message_.fill(kUnusedMessageWord);
    std::copy(words.begin(), words.end(), message_.begin());
    return send_message(slave, static_cast<int>(words.size()));
}

std::int16_t RingMaster::send_message(int slave, int count) {
    transfer_busy_.store(1);
    plat::event_reset(message_done_.load());
    for (int i = 0; i < count; ++i) write_word(offset::kMessagePort, message_[static_cast<std::size_t>(i)]);
    write_word(offset::kControl, control::message_to(slave));
    for (int read = 0; read < kSendStatusReads; ++read) {
        if ((read_word(offset::kStatus) & status::kMessageDone) != 0) break;
    }
    // The busy flag stays set: the watchdog keeps polling and can see later completions.
    return kOk;
}

std::int16_t RingMaster::request(int slave, std::uint16_t word, std::uint32_t* result) {
    if (slave < 0 || slave >= kSlaveCount) return kBadSlave;
    plat::event_reset(message_done_.load());
    plat::LockGuard guard(lock_);
    transfer_busy_.store(1);
    write_word(offset::kMessagePort, word);
    write_word(offset::kControl, control::message_to(slave));
    for (int read = 0; read < kReplyStatusReads; ++read) {
        if ((read_word(offset::kStatus) & status::kMessageDone) != 0) break;
    }
    (void)read_word(offset::kMessagePort);  // the echo of the request
    const std::uint16_t low = read_word(offset::kMessagePort);
    const std::uint16_t high = read_word(offset::kMessagePort);
    if (result != nullptr) *result = join_halves(low, high);
    transfer_busy_.store(0);
    return kOk;
}

std::int16_t RingMaster::identify(int slave, std::uint8_t* id) {
    if (slave < 0 || slave >= kSlaveCount) return kBadSlave;
    const plat::Handle done = message_done_.load();
    plat::event_reset(done);
    std::uint32_t value = kIdentTimedOut;
    bool answered = false;
    {
        // The lock covers the request, the wait and the reply: a message or cyclic write on this
        // ring would otherwise reach the message port between the request and its answer.
        plat::LockGuard guard(lock_);
        write_word(offset::kControl, control::identify(slave));
        // Only the watchdog thread turns the master's done bit into the event, and it polls only
        // while a transfer is marked busy: mark one for the wait.
        const std::uint8_t was_busy = transfer_busy_.exchange(1);
        answered = plat::wait_one(done, kIdentifyWaitMs) == plat::WaitResult::signalled;
        transfer_busy_.store(was_busy);
        if (answered) {
            const std::uint16_t low = read_word(offset::kMessagePort);
            const std::uint16_t high = read_word(offset::kMessagePort);
            value = join_halves(low, high);
        }
    }
    if (id != nullptr) *id = (value & kIdentBit) != 0 ? kIdentCodeSet : kIdentCodeClear;
    return answered ? kOk : kIdentTimeout;
}

}  // namespace quvex::ring
