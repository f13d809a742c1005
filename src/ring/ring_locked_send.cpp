// The message send that runs under a lock its caller already holds: RingMaster::Exclusive's
// sends, so a station protocol can put several messages and window reads under one lock.
#include <algorithm>

#include "ring/ring_master.h"

namespace quvex::ring {

std::int16_t RingMaster::send_locked(int slave, std::span<const std::uint16_t> words) {
    if (slave < 0 || slave >= kSlaveCount) return kBadSlave;
    if (words.size() > message_.size()) return kMessageTooLong;
    message_.fill(kUnusedMessageWord);
    std::copy(words.begin(), words.end(), message_.begin());
    return send_message(slave, static_cast<int>(words.size()));
}

}  // namespace quvex::ring
