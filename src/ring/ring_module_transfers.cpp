// Transfers of the four-axis module: a message, the module's handshake wait and the
// end-of-transfer word, with or without reading a reply in between. The whole exchange holds the
// ring lock, so no other transfer on this ring reaches the message port in the middle of it.
#include <algorithm>

#include "ring/ring_master.h"

namespace quvex::ring {
namespace {

// The module answers on the handshake line: bit 1 of the window word at the start of the cyclic
// area (slave 0's first cyclic word).
constexpr std::uint16_t kHandshakeWord = offset::kCyclic;
constexpr std::uint16_t kHandshakeReady = 0x0002;
constexpr int kHandshakeReads = 101;
constexpr std::uint16_t kEndOfTransfer = 0x0400;

}  // namespace

std::int16_t RingMaster::send_locked(int slave, std::span<const std::uint16_t> words) {
    if (slave < 0 || slave >= kSlaveCount) return kBadSlave;
    if (words.size() > message_.size()) return kMessageTooLong;
    message_.fill(kUnusedMessageWord);
    std::copy(words.begin(), words.end(), message_.begin());
    return send_message(slave, static_cast<int>(words.size()));
}

void RingMaster::wait_module_ready() const {
    // The outcome is not judged: a module that never raises the line costs the reads, nothing more.
    for (int read = 0; read < kHandshakeReads; ++read) {
        if ((read_word(kHandshakeWord) & kHandshakeReady) != 0) break;
    }
}

std::int16_t RingMaster::send_end_of_transfer(int slave) {
    const std::uint16_t word = kEndOfTransfer;
    return send_locked(slave, std::span<const std::uint16_t>(&word, 1));
}

std::int16_t RingMaster::module_send(int slave, std::span<const std::uint16_t> words) {
    plat::LockGuard guard(lock_);
    const std::int16_t sent = send_locked(slave, words);
    if (sent != kOk) return sent;
    wait_module_ready();
    return send_end_of_transfer(slave);
}

std::int16_t RingMaster::module_query(int slave, std::span<const std::uint16_t> words,
                                      std::array<std::uint16_t, kReplyWords>* reply) {
    plat::LockGuard guard(lock_);
    const std::int16_t sent = send_locked(slave, words);
    if (sent != kOk) return sent;
    wait_module_ready();
    std::array<std::uint16_t, kReplyWords> read{};
    const std::size_t count = std::min(words.size() + 1, read.size());
    for (std::size_t i = 0; i < count; ++i) read[i] = read_word(offset::kMessagePort);
    if (reply != nullptr) *reply = read;
    return send_end_of_transfer(slave);
}

}  // namespace quvex::ring
