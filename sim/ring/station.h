// A station on the virtual ring as the ring master sees it. I/O stations, motion modules and
// stations that tests or users bring implement RingStation and are plugged into a card's ring
// master at a slave number. Every call arrives with the machine lock held, with a StationLink
// that gives the station what it may reach of its master.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace qsim {

class RingMasterModel;

using StationWords = std::vector<std::uint16_t>;

class StationLink {
public:
    StationLink(RingMasterModel& ring, int number) : ring_(ring), number_(number) {}
    int number() const { return number_; }
    int device() const;
    RingMasterModel& ring() { return ring_; }
    std::int64_t now() const;

    // Cyclic word 0 (ports 0, 1) or 1 (ports 2, 3) of this station as the master holds it: what
    // the host last wrote, or what the station or the outside last set.
    std::uint16_t cyclic(int word) const;
    void set_cyclic(int word, std::uint16_t value);

    // Runs `fire` at virtual time `at` under the machine lock, with a fresh link, as long as this
    // station is still plugged then (unplugging or removing the card drops it). Returns an id for
    // cancel.
    using TimerFn = std::function<void(StationLink&)>;
    std::uint64_t schedule(std::int64_t at, TimerFn fire);
    void cancel(std::uint64_t id);

    // Completes the message this station left unanswered: the words become the reply in the
    // message port and the master shows "message done". False when no message of this station
    // is waiting (another station's message has been sent since, or it was answered).
    bool answer(const StationWords& reply);

    // The handshake line the host polls after each module message: bit 1 of the window word at
    // offset 256. A station takes it with a level; bit 1 there reads that level, for every
    // reader, until the station releases it or another station takes it.
    void drive_ready(bool level);
    void release_ready();

private:
    RingMasterModel& ring_;
    int number_;
};

class RingStation {
public:
    virtual ~RingStation() = default;
    // The byte the master puts in its slave-type table at a scan (bit 7 = present).
    virtual std::uint8_t type_byte() const = 0;
    // The two identification words (low, high) as one value.
    virtual std::uint32_t identification() const = 0;
    // The words the host queued in the message port before the send command. Returns the reply
    // the host then reads from the message port (may be empty), or nothing to leave the message
    // unanswered for now (StationLink::answer completes it later).
    virtual std::optional<StationWords> on_message(StationLink& link, const StationWords& words) = 0;
    // The host wrote cyclic word 0 or 1 of this station (already stored in the master).
    virtual void on_cyclic_write(StationLink& /*link*/, int /*word*/, std::uint16_t /*value*/) {}
    // The host reads cyclic word 0 or 1: the station answers with what its terminals show. The
    // default is the word as stored; a station whose inputs follow its own state refreshes here.
    virtual std::uint16_t read_cyclic(StationLink& link, int word) { return link.cyclic(word); }
    // The host read the handshake word while this station holds the line, before the read takes
    // the line's level: a station that answers after some polls counts them here.
    virtual void on_handshake_poll(StationLink& /*link*/) {}
    // Called once when plugged (a station may start its timers here).
    virtual void on_plug(StationLink& /*link*/) {}
};

}  // namespace qsim
