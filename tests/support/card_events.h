// Test support: a card's decoded trace as typed events (kind, device, axis, code, value, and for
// the ring the station and message words), so that tests about register values and messages
// compare fields and survive any change of the trace's text.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>
#include <ostream>
#include <vector>

#include "chip_codes.h"
#include "quvex/sim.h"
#include "trace_match.h"

namespace quvex::test {

struct CardEvent {
    int kind = 0;  // QUVEX_SIM_EV_*
    int device = 0;
    int axis = -1;                         // chip axis, -1 for card-level ports
    unsigned code = 0;                     // register code, command word or port offset
    std::optional<std::uint32_t> value{};  // empty for commands, and where only the order matters
    int station = -1;                      // ring station, -1 for the card's own events
    unsigned flags = 0;                    // QUVEX_SIM_EVF_*
    std::vector<std::uint16_t> words{};    // a ring message's words
    std::vector<std::uint16_t> reply{};    // the station's answer to it
    bool operator==(const CardEvent&) const = default;
};

// Events of device 0; wrap them in on_device for another card.
inline CardEvent reg_write(int axis, unsigned code, std::uint32_t v) {
    return {QUVEX_SIM_EV_CHIP_REG_WRITE, 0, axis, code, v};
}
inline CardEvent reg_read(int axis, unsigned code, std::uint32_t v) {
    return {QUVEX_SIM_EV_CHIP_REG_READ, 0, axis, code, v};
}
inline CardEvent command(int axis, unsigned word) { return {QUVEX_SIM_EV_CHIP_COMMAND, 0, axis, word, std::nullopt}; }
inline CardEvent status_read(int axis, std::uint32_t v) { return {QUVEX_SIM_EV_CHIP_STATUS, 0, axis, 0, v}; }
inline CardEvent substatus_read(int axis, std::uint32_t v) { return {QUVEX_SIM_EV_CHIP_SUBSTATUS, 0, axis, 0, v}; }
inline CardEvent board_read(unsigned offset, std::uint32_t v) { return {QUVEX_SIM_EV_BOARD_READ, 0, -1, offset, v}; }
inline CardEvent board_write(unsigned offset, std::uint32_t v) { return {QUVEX_SIM_EV_BOARD_WRITE, 0, -1, offset, v}; }
inline CardEvent card_port_write(unsigned offset, std::uint32_t v) {
    return {QUVEX_SIM_EV_CARD_PORT_WRITE, 0, -1, offset, v};
}
inline CardEvent bridge_read8(unsigned offset, std::uint32_t v) {
    return {QUVEX_SIM_EV_BRIDGE_READ8, 0, -1, offset, v};
}
inline CardEvent bridge_write8(unsigned offset, std::uint32_t v) {
    return {QUVEX_SIM_EV_BRIDGE_WRITE8, 0, -1, offset, v};
}
inline CardEvent bridge_read16(unsigned offset, std::uint32_t v) {
    return {QUVEX_SIM_EV_BRIDGE_READ16, 0, -1, offset, v};
}
inline CardEvent bridge_write16(unsigned offset, std::uint32_t v) {
    return {QUVEX_SIM_EV_BRIDGE_WRITE16, 0, -1, offset, v};
}
// A driver request the driver granted.
inline CardEvent driver_request(unsigned code) { return {QUVEX_SIM_EV_REQUEST, 0, -1, code, 1}; }

// Events of device 0's ring master and its stations.
inline CardEvent ring_scan() { return {QUVEX_SIM_EV_RING_SCAN, 0, -1, 0, std::nullopt}; }
inline CardEvent ring_run() { return {QUVEX_SIM_EV_RING_RUN, 0, -1, 0, std::nullopt}; }
inline CardEvent cyclic_write(int station, unsigned word, std::uint16_t v) {
    return {QUVEX_SIM_EV_RING_CYCLIC_WRITE, 0, -1, word, v, station};
}
inline CardEvent ring_message(int station, std::vector<std::uint16_t> words, std::vector<std::uint16_t> reply) {
    return {QUVEX_SIM_EV_RING_MESSAGE, 0, -1, 0, std::nullopt, station, 0, std::move(words), std::move(reply)};
}
inline CardEvent unanswered_message(int station, std::vector<std::uint16_t> words) {
    return {QUVEX_SIM_EV_RING_MESSAGE, 0, -1, 0, std::nullopt, station, QUVEX_SIM_EVF_NO_ANSWER, std::move(words)};
}
// A station's answer that came after the send command had been taken.
inline CardEvent late_reply(int station, std::vector<std::uint16_t> reply) {
    return {QUVEX_SIM_EV_RING_REPLY, 0, -1, 0, std::nullopt, station, 0, {}, std::move(reply)};
}
inline CardEvent without_value(CardEvent e) {
    e.value.reset();
    return e;
}
std::vector<CardEvent> on_device(int device, std::vector<CardEvent> events);

// One chip axis of device 0, for tables that list many of its events: X.write(reg::kMaxSpeed, 100).
// Converts to the axis number where a call takes one.
struct ChipAxis {
    int number;
    constexpr operator int() const { return number; }
    // A signed value is written as its 32-bit two's complement.
    CardEvent write(unsigned code, std::int64_t v) const {
        return reg_write(number, code, static_cast<std::uint32_t>(v));
    }
    CardEvent read(unsigned code, std::uint32_t v) const { return reg_read(number, code, v); }
    CardEvent command(unsigned word) const { return test::command(number, word); }
    // Without a value: for sequences compared after without_values.
    CardEvent write(unsigned code) const { return without_value(reg_write(number, code, 0)); }
    CardEvent read(unsigned code) const { return without_value(reg_read(number, code, 0)); }
};
inline constexpr ChipAxis X{0}, Y{1}, Z{2}, U{3};

// Register writes (without their values) of each axis in turn:
// written_codes({X, Y}, {reg::kSpeedRange, reg::kMaxSpeed}) = X 85, X 82, Y 85, Y 82.
std::vector<CardEvent> written_codes(std::initializer_list<int> axes, std::initializer_list<unsigned> codes);
// Reads of the 32-bit status of each axis in turn, without their values.
std::vector<CardEvent> status_reads(std::initializer_list<int> axes);
std::vector<CardEvent> operator+(std::vector<CardEvent> a, const std::vector<CardEvent>& b);
// The same events with their values dropped, for tests about order only.
std::vector<CardEvent> without_values(std::vector<CardEvent> events);

// Every decoded event since the trace was cleared, or those that match a pattern.
std::vector<CardEvent> card_events(const EventPattern& pattern = {});
// The ring master's events of a device (mode changes, cyclic writes, messages), in order.
std::vector<CardEvent> ring_events(int device = 0);
// The events of one ring station of device 0, in order.
inline std::vector<CardEvent> station_events(int station) { return card_events({.device = 0, .station = station}); }
// Register writes and commands of one chip axis, in order.
std::vector<CardEvent> chip_writes(int axis, int device = 0);
// Register writes, register reads and commands of every axis of a device, in order.
std::vector<CardEvent> chip_accesses(int device = 0);
// The values written to (or read from) one register of an axis, in order.
std::vector<std::uint32_t> written_values(int axis, unsigned code, int device = 0);
std::vector<std::uint32_t> read_values(int axis, unsigned read_code, int device = 0);
// The command words given to an axis, in order.
std::vector<std::uint32_t> commands_of(int axis, int device = 0);
// The read codes of the registers read from a device-0 axis, in order, and how often one was read.
std::vector<unsigned> read_codes(int axis);
inline std::size_t reads_of(int axis, unsigned read_code) { return read_values(axis, read_code).size(); }

// "d1.Y write MaxSpeed(82) = 0x00004E20 (20000)": registers by name, the value also in decimal;
// "d0 station 7 message [00E4] reply [00E5]".
std::ostream& operator<<(std::ostream& os, const CardEvent& e);
inline void PrintTo(const CardEvent& e, std::ostream* os) { *os << e; }
std::ostream& operator<<(std::ostream& os, ChipAxis axis);

}  // namespace quvex::test
