// A station on the virtual ring as the ring master sees it. Slave models (I/O slaves, motion
// modules) implement this and are plugged into a card's ring master at a slave number. Every
// call arrives with the machine lock held.
#pragma once

#include <cstdint>
#include <vector>

namespace qsim {

class Card;
class RingMasterModel;

// What a slave may reach of the master it hangs on: its own cyclic words and the card.
class SlaveLink {
public:
    SlaveLink(RingMasterModel& ring, int number) : ring_(ring), number_(number) {}
    int number() const { return number_; }
    RingMasterModel& ring() { return ring_; }
    Card& card();
    // Cyclic word 0 (ports 0, 1) or 1 (ports 2, 3) of this slave, as the host reads it.
    std::uint16_t cyclic(int word) const;
    void set_cyclic(int word, std::uint16_t value);

private:
    RingMasterModel& ring_;
    int number_;
};

class RingSlave {
public:
    virtual ~RingSlave() = default;
    // The byte the master puts in its slave-type table at a scan (bit 7 = present).
    virtual std::uint8_t type_byte() const = 0;
    // The two identification words (low, high) as one value.
    virtual std::uint32_t identification() const = 0;
    // The words the host queued in the message port before the send command. Returns the reply
    // words the host can then read from the message port (may be empty).
    virtual std::vector<std::uint16_t> on_message(SlaveLink& link, const std::vector<std::uint16_t>& words) = 0;
    // The host wrote cyclic word 0 or 1 of this slave.
    virtual void on_cyclic_write(SlaveLink& /*link*/, int /*word*/) {}
};

}  // namespace qsim
