// How the four-axis module's messages travel. The module takes one message at a time: after the
// message the host waits for the module's handshake line, reads the reply words if it wants
// them, and closes the exchange with the one-word end-of-transfer message. The whole exchange
// holds the ring lock, so no other transfer on the ring reaches the message port in between.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "ring/ring_master.h"

namespace quvex::modules::m4 {

using Reply = std::array<std::uint16_t, ring::kReplyWords>;

// Where the module's messages go. The handshake transport is the only one the exports use; the
// seam lets the line and profile sequences be driven against a transport that fails on cue.
class Transport {
public:
    // 0, or the code of the failed message.
    virtual std::int16_t send(std::span<const std::uint16_t> words) = 0;
    // As send, and the reply words (word count + 1 of them) into `reply`.
    virtual std::int16_t query(std::span<const std::uint16_t> words, Reply& reply) = 0;

protected:
    ~Transport() = default;
};

// The exchange on the ring: the message, up to 101 reads of the handshake line (bit 1 of the
// first cyclic word of the window, slave 0's; the outcome is not judged: a module that never
// raises it costs the reads), the reply words for a query, then the end-of-transfer word. The
// result is the first failed send's code, else 0. A query fills `reply` (zeros past the words
// read) once its message went out, before the end-of-transfer word.
class HandshakeTransport final : public Transport {
public:
    HandshakeTransport(ring::RingMaster& master, int slave) : master_(master), slave_(slave) {}
    std::int16_t send(std::span<const std::uint16_t> words) override;
    std::int16_t query(std::span<const std::uint16_t> words, Reply& reply) override;

private:
    ring::RingMaster& master_;
    int slave_;
};

}  // namespace quvex::modules::m4
