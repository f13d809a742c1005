// Every message the ring master sent to a station, with the station's reply, oldest first.
// Kept whether tracing is on or not, so that tests can look at what a module was told; bounded,
// so that a long real-time run does not grow without end (the oldest entries go first).
#pragma once

#include <cstdint>
#include <deque>

#include "station.h"

namespace qsim {

struct MessageEntry {
    std::int64_t sent = 0;      // virtual time of the send command
    std::int64_t answered = -1; // virtual time of the answer, -1 while unanswered
    int station = 0;
    StationWords words;
    StationWords reply;
};

class MessageHistory {
public:
    static constexpr std::size_t kCapacity = 65536;

    // Adds a message; returns its sequence number (counts every message since the last clear).
    std::uint64_t add(MessageEntry entry) {
        if (entries_.size() == kCapacity) {
            entries_.pop_front();
            ++first_;
        }
        entries_.push_back(std::move(entry));
        return first_ + entries_.size() - 1;
    }
    // The entry of sequence number `seq`, or null once it has been dropped.
    MessageEntry* find(std::uint64_t seq) {
        if (seq < first_ || seq - first_ >= entries_.size()) return nullptr;
        return &entries_[static_cast<std::size_t>(seq - first_)];
    }
    std::size_t size() const { return entries_.size(); }
    const MessageEntry& at(std::size_t index) const { return entries_[index]; }
    void clear() {
        entries_.clear();
        first_ = 0;
    }

private:
    std::deque<MessageEntry> entries_;
    std::uint64_t first_ = 0;
};

}  // namespace qsim
