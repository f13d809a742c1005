#include "modules/four_axis_transport.h"

#include <algorithm>

#include "ring/ring_registers.h"

namespace quvex::modules::m4 {
namespace {

constexpr std::uint16_t kHandshakeWord = ring::offset::kCyclic;
constexpr std::uint16_t kHandshakeReady = 0x0002;
constexpr int kHandshakeReads = 101;
constexpr std::uint16_t kEndOfTransfer = 0x0400;

void wait_for_handshake(const ring::RingMaster::Exclusive& ring) {
    for (int read = 0; read < kHandshakeReads; ++read) {
        if ((ring.read_word(kHandshakeWord) & kHandshakeReady) != 0) break;
    }
}

std::int16_t end_transfer(ring::RingMaster::Exclusive& ring, int slave) {
    const std::array<std::uint16_t, 1> word{kEndOfTransfer};
    return ring.send(slave, word);
}

}  // namespace

std::int16_t HandshakeTransport::send(std::span<const std::uint16_t> words) {
    ring::RingMaster::Exclusive ring(master_);
    if (const std::int16_t sent = ring.send(slave_, words)) return sent;
    wait_for_handshake(ring);
    return end_transfer(ring, slave_);
}

std::int16_t HandshakeTransport::query(std::span<const std::uint16_t> words, Reply& reply) {
    ring::RingMaster::Exclusive ring(master_);
    if (const std::int16_t sent = ring.send(slave_, words)) return sent;
    wait_for_handshake(ring);
    reply.fill(0);
    const std::size_t count = std::min(words.size() + 1, reply.size());
    for (std::size_t i = 0; i < count; ++i) reply[i] = ring.read_word(ring::offset::kMessagePort);
    return end_transfer(ring, slave_);
}

}  // namespace quvex::modules::m4
